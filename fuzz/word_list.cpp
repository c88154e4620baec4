// Fuzz target: a word list of any bytes, validated line by line and made into a dictionary by
// the three stages of Make Dictionary From File. Each line's verdict is checked against the word
// rule stated on its own, and the dictionary made must hold exactly the valid words, each once.
#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "core/dictionary/dictionary_reader.h"
#include "core/maintenance/make_dictionary.h"
#include "core/maintenance/word_list_reader.h"
#include "core/shell/paths.h"
#include "fuzz_support.h"

namespace {

using namespace zantric;

// The word rule: after leading spaces one run of letters with at most one hyphen, neither first
// nor last, at most kMaxWordLetters letters, then nothing but spaces.
bool isWordLine(std::string_view line) {
    const std::size_t start = line.find_first_not_of(' ');
    if (start == std::string_view::npos) return false;
    const std::size_t end = std::min(line.find(' ', start), line.size());
    if (line.find_first_not_of(' ', end) != std::string_view::npos) return false;
    const std::string_view word = line.substr(start, end - start);
    const auto hyphens = std::count(word.begin(), word.end(), '-');
    const auto letters = std::count_if(word.begin(), word.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    });
    return hyphens + letters == static_cast<long>(word.size()) && hyphens <= 1 &&
           word.front() != '-' && word.back() != '-' && letters >= 1 && letters <= kMaxWordLetters;
}

// The words the dictionary must hold, in byte order, each once.
std::vector<std::string> validWords(const std::string& fileName) {
    FilePtr file = openFile(fileName, "rb");
    fuzz::expect(file != nullptr, "the word list can be read");
    WordListReader reader(file.get());
    std::vector<std::string> words;
    char word[kWordRoom];
    while (!reader.atEnd()) {
        const std::string_view line = reader.next(fileName);
        fuzz::expect(line.size() <= static_cast<std::size_t>(kWordListLineLimit),
                     "a line comes in pieces of at most 23 characters");
        const LineKind kind = validateWordLine(line, word);
        fuzz::expect((kind == LineKind::kWord) == isWordLine(line), "the word rule");
        fuzz::expect((kind == LineKind::kEmpty) == line.empty(), "an empty line is empty");
        if (kind != LineKind::kWord) continue;
        fuzz::expect(word[0] == line[line.find_first_not_of(' ')],
                     "the first letter keeps its case");
        fuzz::expect(std::none_of(word + 1, word + std::strlen(word),
                                  [](char c) { return c >= 'A' && c <= 'Z'; }),
                     "the other letters are lower-cased");
        words.emplace_back(word);
    }
    std::sort(words.begin(), words.end());
    words.erase(std::unique(words.begin(), words.end()), words.end());
    return words;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::SilentPresenter& presenter = fuzz::enterScratchFolder();
    test::TempFolder::write("list.txt", {reinterpret_cast<const char*>(data), size});
    const std::vector<std::string> expected = validWords("list.txt");

    const int shownBefore = presenter.shown();
    const MaintenanceOutcome outcome =
        makeDictionary("list.txt", "fuzz", false, [](ProgressWork& work) { return runWork(work); });
    if (expected.empty()) {
        fuzz::expect(outcome == MaintenanceOutcome::kFailed, "a list without words fails");
        fuzz::expect(presenter.shown() > shownBefore, "and says so");
    } else {
        std::vector<std::string> made;
        DictionaryReader reader(".\\lexicons\\fuzz.lex", false, 5120);
        char word[kOutWordSize];
        for (int r = reader.nextMatch(word, "*"); r == kMatchFound;
             r = reader.nextMatch(word, nullptr))
            made.emplace_back(word);
        std::sort(made.begin(), made.end());
        fuzz::expect(outcome == MaintenanceOutcome::kDone && made == expected,
                     "a list with words makes a dictionary of every valid word once");
    }
    fuzz::expect(std::filesystem::is_empty("temp"), "no temporary file is left");
    return 0;
}
