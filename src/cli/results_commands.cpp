// zantric-cli view RESULTS [--export FILE [--append]] and delete-results RESULTS: the window's
// View and Delete Results, from a terminal; and the saving and exporting that search shares.
#include "cli/results_commands.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "cli/cli_commands.h"
#include "cli/cli_presenter.h"
#include "cli/interrupt.h"
#include "cli/output.h"
#include "cli/progress_line.h"
#include "core/results/results_files.h"
#include "core/results/results_store.h"
#include "core/shell/paths.h"
#include "core/shell/settings.h"

namespace zantric::cli {

namespace {

namespace fs = std::filesystem;

bool hasFolder(const fs::path& name) { return name.has_parent_path(); }

fs::path exportPath(const ProgramSession& session, const std::string& typed) {
    return session.typedPath(withDefaultExtension(typed, "txt"));
}

const char* yesNo(bool on) { return on ? "yes" : "no"; }

// A count of the header: a field holds at most 2,147,483,647, so that value (or a negative one,
// which only a count that had outgrown its field can leave) means at least so many.
std::string headerCount(std::int32_t count) {
    if (count == kMaxHeaderCount || count < 0) {
        return "at least " + std::to_string(kMaxHeaderCount);
    }
    return std::to_string(count);
}

// The header fields as the window shows them after View, one "Label: value" line each.
void printHeader(const ResultsHeader& header, std::int64_t found) {
    const SearchFields& fields = header.fields;
    std::printf("Find: %s\nFrom: %s\nInclude: %s\nExclude: %s\n",
                shownText(stdout, fields.find).c_str(), shownText(stdout, fields.from).c_str(),
                shownText(stdout, fields.include).c_str(),
                shownText(stdout, fields.exclude).c_str());
    std::printf("Use All FROM Letters: %s\nSuppress Permutations: %s\n",
                yesNo(fields.useAllFromLetters), yesNo(fields.suppressPermutations));
    // The phrase filters the search ran with, only when there were any.
    if (header.filters.minWordLength != 0) {
        std::printf("Minimum Word Length: %d\n", header.filters.minWordLength);
    }
    if (header.filters.eachWordOnce) std::printf("Each Word Once: yes\n");
    if (header.filters.stoplist) std::printf("Stoplist: yes\n");
    if (header.filters.common != 0) std::printf("Common Words: %d\n", header.filters.common);
    if (header.filters.ranked) std::printf("Ranked: yes\n");
    std::printf("Found: %lld\nChecked: %s\n", static_cast<long long>(found),
                headerCount(header.checked).c_str());
}

// Every stored match, one a line, read as the list reads its rows: rows of about 64 KiB. Stops
// when standard output fails or a signal ends the command.
void printMatches(ResultsStore& results) {
    const int perRow = std::clamp((1 << 16) / (results.longest() + 1), 1, kMaxMatchesPerRow);
    OutputBuffer out;
    for (std::int64_t first = 0; first < results.count() && !interrupted(); first += perRow) {
        std::string_view text = results.rowText(first, perRow);
        while (!text.empty()) {
            const std::size_t tab = text.find('\t');
            if (!out.line(text.substr(0, tab))) return;
            text.remove_prefix(tab == std::string_view::npos ? text.size() : tab + 1);
        }
    }
}

void addViewCommand(CLI::App& app, CommandLine& line) {
    struct Options {
        std::string name;
        ExportOptions exportTo;
    };
    auto options = std::make_shared<Options>();
    CLI::App* cmd = app.add_subcommand(
        "view", "Show saved results: the search's fields and counts, then every match");
    cmd->add_option("RESULTS", options->name,
                    "Saved results (name.ztr; a bare name is in the files folder)")
        ->required()
        ->check(notEmpty());
    addExportOptions(*cmd, options->exportTo);
    onRun(*cmd, line, [options, &line] {
        if (!checkResultsName(options->name) ||
            (!options->exportTo.file.empty() && !checkExportName(options->exportTo.file))) {
            return kExitUsage;
        }
        const auto session = openSession(line, ProgramSession::Use::kWork);
        if (!session) return kExitError;
        ResultsStore results(session->settings(), session->prompter());
        if (!results.openSaved(resultsPath(*session, options->name, false))) return kExitError;
        printHeader(results.header(), results.count());
        printMatches(results);
        if (interrupted() || outputError() != 0) return kExitOk;  // main gives the status
        if (!options->exportTo.file.empty() &&
            !exportTypedResults(*line.presenter, results, results.header().summary(), *session,
                                options->exportTo)) {
            return kExitError;
        }
        return kExitOk;
    });
}

void addDeleteCommand(CLI::App& app, CommandLine& line) {
    auto name = std::make_shared<std::string>();
    CLI::App* cmd = app.add_subcommand("delete-results", "Delete saved results (both files)");
    cmd->add_option("RESULTS", *name,
                    "Saved results (name.ztr; a bare name is in the files folder)")
        ->required()
        ->check(notEmpty());
    onRun(*cmd, line, [name, &line] {
        if (!checkResultsName(*name)) return kExitUsage;
        const auto session = openSession(line, ProgramSession::Use::kWork);
        if (!session) return kExitError;
        // The window offers Delete Results only while it is the one copy running.
        if (session->anotherCopyRunning()) {
            std::fprintf(stderr,
                         "zantric-cli: another copy of Zantric is running; results can be deleted "
                         "only while it is closed\n");
            return kExitError;
        }
        // Only a pair that opens as results is deleted.
        ResultsStore results(session->settings(), session->prompter());
        if (!results.openSaved(resultsPath(*session, *name, false)) || !results.deleteCurrent()) {
            return kExitError;
        }
        return kExitOk;
    });
}

}  // namespace

void addExportOptions(CLI::App& cmd, ExportOptions& options) {
    CLI::Option* file =
        cmd.add_option(
               "--export", options.file,
               "Also write the results as text to FILE (.txt added when it has no extension)")
            ->check(notEmpty());
    cmd.add_flag("--append", options.append, "Add to the end of an existing export FILE")
        ->needs(file);
}

bool checkResultsName(const std::string& typed) {
    if (isResultsPairName(withDefaultExtension(typed, "ztr"))) return true;
    std::fprintf(stderr,
                 "zantric-cli: %s: saved results are a .ztr file (use --export for a text file)\n",
                 typed.c_str());
    return false;
}

bool checkExportName(const std::string& typed) {
    if (!isResultsPairName(typed)) return true;
    std::fprintf(stderr, "zantric-cli: %s: --export writes a text file; save results with --save\n",
                 typed.c_str());
    return false;
}

fs::path resultsPath(const ProgramSession& session, const std::string& typed, bool createFolder) {
    const fs::path name = withDefaultExtension(typed, "ztr");
    if (hasFolder(name)) return session.typedPath(name);
    const fs::path& folder = session.settings().filesFolder();
    if (createFolder) {
        std::error_code ignored;
        fs::create_directories(folder, ignored);
    }
    return folder / name;
}

bool saveTypedResults(Prompter& prompter, ResultsStore& results, const ProgramSession& session,
                      const std::string& typed) {
    const fs::path name = resultsPath(session, typed, true);
    if (fileExists(name) && !confirmOverwrite(prompter, name)) return false;
    return saveResultsPair(prompter, session.settings(), results, name, runHereWithProgress);
}

bool exportTypedResults(Prompter& prompter, ResultsStore& results, const SearchSummary& fields,
                        const ProgramSession& session, const ExportOptions& options) {
    const fs::path name = exportPath(session, options.file);
    bool append = options.append;
    if (!append && fileExists(name)) {
        const ExportChoice choice = askOverwriteOrAppend(prompter, name);
        if (choice == ExportChoice::kCancel) return false;
        append = choice == ExportChoice::kAppend;
    }
    return exportAsAscii(prompter, results, fields, name, append, runHereWithProgress);
}

void addResultsCommands(CLI::App& app, CommandLine& line) {
    addViewCommand(app, line);
    addDeleteCommand(app, line);
}

}  // namespace zantric::cli
