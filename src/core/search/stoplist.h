// Stoplist: words that a phrase search never uses and a single-word search never lists. They
// come from a plain text file (stoplist.txt in the program's folder), one word a line, read with
// the word rules of the make command, so "CRT" strikes the dictionary word Crt; a line that is
// not a word is skipped. Built on the user-interface thread before a search and only read by the
// search and analysis workers afterwards.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zantric {

// The stoplist of the program's folder (the current folder while the program runs).
inline constexpr const char* kStoplistFileName = "stoplist.txt";

class Stoplist {
public:
    Stoplist() = default;
    explicit Stoplist(std::vector<std::string> words);

    // The words of a stoplist file; a missing file gives an empty list, and so does one that
    // cannot be read (reported as "Unable to Open File: " + name).
    static Stoplist read(const std::string& path);

    // Whether the word, exactly as a dictionary delivers it (capital and hyphen included), is
    // struck. No allocation: the search asks for every word it would list.
    bool contains(std::string_view word) const;
    bool empty() const { return m_words.empty(); }
    std::size_t size() const { return m_words.size(); }
    // Differs between two lists of different words; 0 for the empty list.
    std::uint64_t fingerprint() const { return m_fingerprint; }

private:
    std::vector<std::string> m_words;  // sorted, each once
    std::uint64_t m_fingerprint = 0;
};

// The words of a stoplist file in the file's order, each once, as the word rules make them.
// `readable` (when given) is false when the file exists but cannot be read.
std::vector<std::string> readStoplistWords(const std::string& path, bool* readable = nullptr);

// Replaces the file with the words, one a line; the file is the old one or the new one at every
// instant. False when it cannot be written.
bool writeStoplistWords(const std::string& path, const std::vector<std::string>& words);

// A word as the stoplist keeps it (the word rules of the make command), or "" when the text is
// not a word.
std::string stoplistWord(std::string_view text);

}  // namespace zantric
