// Reading a word list (one word a line): the reader that cuts it into lines of at most 23
// characters, and the rule that judges each line. Used by Make Dictionary From File and by the
// stoplist. Each reader belongs to the one thread that reads with it (the worker of a make);
// validateWordLine is pure and may be called from any thread.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "core/dictionary/dictionary_format.h"

namespace zantric {

inline constexpr int kWordListLineLimit = 23;  // longer lines are read in pieces of this size
inline constexpr int kWordRoom = kMaxWordLetters + 2;  // a valid word: letters, hyphen, NUL

enum class LineKind { kEmpty, kInvalid, kWord };

// Decides, before the word rules, whether a line of a word list is read at all (the starter
// dictionary leaves some words out). Called on the stage's worker for every line.
using LineFilter = bool (*)(std::string_view line);

// Judges one line (without its line break): leading spaces are skipped; the word ends at the
// next space, after which only spaces may follow; it has only letters A-Z a-z and at most one
// hyphen, neither first nor last; at most 20 letters. A valid word is written to `word` (room for
// kWordRoom) with its first letter as it stands and every other letter in lower case.
// A line with no characters at all is kEmpty; a line of spaces is kInvalid.
LineKind validateWordLine(std::string_view line, char* word);

// Reads a word list in lines of at most 23 characters through one buffer; a longer line comes
// in pieces of 23, each a line of its own. A carriage return before a line feed is dropped.
class WordListReader {
public:
    explicit WordListReader(std::FILE* file) : m_file(file) {}

    // The next line, valid until the next call. At the end of the input it gives the
    // characters before the end (possibly none) and sets atEnd(). Throws ZantricException
    // "Unable to read File: " + name on a read error.
    std::string_view next(const std::string& name);
    bool atEnd() const { return m_atEnd; }
    // Bytes of the input consumed so far.
    std::uint64_t consumed() const { return m_consumed; }

private:
    // The byte `ahead` places on, or -1 past the end of the input.
    int peek(std::size_t ahead, const std::string& name);

    static constexpr std::size_t kBufferBytes = 1 << 16;

    std::FILE* m_file;
    std::unique_ptr<unsigned char[]> m_buffer{new unsigned char[kBufferBytes]};
    std::size_t m_position = 0;
    std::size_t m_end = 0;
    bool m_inputEnded = false;
    bool m_atEnd = false;
    std::uint64_t m_consumed = 0;
    char m_line[kWordListLineLimit];
};

}  // namespace zantric
