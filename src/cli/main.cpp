// zantric-cli: the command-line program over the core library.
#include <CLI/CLI.hpp>
#include <cerrno>
#include <string>
#include <string_view>
#include <utility>

#include "cli/cli_commands.h"
#include "cli/cli_presenter.h"
#include "cli/interrupt.h"
#include "cli/output.h"
#include "core/shell/messages.h"
#include "zantric_version.h"

namespace {

using namespace zantric::cli;

// The command a command line names: its first word that is neither an option of the program
// (-C FOLDER, --yes) nor its value. Empty when an other option comes first (help, the version, a
// mistake) or there is none.
std::string_view commandNamed(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "-C") {
            ++i;
        } else if (arg.starts_with("-C") || arg == "--yes" || arg == "-y") {
            continue;
        } else {
            return arg.starts_with('-') ? std::string_view() : arg;
        }
    }
    return {};
}

// Sets the commands up in groups, and only up to the group that holds the command the line names:
// setting up every command's options took about a fifth of a short search's time. A line that
// names none of them gets them all, so that help and the parser's messages know every command.
void addCommands(CLI::App& app, CommandLine& line, int argc, char** argv) {
    using AddGroup = void (*)(CLI::App&, CommandLine&);
    constexpr AddGroup kGroups[] = {
        addWordsCommand,        addSearchCommand, addCatalogueCommands, addResultsCommands,
        addMaintenanceCommands, addWordCommands,  addStoplistCommands};
    const std::string named(commandNamed(argc, argv));
    const auto isNamed = [&named](const CLI::App* command) { return command->check_name(named); };
    for (const AddGroup addGroup : kGroups) {
        addGroup(app, line);
        if (!named.empty() && !std::as_const(app).get_subcommands(isNamed).empty()) return;
    }
}

}  // namespace

// An exception that escapes main is a fault of the program: it ends as std::terminate ends it.
int main(int argc, char** argv) {  // NOLINT(bugprone-exception-escape)
    CLI::App app{"Zantric word-puzzle solver, command line", "zantric-cli"};
    app.require_subcommand(1);
    app.fallthrough();  // -C and --yes may also follow the command
    app.set_version_flag("--version", "zantric-cli " ZANTRIC_VERSION);
    CommandLine line;
    app.add_option("-C", line.folder,
                   "Work in this program folder, which must exist (default: $ZANTRIC_HOME, the "
                   "current folder if it holds zantric.ini, else $XDG_DATA_HOME/zantric)");
    app.add_flag("--yes,-y", line.yes, "Answer Yes/OK to every question");
    addCommands(app, line, argc, argv);

    watchEndSignals();
    CliPresenter presenter(&line.yes);
    line.presenter = &presenter;
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        errno = 0;
        const int code = app.exit(e);
        noteStdoutError(errno);  // --help or --version printed into a full disk or a closed pipe
        return finishOutput(code == 0 ? 0 : kExitUsage);
    }
    // Whatever the command made of it, an error shown means the command did not succeed.
    int status = line.status == kExitOk && presenter.errorShown() ? kExitError : line.status;
    status = finishOutput(status);
    // A command ended by a signal says so, whatever else it met on its way out.
    return endSignal() != 0 ? kExitSignalBase + endSignal() : status;
}
