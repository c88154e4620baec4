// zantric-cli stoplist add WORD..., stoplist remove WORD... and stoplist list: the words that no
// search uses, kept in stoplist.txt in the program folder, one a line. Words are taken with the
// word rules of the make command (CRT is kept as Crt) and strike words of any case.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "cli/output.h"
#include "core/search/stoplist.h"
#include "core/shell/paths.h"
#include "core/sort/word_list_reader.h"

namespace zantric::cli {

namespace {

// The words as the stoplist keeps them; false (reported) when one is not a word.
bool stoplistWords(const std::vector<std::string>& typed, std::vector<std::string>& words) {
    for (const std::string& text : typed) {
        std::string word = stoplistWord(text);
        if (word.empty()) {
            char judged[kWordRoom];
            const WordFault fault = judgeWordLine(text, judged);
            // A word with more spaces around it than a word list's line holds is too long.
            const std::string refusal = wordRefusalText(
                "\"" + text + "\"", fault == WordFault::kNone ? WordFault::kLength : fault);
            std::fprintf(stderr, "zantric-cli: %s\n", shownText(stderr, refusal).c_str());
            return false;
        }
        words.push_back(std::move(word));
    }
    return true;
}

void reportUnreadableStoplist() {
    std::fprintf(stderr, "zantric-cli: cannot read %s%s\n",
                 shownText(stderr, shownPath(kStoplistFileName)).c_str(),
                 notAFileText(kStoplistFileName).c_str());
}

void printWords(const char* label, const std::vector<std::string>& words) {
    if (words.empty()) return;
    std::string line = label;
    for (std::size_t i = 0; i < words.size(); ++i) line += (i ? ", " : " ") + words[i];
    std::printf("%s\n", line.c_str());
}

// stoplist add and stoplist remove: the change is made under the lock of the program folder, on
// the file as it is then, so that copies changing it at once keep each other's words; only the
// lines of the words added or removed change.
int changeStoplist(const std::vector<std::string>& typed, CommandLine& line, bool add) {
    StoplistEdit edit;
    if (!stoplistWords(typed, add ? edit.add : edit.remove)) return kExitUsage;
    const auto session = openSession(line, ProgramSession::Use::kReadCatalogue);
    if (!session) return kExitError;
    switch (editStoplistFile(kStoplistFileName, edit)) {
        case StoplistEditResult::kUnreadable:
            reportUnreadableStoplist();
            return kExitError;
        case StoplistEditResult::kUnwritable:
            std::fprintf(stderr, "zantric-cli: cannot write %s\n",
                         shownText(stderr, shownPath(kStoplistFileName)).c_str());
            return kExitError;
        case StoplistEditResult::kDone:
            break;
    }
    printWords(add ? "Added to the stoplist:" : "Removed from the stoplist:",
               add ? edit.added : edit.removed);
    printWords(add ? "Already in the stoplist:" : "Not in the stoplist:",
               add ? edit.present : edit.absent);
    return !add && !edit.absent.empty() ? kExitError : kExitOk;
}

int listStoplist(CommandLine& line) {
    const auto session = openSession(line, ProgramSession::Use::kReadCatalogue);
    if (!session) return kExitError;
    bool readable = true;
    for (const std::string& word : readStoplistWords(kStoplistFileName, &readable)) {
        std::printf("%s\n", word.c_str());
    }
    if (readable) return kExitOk;
    reportUnreadableStoplist();
    return kExitError;
}

}  // namespace

void addStoplistCommands(CLI::App& app, CommandLine& line) {
    CLI::App* cmd =
        app.add_subcommand("stoplist", "Words no search uses (stoplist.txt in the program folder)");
    cmd->require_subcommand(1);
    auto typed = std::make_shared<std::vector<std::string>>();
    CLI::App* add = cmd->add_subcommand("add", "Add words to the stoplist");
    add->add_option("WORD", *typed, "The words (as in a word list: CRT is taken as Crt)")
        ->required();
    onRun(*add, line, [typed, &line] { return changeStoplist(*typed, line, true); });
    CLI::App* remove = cmd->add_subcommand("remove", "Remove words from the stoplist");
    remove->add_option("WORD", *typed, "The words")->required();
    onRun(*remove, line, [typed, &line] { return changeStoplist(*typed, line, false); });
    CLI::App* list = cmd->add_subcommand("list", "Print the stoplist's words, one a line");
    onRun(*list, line, [&line] { return listStoplist(line); });
}

}  // namespace zantric::cli
