// The commands of zantric-cli. Each registers its subcommand on the parser; the callback runs
// it and stores the exit status. Runs on the main thread.
#pragma once

#include <CLI/CLI.hpp>

namespace zantric::cli {

// Exit statuses: 0 done, 1 an input or file error ended the command (a failed write to standard
// output among them), 2 a usage error, 3 a search stopped because the results file or the disk
// was full, 128 + the signal's number when a signal ended the command (130 Ctrl-C, 143 SIGTERM,
// 129 SIGHUP), 141 when standard output was a pipe that was closed.
inline constexpr int kExitOk = 0;
inline constexpr int kExitError = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitStopped = 3;
inline constexpr int kExitCancelled = 130;
inline constexpr int kExitSignalBase = 128;
inline constexpr int kExitBrokenPipe = 141;

struct GlobalOptions {
    std::string folder;  // -C DIR
    bool yes = false;    // --yes: questions take Yes/OK
};

void addWordsCommand(CLI::App& app, int& status);
void addSearchCommand(CLI::App& app, const GlobalOptions& global, int& status);
void addCatalogueCommands(CLI::App& app, const GlobalOptions& global, int& status);
void addResultsCommands(CLI::App& app, const GlobalOptions& global, int& status);
void addMaintenanceCommands(CLI::App& app, const GlobalOptions& global, int& status);
void addWordCommands(CLI::App& app, const GlobalOptions& global, int& status);
void addStoplistCommands(CLI::App& app, const GlobalOptions& global, int& status);

}  // namespace zantric::cli
