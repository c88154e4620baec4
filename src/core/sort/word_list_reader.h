// Reading a word list (one word a line): the word rule and why a text fails it, the reader that
// gives a list's lines one at a time through one buffer, and the count of what a reading kept
// and skipped. Used by Make Dictionary From File, the starter dictionary, Add/Remove Word and
// the stoplist. Each reader and report belongs to the one thread that reads with it (the worker
// of a make); the rule's functions are pure and may be called from any thread.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/dictionary/dictionary_format.h"
#include "core/dictionary/letter_fold.h"

namespace zantric {

// The longest line that can hold a word once each run of spaces counts as one: a space, a word
// of twenty letters and a hyphen, a space.
inline constexpr int kWordListLineLimit = 23;
inline constexpr int kWordRoom = kMaxWordLetters + 2;  // a valid word: letters, hyphen, NUL

// Why a text is not a word, in the order the rule is checked; kNone for a word.
enum class WordFault {
    kNone,
    kEmpty,       // no character but spaces
    kCharacters,  // a character other than the letters a-z, A-Z and the hyphen (a space within)
    kHyphens,     // more than one hyphen, or a hyphen first or last
    kLength,      // more than twenty letters
    // Only in a language that folds accented letters, where kCharacters is told more closely:
    kApostrophe,    // an apostrophe (aujourd'hui)
    kDigits,        // a digit
    kAbbreviation,  // a full stop at the end (etc.)
    kNoFold,        // a letter the language does not fold to a-z (Greek, Cyrillic, ...)
};
inline constexpr int kWordFaults = 9;

// Judges a word as typed, with nothing around it. With `wildcards` (a word to remove) a '?'
// counts as a letter.
WordFault wordFault(std::string_view text, bool wildcards = false);

// The fault as the program names it ("characters outside a–z"); "" for kNone.
std::string wordFaultText(WordFault fault);

// What a refused word is told: "café is not a valid Zantric word: characters outside a–z."
// and the rule on a line of its own.
std::string wordRefusalText(std::string_view word, WordFault fault);

// Decides, before the word rules, whether a line of a word list is read at all (the starter
// dictionary leaves some words out). Called on the stage's worker for every line.
using LineFilter = bool (*)(std::string_view line);

// Judges one line (without its line break): leading spaces are skipped; the word ends at the
// next space, after which only spaces may follow; then, in a language that folds, its accented
// letters are folded to a-z (foldLetters); then the rule of wordFault. A valid word is written
// to `word` (room for kWordRoom) with its first letter as it stands and every other letter in
// lower case, and `written` (when given) views the word as the line has it, before folding.
WordFault judgeWordLine(std::string_view line, char* word, Language language = Language::kEnglish,
                        std::string_view* written = nullptr);

// judgeWordLine's verdict in three: a line with no characters at all is kEmpty; any other line
// that is not a word (a line of spaces too) is kInvalid.
enum class LineKind { kEmpty, kInvalid, kWord };
LineKind validateWordLine(std::string_view line, char* word);

// Reads a word list line by line through one buffer, whatever the lines' length. A UTF-8
// byte-order mark at the start is skipped; a carriage return before a line feed is dropped.
// Each run of spaces comes as one space, which leaves the word rule's verdict as it was. Of a
// line longer than kLineRoom characters then, only the first kLineRoom come: such a line is no
// word, and its start tells why.
class WordListReader {
public:
    explicit WordListReader(std::FILE* file) : m_file(file) {}

    // The next line, valid until the next call. At the end of the input it gives the
    // characters before the end (possibly none) and sets atEnd(). Throws ZantricException
    // "Unable to read File: " + name on a read error.
    std::string_view next(const std::filesystem::path& name);
    bool atEnd() const { return m_atEnd; }
    // Whether the line last given was longer than what came of it.
    bool cut() const { return m_cut; }
    // The number of the line last given, from 1.
    std::uint64_t lineNumber() const { return m_lineNumber; }
    // Bytes of the input consumed so far.
    std::uint64_t consumed() const { return m_consumed; }

private:
    // The byte `ahead` places on, or -1 past the end of the input.
    int peek(std::size_t ahead, const std::filesystem::path& name);

    static constexpr std::size_t kBufferBytes = 1 << 16;

public:
    static constexpr std::size_t kLineRoom = 256;

private:
    std::FILE* m_file;
    std::unique_ptr<unsigned char[]> m_buffer{new unsigned char[kBufferBytes]};
    std::size_t m_position = 0;
    std::size_t m_end = 0;
    bool m_inputEnded = false;
    bool m_started = false;
    bool m_atEnd = false;
    bool m_cut = false;
    std::uint64_t m_lineNumber = 0;
    std::uint64_t m_consumed = 0;
    char m_line[kLineRoom];
};

// What reading a word list into a dictionary came to: the lines that were words, the lines
// skipped by their fault with the first few of each, and what became of the words.
struct WordListReport {
    static constexpr std::size_t kExamples = 5;  // lines named for each fault
    struct Example {
        std::uint64_t line;
        std::string text;  // its start, control characters as \xNN, "…" when there is more
    };

    // A line skipped for `fault`; its text is kept while the fault has fewer than kExamples.
    void skip(WordFault fault, std::uint64_t line, std::string_view text, bool cut);
    std::uint64_t skippedLines() const;

    bool readToEnd = false;       // every line was read, not only those before a cancel
    std::uint64_t wordLines = 0;  // lines that were words
    std::uint64_t leftOut = 0;    // lines the list's filter left out (the starter's)
    std::array<std::uint64_t, kWordFaults> skipped{};
    std::array<std::vector<Example>, kWordFaults> examples;
    // Set once the dictionary is written: its words, and the word lines that did not become
    // one: repeats of a word, and words the selected dictionaries hold ("Add Unique Words").
    std::uint64_t stored = 0;
    std::uint64_t repeated = 0;
    std::uint64_t held = 0;
    bool written = false;
};

// The report as lines of text: "N words stored, M lines skipped" (only the lines skipped when
// no dictionary was written), a line for each fault with its count and examples, then the
// lines left out, repeated and held, each when there are any. `number` writes a count.
std::vector<std::string> describeReport(const WordListReport& report,
                                        std::string (*number)(std::uint64_t));

}  // namespace zantric
