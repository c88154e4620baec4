// zantric-cli add-word WORD --dict NAME, remove-word WORD --dict NAME, find-word WORD and
// delete NAME...: the window's Add Word, Remove Word, Find and Delete Dictionaries commands,
// with the same checks, questions and messages (questions take --yes or ask on the terminal).
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "cli/cli_presenter.h"
#include "cli/output.h"
#include "cli/progress_line.h"
#include "core/dictionary/word_update.h"
#include "core/maintenance/delete_dictionaries.h"
#include "core/maintenance/word_change.h"
#include "core/shell/messages.h"
#include "core/shell/string_ids.h"
#include "core/shell/string_table.h"
#include "core/shell/zantric_exception.h"

namespace zantric::cli {

namespace {

using Use = ProgramSession::Use;

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
        case UpdateOutcome::kDeclined:
            return kExitUsage;  // removing several words needs --yes (or a Yes on the terminal)
        default:
            return kExitError;
    }
}

void addUpdateCommand(CLI::App& app, CommandLine& line, UpdateMode mode) {
    struct Options {
        std::string word;
        std::string dictionary;
    };
    auto options = std::make_shared<Options>();
    const bool add = mode == UpdateMode::kAdd;
    CLI::App* cmd = app.add_subcommand(
        add ? "add-word" : "remove-word",
        add ? "Add a word to a dictionary (a new dictionary name creates one)"
            : "Remove a word from a dictionary; ? in WORD stands for any one letter (more than "
              "one word removed needs --yes)");
    cmd->add_option("WORD", options->word,
                    add ? "The word: letters and at most one hyphen, at most 20 letters"
                        : "The word, or a pattern such as c?t to remove every word it fits")
        ->required();
    cmd->add_option("--dict,-d", options->dictionary, "Dictionary name (english or english.lex)")
        ->required();
    onRun(*cmd, line, [options, mode, &line] {
        if (!dictionaryNamesAccepted({options->dictionary})) return kExitUsage;
        const auto session = openSession(line, Use::kWork);
        if (!session) return kExitError;
        WordChange update(
            session->workspace(), mode, [](ProgressWork& work) { return runWithProgress(work); },
            printStatus);
        const UpdateOutcome outcome = update.ok(options->word, options->dictionary);
        if (outcome == UpdateOutcome::kDone && mode == UpdateMode::kRemove) {
            std::fprintf(
                stderr, "%s%u\n",
                loadString(kStrWordsRemovedFrom, dictionaryFileName(options->dictionary)).c_str(),
                static_cast<unsigned>(update.removedWords()));
        }
        return exitStatus(outcome);
    });
}

void addFindCommand(CLI::App& app, CommandLine& line) {
    auto word = std::make_shared<std::string>();
    CLI::App* cmd = app.add_subcommand(
        "find-word",
        "List the dictionaries that hold a word exactly (exit status 1 when none does)");
    cmd->add_option("WORD", *word, "The word, exactly as stored (Apple and apple differ)")
        ->required();
    onRun(*cmd, line, [word, &line] {
        if (word->empty()) {
            line.presenter->ask(
                Message::fromIds(kStrNoWord, kStrIncompleteTitle, MessageKind::kPlain));
            return kExitUsage;
        }
        const auto session = openSession(line, Use::kReadCatalogue);
        if (!session) return kExitError;
        std::string list;
        try {
            list = listDictionariesContaining(session->catalogue(), *word);
        } catch (const ZantricException& e) {
            if (e.notice())
                line.presenter->tell(*e.notice());  // a dictionary that cannot be opened
            return kExitError;
        }
        if (list.empty()) {
            std::fprintf(stderr, "%s\n", loadString(kStrFoundNowhere).c_str());
            return kExitError;
        }
        // One file name a line: the list is a line break before each name.
        std::printf("%s\n", shownText(stdout, list.substr(1)).c_str());
        return kExitOk;
    });
}

void addDeleteCommand(CLI::App& app, CommandLine& line) {
    auto names = std::make_shared<std::vector<std::string>>();
    CLI::App* cmd = app.add_subcommand(
        "delete", "Delete dictionaries (each file is kept as NAME.lxb, replacing an older one)");
    cmd->add_option("NAME", *names, "Dictionary names (english or english.lex)");
    onRun(*cmd, line, [names, &line] {
        if (!dictionaryNamesAccepted(*names)) return kExitUsage;
        const auto session = openSession(line, Use::kWork);
        if (!session) return kExitError;
        if (!session->onlyCopyRunning()) return kExitError;
        // The dictionaries as the catalogue names them, each once, in the order given.
        std::vector<std::string> shown;
        for (const std::string& name : *names) {
            const CatalogueEntry* entry = namedDictionary(*session, name);
            if (!entry) return kExitError;
            if (std::find(shown.begin(), shown.end(), entry->displayName()) == shown.end()) {
                shown.push_back(entry->displayName());
            }
        }
        // No name at all is told as the window tells an empty selection, as a usage error.
        if (deleteHighlighted(session->workspace(), shown, 0) != MaintenanceOutcome::kDone)
            return names->empty() ? kExitUsage : kExitError;
        printStatus(kStrDeleteSuccessful);
        return kExitOk;
    });
}

}  // namespace

void addWordCommands(CLI::App& app, CommandLine& line) {
    addUpdateCommand(app, line, UpdateMode::kAdd);
    addUpdateCommand(app, line, UpdateMode::kRemove);
    addFindCommand(app, line);
    addDeleteCommand(app, line);
}

}  // namespace zantric::cli
