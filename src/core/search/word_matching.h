// Word matching: what one word of the FIND pattern means, and the tests a dictionary word must
// pass after the dictionary's enumeration (pattern, FROM letters) has delivered it: "Use All FROM
// Letters", INCLUDE and EXCLUDE. Free functions over caller-owned text; no allocation, so they
// may run once per word read. Stateless; callable from any thread.
#pragma once

#include <string_view>

namespace zantric {

// ---- Word patterns: the space-separated words of a normalised FIND ----

// Takes the next word pattern off the front of `rest`: the characters up to the next space or
// the end; `rest` then starts after the spaces that follow it (runs of spaces count as one).
std::string_view takeWordPattern(std::string_view& rest);
// The number of word patterns in a FIND (empty words between doubled spaces do not count).
int wordPatternCount(std::string_view find);
// The fixed count F of a word pattern: its characters that are not '*'.
int fixedCount(std::string_view wordPattern);
bool hasStar(std::string_view wordPattern);
// True when the text holds nothing but '*', '!' and spaces: the trailing words whose order
// "Suppress Permutations" constrains.
bool onlyStarWords(std::string_view rest);

// Whether a word (letters, maybe capitalised, maybe one hyphen) fits a word pattern: '?' is one
// letter, '*' any run of letters including none, any other character itself; case is ignored
// and the hyphen takes no part. Anchored at both ends.
bool matchesPattern(std::string_view word, std::string_view wordPattern);

// The letters of a word: its characters without the hyphen.
int letterCount(std::string_view word);

// Before a dictionary is opened for the last word of a request (a single-word search, or the
// last word of a phrase): the minimum length to enumerate with, or kNothingCanMatch when no word
// can pass. `available` is the letters' total once the word's own fixed letters are back in the
// pool (100 = unlimited); `hasFromLetters` whether FROM holds any letter or '?' at all.
inline constexpr int kNothingCanMatch = -1;
int lastWordMinLength(std::string_view wordPattern, int available, bool hasFromLetters,
                      bool useAllFromLetters);

// ---- The search's own tests of a delivered word, in the order they are applied ----

// "Use All FROM Letters": the word must have exactly as many letters as are available (always
// passes when the option is off or no letters are available).
bool usesAllLetters(std::string_view word, bool useAllFromLetters, int available);
// The word tests for a non-empty INCLUDE and EXCLUDE, below.
bool holdsInclude(std::string_view word, std::string_view include);
bool avoidsExclude(std::string_view word, std::string_view exclude);
// Each INCLUDE character (lower case) must take its own occurrence in the lower-cased word, so
// repeated INCLUDE letters demand repeated letters. The hyphen counts here. An empty INCLUDE
// passes every word without a call: a search asks at every match.
inline bool passesInclude(std::string_view word, std::string_view include) {
    return include.empty() || holdsInclude(word, include);
}
// No EXCLUDE character may occur in the lower-cased word. The hyphen counts here.
inline bool passesExclude(std::string_view word, std::string_view exclude) {
    return exclude.empty() || avoidsExclude(word, exclude);
}

// The three tests together, as a single-word search applies them to each delivered word.
class WordFilter {
public:
    WordFilter(std::string_view include, std::string_view exclude, bool useAllFromLetters,
               int available)
        : m_include(include),
          m_exclude(exclude),
          m_useAllFromLetters(useAllFromLetters),
          m_available(available) {}

    bool accepts(std::string_view word) const {
        return usesAllLetters(word, m_useAllFromLetters, m_available) &&
               passesInclude(word, m_include) && passesExclude(word, m_exclude);
    }

private:
    std::string_view m_include;  // not owned: the request's text
    std::string_view m_exclude;
    bool m_useAllFromLetters;
    int m_available;
};

}  // namespace zantric
