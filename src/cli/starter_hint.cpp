#include "cli/starter_hint.h"

#include <algorithm>
#include <cstdio>

#include "core/maintenance/system_word_list.h"

namespace zantric::cli {

namespace {

// A word as the shell takes it: quoted when it holds anything but plain characters.
std::string shellWord(const std::string& word) {
    const bool plain = !word.empty() && std::all_of(word.begin(), word.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '/' || c == '.' || c == '_' || c == '-' || c == '+' || c == ',' || c == ':';
    });
    if (plain) return word;
    std::string quoted = "'";
    for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

}  // namespace

std::string starterHint(const std::filesystem::path& wordList, const std::string& folder) {
    const std::string program =
        folder.empty() ? "zantric-cli" : "zantric-cli -C " + shellWord(folder);
    const std::string name(kStarterDictionaryName);
    std::string hint = "No dictionaries yet. ";
    if (!wordList.empty()) {
        return hint + "Make one from the system word list (" + wordList.string() + "): " + program +
               " starter";
    }
    hint += "Make one from a word list (a text file, one word a line): ";
    hint += program + " make WORDLIST " + name + " && " + program + " select " + name;
    return hint;
}

bool printStarterHintIfEmpty(const Catalogue& catalogue, const std::string& folder) {
    if (catalogue.count() != 0) return false;
    std::fprintf(stderr, "%s\n", starterHint(systemWordList(), folder).c_str());
    return true;
}

}  // namespace zantric::cli
