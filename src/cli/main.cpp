// zantric-cli: the command-line program over the core library.
#include <CLI/CLI.hpp>

#include "cli/cli_commands.h"

int main(int argc, char** argv) {
    CLI::App app{"Zantric word-puzzle solver, command line", "zantric-cli"};
    app.require_subcommand(1);
    int status = zantric::cli::kExitOk;
    zantric::cli::addWordsCommand(app, status);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e);
        return code == 0 ? 0 : zantric::cli::kExitUsage;
    }
    return status;
}
