// Results from the command line: `view` and `delete-results`, and the saving and exporting that
// `search --save/--export` and `view --export` share. A results NAME without a folder lives in
// the files folder (where the window's Save As and View dialogs open); an export FILE, or a NAME
// with a folder, is relative to the folder the command was run in. Main thread.
#pragma once

#include <CLI/CLI.hpp>
#include <filesystem>
#include <string>

#include "core/results/file_transfer.h"
#include "core/results/results_header.h"
#include "core/shell/messages.h"

namespace zantric {
class ProgramSession;
class ResultsStore;
}  // namespace zantric

namespace zantric::cli {

struct ExportOptions {
    std::string file;  // empty: no export
    bool append = false;
};

// Adds --export FILE and --append (which needs --export).
void addExportOptions(CLI::App& cmd, ExportOptions& options);

// Checks typed names before any work: a results NAME must end in .ztr (added when it has no
// extension), an export FILE must not. Prints the reason and returns false otherwise.
bool checkResultsName(const std::string& typed);
bool checkExportName(const std::string& typed);

// Where a typed results NAME lives ("ztr" added when it has no extension); with `createFolder`
// the files folder is made when missing.
std::filesystem::path resultsPath(const ProgramSession& session, const std::string& typed,
                                  bool createFolder);

// Saves the store's pair under a typed NAME, asking `prompter` before replacing a file (--yes
// answers).
bool saveTypedResults(Prompter& prompter, ResultsStore& results, const ProgramSession& session,
                      const std::string& typed);
// Exports the store as text to a typed FILE ("asc" added when it has no extension). An existing
// file is appended to with --append, else the overwrite-or-append question decides.
bool exportTypedResults(Prompter& prompter, ResultsStore& results, const SearchSummary& fields,
                        const ProgramSession& session, const ExportOptions& options);

}  // namespace zantric::cli
