// Fuzz target: a word list of any bytes, validated line by line and made into a dictionary by
// the three stages of Make Dictionary From File. Each whole line's verdict is checked against the
// word rule stated on its own, the dictionary made must hold exactly the valid words, each once,
// and the report must count every line once.
#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "core/dictionary/dictionary_reader.h"
#include "core/maintenance/make_dictionary.h"
#include "core/shell/paths.h"
#include "core/sort/word_list_reader.h"
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

// The lines of a word list as its reader must give them: a byte-order mark at the start left
// out, split at line feeds, a carriage return before a line feed dropped; the last line is what
// follows the last line feed (possibly nothing).
std::vector<std::string_view> rawLines(std::string_view bytes) {
    if (bytes.starts_with(kUtf8ByteOrderMark)) bytes.remove_prefix(kUtf8ByteOrderMark.size());
    std::vector<std::string_view> lines;
    for (;;) {
        const std::size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        if (end == std::string_view::npos) {
            lines.push_back(line);
            return lines;
        }
        if (line.ends_with('\r')) line.remove_suffix(1);
        lines.push_back(line);
        bytes.remove_prefix(end + 1);
    }
}

// The words the dictionary must hold, in byte order, each once: each line whole, however long,
// judged by the rule above; the reader's lines are checked against them on the way.
std::vector<std::string> validWords(const std::string& fileName, std::string_view bytes) {
    const std::vector<std::string_view> lines = rawLines(bytes);
    FilePtr file = openFile(fileName, "rb");
    fuzz::expect(file != nullptr, "the word list can be read");
    WordListReader reader(file.get());
    std::vector<std::string> words;
    char word[kWordRoom];
    std::size_t index = 0;
    while (!reader.atEnd()) {
        const std::string_view line = reader.next(fileName);
        fuzz::expect(index < lines.size(), "a line of the list is one line of the reader");
        const std::string_view raw = lines[index++];
        fuzz::expect(line.size() <= WordListReader::kLineRoom, "a line comes within its room");
        fuzz::expect(
            reader.cut() == (line.size() < raw.size() && line.size() == WordListReader::kLineRoom),
            "a line is cut only when it fills its room");
        const LineKind kind = validateWordLine(line, word);
        fuzz::expect((kind == LineKind::kWord) == isWordLine(raw), "the word rule, whole lines");
        fuzz::expect((kind == LineKind::kEmpty) == raw.empty(), "an empty line is empty");
        if (kind != LineKind::kWord) continue;
        const std::size_t start = raw.find_first_not_of(' ');
        fuzz::expect(word[0] == raw[start], "the first letter keeps its case");
        for (std::size_t i = 1; word[i] != '\0'; ++i) {
            const char c = raw[start + i];
            fuzz::expect(word[i] == (c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c),
                         "the other letters are lower-cased");
        }
        words.emplace_back(word);
    }
    fuzz::expect(index == lines.size(), "every line of the list is read");
    std::sort(words.begin(), words.end());
    words.erase(std::unique(words.begin(), words.end()), words.end());
    return words;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::SilentPresenter& presenter = fuzz::enterScratchFolder();
    test::TempFolder::write("list.txt", {reinterpret_cast<const char*>(data), size});
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> expected = validWords("list.txt", bytes);

    const int shownBefore = presenter.shown();
    WordListReport report;
    const MaintenanceOutcome outcome = makeDictionary(
        fuzz::scratchWorkspace(), "list.txt", "fuzz", false,
        [](ProgressWork& work) { return runWork(work); }, nullptr, &report);
    // Every line is a word or skipped, but for the nothing after a last line feed.
    const std::vector<std::string_view> lines = rawLines(bytes);
    fuzz::expect(report.readToEnd && report.wordLines + report.skippedLines() ==
                                         lines.size() - (lines.back().empty() ? 1 : 0),
                 "the report counts every line once");
    fuzz::expect(report.written == !expected.empty() &&
                     report.stored == (report.written ? expected.size() : 0),
                 "the report counts the words stored");
    if (expected.empty()) {
        fuzz::expect(outcome == MaintenanceOutcome::kFailed, "a list without words fails");
        fuzz::expect(presenter.shown() > shownBefore, "and says so");
    } else {
        std::vector<std::string> made;
        ReadControl reads;
        DictionaryReader reader(reads, "./lexicons/fuzz.lex", false, 5120);
        char word[kOutWordSize];
        for (MatchResult r = reader.nextMatch(word, "*"); r == kMatchFound;
             r = reader.nextMatch(word, nullptr))
            made.emplace_back(word);
        std::sort(made.begin(), made.end());
        fuzz::expect(outcome == MaintenanceOutcome::kDone && made == expected,
                     "a list with words makes a dictionary of every valid word once");
    }
    fuzz::expect(std::filesystem::is_empty("temp"), "no temporary file is left");
    return 0;
}
