// The commands of zantric-cli, and what they share. Each registers its subcommand on the parser
// with a body that runs once the command line is parsed and returns the exit status. Runs on the
// main thread.
#pragma once

#include <CLI/CLI.hpp>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/session/program_session.h"

namespace zantric::cli {

class CliPresenter;

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

// The command line as parsed, and the exit status of the command that ran.
struct CommandLine {
    std::string folder;  // -C DIR
    bool yes = false;    // --yes: questions take Yes/OK
    int status = kExitOk;
    CliPresenter* presenter = nullptr;  // the message boxes of the run
};

// An option's value checks, as usage errors: a whole number in a range, said as "expected a whole
// number from 0 to 64" for anything else (a sign, a fraction, a word, too many digits), and a
// text that may not be empty (an empty --save NAME names no file; it is not the option left out).
CLI::Validator wholeNumber(std::int64_t least, std::int64_t most);
CLI::Validator notEmpty();

// Makes `body` what `cmd` runs once the command line is parsed; it returns the exit status.
void onRun(CLI::App& cmd, CommandLine& line, std::function<int()> body);

// Starts the program session a command works in (in -C DIR when given). nullptr when it cannot
// start: the program's folder cannot be entered, or a working session has no instance marker
// (the reason has been printed).
std::unique_ptr<ProgramSession> openSession(const CommandLine& line, ProgramSession::Use use);

// Whether typed dictionary names keep the one rule of dictionaryFileName; for the first that
// does not, prints "zantric-cli: NAME: " and the rule, and returns false. Checked before any
// work, as a usage error.
bool dictionaryNamesAccepted(const std::vector<std::string>& names);
// The catalogue entry of a typed dictionary name; when there is none, prints that there is no
// such dictionary and returns nullptr.
CatalogueEntry* namedDictionary(ProgramSession& session, const std::string& name);

void addWordsCommand(CLI::App& app, CommandLine& line);
void addSearchCommand(CLI::App& app, CommandLine& line);
void addCatalogueCommands(CLI::App& app, CommandLine& line);
void addResultsCommands(CLI::App& app, CommandLine& line);
void addMaintenanceCommands(CLI::App& app, CommandLine& line);
void addWordCommands(CLI::App& app, CommandLine& line);
void addStoplistCommands(CLI::App& app, CommandLine& line);

}  // namespace zantric::cli
