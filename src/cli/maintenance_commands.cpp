// zantric-cli make WORDLIST NAME [--unique], merge NAME NAME... --into NEW [--delete-merged] and
// starter [WORDLIST]: the window's Make Dictionary From File, Merge Dictionaries and first-start
// offer, from a terminal. Each stage runs with the progress line; Ctrl-C cancels it and its
// temporary files are deleted.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "cli/output.h"
#include "cli/progress_line.h"
#include "core/maintenance/make_dictionary.h"
#include "core/maintenance/merge_dictionaries.h"
#include "core/maintenance/system_word_list.h"
#include "core/shell/string_ids.h"
#include "core/shell/string_table.h"

namespace zantric::cli {

namespace {

using Use = ProgramSession::Use;

// Runs each stage with the progress line and notes whether Ctrl-C cancelled one.
StageRunner progressRunner(bool& cancelled) {
    return [&cancelled](ProgressWork& work) {
        bool interrupted = false;
        const int result = runWithProgress(work, &interrupted);
        cancelled = cancelled || interrupted;
        return result;
    };
}

// What a make read, on stderr: "N words stored, M lines skipped", then a line for each reason
// lines were skipped with the first few of them; nothing when the list was not read to its end.
void printReport(const WordListReport& report) {
    if (!report.readToEnd) return;
    for (const std::string& line :
         describeReport(report, [](std::uint64_t n) { return std::to_string(n); })) {
        std::fprintf(stderr, "%s\n", shownText(stderr, line).c_str());
    }
}

int statusOf(MaintenanceOutcome outcome, bool cancelled, int doneText) {
    switch (outcome) {
        case MaintenanceOutcome::kDone:
            std::printf("%s\n", loadString(doneText).c_str());
            return kExitOk;
        case MaintenanceOutcome::kStopped:
            return kExitError;
        case MaintenanceOutcome::kFailed:
            break;
    }
    return cancelled ? kExitCancelled : kExitError;
}

void addMakeCommand(CLI::App& app, CommandLine& line) {
    struct Options {
        std::string wordList;
        std::string name;
        bool unique = false;
    };
    auto options = std::make_shared<Options>();
    CLI::App* cmd =
        app.add_subcommand("make", "Make a dictionary from a word list (one word a line)");
    cmd->add_option("WORDLIST", options->wordList, "The word list, a text file")->required();
    cmd->add_option("NAME", options->name, "The new dictionary's name (english or english.lex)")
        ->required();
    cmd->add_flag("--unique", options->unique,
                  "Only words that no selected dictionary holds yet (slower)");
    onRun(*cmd, line, [options, &line] {
        if (!dictionaryNamesAccepted({options->name})) return kExitUsage;
        const auto session = openSession(line, Use::kWork);
        if (!session) return kExitError;
        if (!ProgramSession::onlyCopyRunning() || (options->unique && !uniqueWordsPossible())) {
            return kExitError;
        }
        bool cancelled = false;
        WordListReport report;
        const MaintenanceOutcome outcome =
            makeDictionary(session->typedPath(options->wordList), options->name, options->unique,
                           progressRunner(cancelled), nullptr, &report);
        printReport(report);
        return statusOf(outcome, cancelled, kStrDictionaryCreated);
    });
}

void addMergeCommand(CLI::App& app, CommandLine& line) {
    struct Options {
        std::vector<std::string> names;
        std::string into;
        bool deleteMerged = false;
    };
    auto options = std::make_shared<Options>();
    CLI::App* cmd =
        app.add_subcommand("merge", "Merge dictionaries into a new one, each word once");
    cmd->add_option("NAME", options->names, "The dictionaries to merge (two or more)");
    cmd->add_option("--into", options->into, "The new dictionary's name");
    cmd->add_flag("--delete-merged", options->deleteMerged,
                  "Delete the merged dictionaries afterwards (each is kept as NAME.lxb)");
    onRun(*cmd, line, [options, &line] {
        if (!dictionaryNamesAccepted(options->names) ||
            (!options->into.empty() && !dictionaryNamesAccepted({options->into}))) {
            return kExitUsage;
        }
        const auto session = openSession(line, Use::kWork);
        if (!session) return kExitError;
        std::vector<std::string> rows;
        for (const std::string& name : options->names) {
            const CatalogueEntry* entry = namedDictionary(*session, name);
            if (!entry) return kExitError;
            rows.push_back(entry->displayName());
        }
        bool cancelled = false;
        const MaintenanceOutcome outcome = mergeDictionaries(
            rows, options->into, options->deleteMerged, progressRunner(cancelled));
        return statusOf(outcome, cancelled, kStrDictionariesMerged);
    });
}

void addStarterCommand(CLI::App& app, CommandLine& line) {
    auto wordList = std::make_shared<std::string>();
    CLI::App* cmd =
        app.add_subcommand("starter",
                           "Make and select the dictionary english from the system word list, "
                           "without abbreviations, single letters and words without a vowel");
    cmd->add_option("WORDLIST", *wordList, "Another word list (default: the system's)");
    onRun(*cmd, line, [wordList, &line] {
        const auto session = openSession(line, Use::kWork);
        if (!session) return kExitError;
        const std::string list =
            wordList->empty() ? systemWordList() : session->typedPath(*wordList);
        if (list.empty()) {
            std::fprintf(stderr,
                         "zantric-cli: no word list in /usr/share/dict (Debian: apt install "
                         "wamerican); name one: zantric-cli starter WORDLIST\n");
            return kExitError;
        }
        bool cancelled = false;
        WordListReport report;
        const MaintenanceOutcome outcome =
            makeStarterDictionary(list, progressRunner(cancelled), &report);
        printReport(report);
        return statusOf(outcome, cancelled, kStrDictionaryCreated);
    });
}

}  // namespace

void addMaintenanceCommands(CLI::App& app, CommandLine& line) {
    addMakeCommand(app, line);
    addMergeCommand(app, line);
    addStarterCommand(app, line);
}

}  // namespace zantric::cli
