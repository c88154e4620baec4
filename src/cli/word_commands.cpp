// zantric-cli add-word WORD --dict NAME, remove-word WORD --dict NAME, find-word WORD and
// delete NAME...: the window's Add Word, Remove Word, Find and Delete Dictionaries commands,
// with the same checks, questions and messages (questions take --yes or ask on the terminal).
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "cli/output.h"
#include "cli/program_session.h"
#include "cli/progress_line.h"
#include "core/dictionary/word_update.h"
#include "core/maintenance/instance_marker.h"
#include "core/maintenance/word_change.h"
#include "core/shell/messages.h"
#include "core/shell/string_ids.h"
#include "core/shell/string_table.h"
#include "core/shell/zantric_exception.h"

namespace zantric::cli {

namespace {

// Yes/No with No as the default button.
constexpr int kMbYesNoDefaultNo = kMbYesNo | kMbDefaultButton2;

// The status line of the window becomes a line on stderr; the blank text that clears it
// prints nothing.
void printStatus(int textId) {
    const std::string text = loadString(textId);
    if (text.find_first_not_of(' ') != std::string::npos) {
        std::fprintf(stderr, "%s\n", text.c_str());
    }
}

int exitStatus(UpdateOutcome outcome) {
    switch (outcome) {
        case UpdateOutcome::kDone:
            return kExitOk;
        case UpdateOutcome::kCancelled:
            return kExitCancelled;
        default:
            return kExitError;
    }
}

bool anotherCopyRuns() {
    if (InstanceMarker::count() < 2) return false;
    messageBox(kStrAnotherCopyRuns, kStrWarningTitle, kMbOkExclamation);
    return true;
}

void addUpdateCommand(CLI::App& app, const GlobalOptions& global, int& status, UpdateMode mode) {
    struct Options {
        std::string word;
        std::string dictionary;
    };
    auto options = std::make_shared<Options>();
    const bool add = mode == UpdateMode::kAdd;
    CLI::App* cmd = app.add_subcommand(
        add ? "add-word" : "remove-word",
        add ? "Add a word to a dictionary (a new dictionary name creates one)"
            : "Remove a word from a dictionary; ? in WORD stands for any one letter");
    cmd->add_option("WORD", options->word,
                    add ? "The word: letters and at most one hyphen, at most 20 letters"
                        : "The word, or a pattern such as c?t to remove every word it fits")
        ->required();
    cmd->add_option("--dict,-d", options->dictionary, "Dictionary name (english or english.lex)")
        ->required();
    cmd->callback([options, mode, &global, &status] {
        if (!dictionaryNamesAccepted({options->dictionary})) {
            status = kExitUsage;
            return;
        }
        ProgramSession session(global.folder);
        if (!session.ok()) {
            status = kExitError;
            return;
        }
        WordChange update(
            mode, [](ProgressWork& work) { return runWithProgress(work); }, printStatus);
        status = exitStatus(update.ok(options->word, options->dictionary));
    });
}

void addFindCommand(CLI::App& app, const GlobalOptions& global, int& status) {
    auto word = std::make_shared<std::string>();
    CLI::App* cmd = app.add_subcommand(
        "find-word",
        "List the dictionaries that hold a word exactly (exit status 1 when none does)");
    cmd->add_option("WORD", *word, "The word, exactly as stored (Apple and apple differ)")
        ->required();
    cmd->callback([word, &global, &status] {
        if (word->empty()) {
            messageBox(kStrNoWord, kStrIncompleteTitle, kMbOk);
            status = kExitUsage;
            return;
        }
        ProgramSession session(global.folder, false);
        if (!session.ok()) {
            status = kExitError;
            return;
        }
        std::string list;
        try {
            list = listDictionariesContaining(*word);
        } catch (const ZantricException&) {
            status = kExitError;  // the dictionary that cannot be opened has been reported
            return;
        }
        if (list.empty()) {
            std::fprintf(stderr, "%s\n", loadString(kStrFoundNowhere).c_str());
            status = kExitError;
            return;
        }
        // One file name a line: the list is a line break before each name.
        std::printf("%s\n", shownText(stdout, list.substr(1)).c_str());
    });
}

void addDeleteCommand(CLI::App& app, const GlobalOptions& global, int& status) {
    auto names = std::make_shared<std::vector<std::string>>();
    CLI::App* cmd = app.add_subcommand(
        "delete", "Delete dictionaries (each file is kept as NAME.lxb, replacing an older one)");
    cmd->add_option("NAME", *names, "Dictionary names (english or english.lex)");
    cmd->callback([names, &global, &status] {
        if (!dictionaryNamesAccepted(*names)) {
            status = kExitUsage;
            return;
        }
        ProgramSession session(global.folder);
        if (!session.ok()) {
            status = kExitError;
            return;
        }
        if (anotherCopyRuns()) {
            status = kExitError;
            return;
        }
        if (names->empty()) {
            messageBox(kStrNothingHighlighted, kStrIncompleteTitle, kMbOk);
            status = kExitUsage;
            return;
        }
        // The dictionaries as the catalogue names them, each once, in the order given.
        std::vector<std::string> paths;
        std::vector<std::string> shown;
        for (const std::string& name : *names) {
            const CatalogueEntry* entry = session.findByName(name);
            if (!entry) {
                std::fprintf(stderr, "zantric-cli: no dictionary named %s (see zantric-cli list)\n",
                             name.c_str());
                status = kExitError;
                return;
            }
            if (std::find(paths.begin(), paths.end(), entry->path()) != paths.end()) continue;
            paths.push_back(entry->path());
            shown.push_back(entry->displayName());
        }

        std::string question = loadString(kStrDeleteQuestion);
        for (const std::string& name : shown) question += "\n" + name;
        question += loadString(kStrDeleteQuestionEnd);
        if (messageBoxText(question, loadString(kStrConfirmTitle), kMbYesNoDefaultNo) != kIdYes) {
            status = kExitError;
            return;
        }
        std::string report = loadString(kStrUnableToDeleteDictionaries);
        bool failed = false;
        for (std::size_t i = 0; i < paths.size(); ++i) {
            if (!session.catalogue().deleteDictionary(paths[i])) {
                failed = true;
                report += "\n" + shown[i];
            }
        }
        if (failed) {
            messageBoxText(report, loadString(kStrFileErrorTitle), kMbOk);
            status = kExitError;
            return;
        }
        printStatus(kStrDeleteSuccessful);
    });
}

}  // namespace

void addWordCommands(CLI::App& app, const GlobalOptions& global, int& status) {
    addUpdateCommand(app, global, status, UpdateMode::kAdd);
    addUpdateCommand(app, global, status, UpdateMode::kRemove);
    addFindCommand(app, global, status);
    addDeleteCommand(app, global, status);
}

}  // namespace zantric::cli
