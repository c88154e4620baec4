// Stoplist: words that a phrase search never uses and a single-word search never lists. They
// come from a plain text file (stoplist.txt in the program's folder), one word a line, read with
// the word rules of the make command; a line that is not a word is skipped. A word strikes the
// dictionary words that differ from it at most in case: "CRT" strikes crt and Crt. Built on the
// user-interface thread before a search and only read by the search and analysis workers
// afterwards.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace zantric {

class Prompter;

// The stoplist of the program's folder (the current folder while the program runs).
inline constexpr const char* kStoplistFileName = "stoplist.txt";

class Stoplist {
public:
    Stoplist() = default;
    explicit Stoplist(std::vector<std::string> words);

    // The words of a stoplist file; a missing file gives an empty list, and so does one that
    // cannot be read (reported as "Unable to Open File: " + name).
    static Stoplist read(Prompter& prompter, const std::filesystem::path& path);

    // Whether the word, as a dictionary delivers it (hyphen included), is struck; case does not
    // count. No allocation: the search asks for every word it would list.
    bool contains(std::string_view word) const;
    // A list that strikes every word but `kept` (in any case), and this list's words among them:
    // a commonness filter together with the stoplist.
    Stoplist keepingOnly(std::vector<std::string> kept) const;
    // Whether the list strikes nothing.
    bool empty() const { return m_words.empty() && !m_keepOnly; }
    std::size_t size() const { return m_words.size(); }
    // Differs between two lists of different words; 0 for the empty list.
    std::uint64_t fingerprint() const { return m_fingerprint; }

private:
    std::vector<std::string> m_words;  // in lower case, sorted, each once
    bool m_keepOnly = false;           // m_words are the only words not struck
    std::uint64_t m_fingerprint = 0;
};

// The words of a stoplist file in the file's order, as the word rules make them, each once
// (the first of those that differ only in case).
// `readable` (when given) is false when the file exists but cannot be read.
std::vector<std::string> readStoplistWords(const std::filesystem::path& path,
                                           bool* readable = nullptr);

// A change of the stoplist file: the words to add and to remove, and what became of each.
struct StoplistEdit {
    std::vector<std::string> add;     // words as stoplistWord makes them
    std::vector<std::string> remove;  // words as stoplistWord makes them
    // Filled in, each word once in the order given: added and removed ones, those already
    // there (to add) and those not there (to remove).
    std::vector<std::string> added, removed, present, absent;
};

enum class StoplistEditResult { kDone, kUnreadable, kUnwritable };

// Changes the stoplist file under its folder's lock, so that copies of the program changing it
// at once lose none of each other's words; a missing file is made. A word is there when a line
// holds it in any case; removing it takes out every such line, adding it puts a line at the end
// with the line end the file uses. Every other line (comments, blank lines, line ends, a
// byte-order mark) stays as written. kUnreadable when the file exists but cannot be read,
// kUnwritable when the change cannot be written; the file is then as it was.
StoplistEditResult editStoplistFile(const std::filesystem::path& path, StoplistEdit& edit);

// A word as the stoplist keeps it (the word rules of the make command), or "" when the text is
// not a word.
std::string stoplistWord(std::string_view text);

}  // namespace zantric
