// zantric-cli: the command-line program over the core library.
#include <CLI/CLI.hpp>
#include <cerrno>

#include "cli/cli_commands.h"
#include "cli/cli_presenter.h"
#include "cli/interrupt.h"
#include "cli/output.h"
#include "core/shell/messages.h"
#include "zantric_version.h"

// An exception that escapes main is a fault of the program: it ends as std::terminate ends it.
int main(int argc, char** argv) {  // NOLINT(bugprone-exception-escape)
    using namespace zantric::cli;
    CLI::App app{"Zantric word-puzzle solver, command line", "zantric-cli"};
    app.require_subcommand(1);
    app.fallthrough();  // -C and --yes may also follow the command
    app.set_version_flag("--version", "zantric-cli " ZANTRIC_VERSION);
    CommandLine line;
    app.add_option("-C", line.folder,
                   "Work in this program folder, which must exist (default: $ZANTRIC_HOME, the "
                   "current folder if it holds zantric.ini, else $XDG_DATA_HOME/zantric)");
    app.add_flag("--yes,-y", line.yes, "Answer Yes/OK to every question");
    addWordsCommand(app, line);
    addSearchCommand(app, line);
    addCatalogueCommands(app, line);
    addResultsCommands(app, line);
    addMaintenanceCommands(app, line);
    addWordCommands(app, line);
    addStoplistCommands(app, line);

    watchEndSignals();
    CliPresenter presenter(&line.yes);
    zantric::installPresenter(&presenter);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        errno = 0;
        const int code = app.exit(e);
        noteStdoutError(errno);  // --help or --version printed into a full disk or a closed pipe
        return finishOutput(code == 0 ? 0 : kExitUsage);
    }
    zantric::installPresenter(nullptr);
    // Whatever the command made of it, an error shown means the command did not succeed.
    int status = line.status == kExitOk && presenter.errorShown() ? kExitError : line.status;
    status = finishOutput(status);
    // A command ended by a signal says so, whatever else it met on its way out.
    return endSignal() != 0 ? kExitSignalBase + endSignal() : status;
}
