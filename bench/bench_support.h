// Shared set-up of the benchmarks: the valid words of the system word list, and a program
// folder in the temporary folder holding them as the selected dictionary english.lex.
#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/dictionary/catalogue.h"
#include "core/dictionary/dictionary_writer.h"
#include "core/dictionary/word_order.h"
#include "core/dictionary/workspace.h"
#include "core/shell/settings.h"

namespace zantric::bench {

inline constexpr const char* kSystemList = "/usr/share/dict/american-english";

// 1 to 20 letters a-z, a capital first letter allowed, at most one inner hyphen; in dictionary
// order, each once. `lowerOnly` keeps only words without a capital.
inline std::vector<std::string> systemWords(bool lowerOnly = false) {
    std::ifstream in(kSystemList);
    std::vector<std::string> words;
    std::string line;
    while (std::getline(in, line)) {
        int hyphens = 0;
        bool ok = !line.empty();
        for (std::size_t i = 0; ok && i < line.size(); ++i) {
            const char c = line[i];
            if (c == '-')
                ok = ++hyphens == 1 && i > 0 && i + 1 < line.size();
            else
                ok = (c >= 'a' && c <= 'z') || (!lowerOnly && i == 0 && c >= 'A' && c <= 'Z');
        }
        if (ok && letterCount(line.c_str()) <= kMaxWordLetters) words.push_back(line);
    }
    std::sort(words.begin(), words.end(),
              [](const auto& a, const auto& b) { return compareWords(a.c_str(), b.c_str()) < 0; });
    words.erase(std::unique(words.begin(), words.end()), words.end());
    return words;
}

inline void writeDictionary(const std::vector<std::string>& words, const std::string& path) {
    DictionaryWriter writer(path);
    for (const auto& w : words) writer.addWord(w);
    writer.close();
}

// Takes every message without showing it, with the default answer: a benchmark wants none.
class SilentPrompter final : public Prompter {
public:
    int choose(const Message&, const Captions&) override { return 2; }

protected:
    Answer answer(const Message& message) override { return defaultAnswer(message.buttons); }
};

// The settings and the catalogue of the program folder below, made on the first call there;
// messages are not shown.
inline Workspace workspace() {
    static SilentPrompter silent;
    static const Settings settings(silent);
    static Catalogue catalogue(settings, silent);
    return {settings, catalogue, silent};
}

// Makes (once) and enters a program folder whose only, selected dictionary is english.lex.
inline bool enterProgramFolder(bool lowerOnly = false) {
    static bool ready = [lowerOnly] {
        namespace fs = std::filesystem;
        const fs::path folder = fs::temp_directory_path() / "zantric-bench-folder";
        fs::remove_all(folder);
        fs::create_directories(folder / "lexicons");
        fs::create_directories(folder / "temp");
        fs::current_path(folder);
        std::ofstream("zantric.ini") << "[PATHS]\nFILES=./files\nDICTIONARIES=./lexicons\n"
                                        "TEMP_FILES=./temp\n";
        const auto words = systemWords(lowerOnly);
        if (words.empty()) return false;
        writeDictionary(words, "./lexicons/english.lex");
        workspace().catalogue.setSelected("./lexicons/english.lex", true);
        return true;
    }();
    return ready;
}

}  // namespace zantric::bench
