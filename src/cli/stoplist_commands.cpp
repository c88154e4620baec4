// zantric-cli stoplist add WORD..., stoplist remove WORD... and stoplist list: the words that no
// search uses, kept in stoplist.txt in the program folder, one a line. Words are taken with the
// word rules of the make command (CRT is kept as Crt, the dictionaries' form of it).
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "cli/output.h"
#include "core/search/stoplist.h"
#include "core/shell/paths.h"

namespace zantric::cli {

namespace {

// The words as the stoplist keeps them; false (reported) when one is not a word.
bool stoplistWords(const std::vector<std::string>& typed, std::vector<std::string>& words) {
    for (const std::string& text : typed) {
        std::string word = stoplistWord(text);
        if (word.empty()) {
            std::fprintf(stderr,
                         "zantric-cli: \"%s\" is not a word: 1 to 20 letters and at most one "
                         "hyphen, neither first nor last\n",
                         shownText(stderr, text).c_str());
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

// Adds (or removes) each word that is not (or is) in `list`; the words it changed go to
// `changed`, the others to `unchanged`, each once.
void applyChange(bool add, const std::vector<std::string>& words, std::vector<std::string>& list,
                 std::vector<std::string>& changed, std::vector<std::string>& unchanged) {
    for (const std::string& word : words) {
        const auto at = std::find(list.begin(), list.end(), word);
        if (add == (at == list.end())) {
            if (add)
                list.push_back(word);
            else
                list.erase(at);
            changed.push_back(word);
        } else if (std::find(unchanged.begin(), unchanged.end(), word) == unchanged.end()) {
            unchanged.push_back(word);
        }
    }
}

// stoplist add and stoplist remove: each change reads the file, changes its words and writes it
// back whole.
int changeStoplist(const std::vector<std::string>& typed, CommandLine& line, bool add) {
    std::vector<std::string> words;
    if (!stoplistWords(typed, words)) return kExitUsage;
    const auto session = openSession(line, ProgramSession::Use::kReadCatalogue);
    if (!session) return kExitError;
    bool readable = true;
    std::vector<std::string> list = readStoplistWords(kStoplistFileName, &readable);
    if (!readable) {
        reportUnreadableStoplist();
        return kExitError;
    }
    std::vector<std::string> changed, unchanged;
    applyChange(add, words, list, changed, unchanged);
    if (!changed.empty() && !writeStoplistWords(kStoplistFileName, list)) {
        std::fprintf(stderr, "zantric-cli: cannot write %s\n",
                     shownText(stderr, shownPath(kStoplistFileName)).c_str());
        return kExitError;
    }
    printWords(add ? "Added to the stoplist:" : "Removed from the stoplist:", changed);
    printWords(add ? "Already in the stoplist:" : "Not in the stoplist:", unchanged);
    return !add && !unchanged.empty() ? kExitError : kExitOk;
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
