// Word matching: what one word of the FIND pattern means, and the tests a dictionary word must
// pass after the dictionary's enumeration (pattern, FROM letters) has delivered it: INCLUDE and
// EXCLUDE. Free functions over caller-owned text; no allocation, so they may run once per word
// read. Stateless; callable from any thread.
#pragma once

#include <string_view>

namespace zantric {

// ---- Word patterns: the space-separated words of a normalised FIND ----

// Takes the next word pattern off the front of `rest`: the characters up to the next space or
// the end; `rest` then starts after the spaces that follow it (runs of spaces count as one).
std::string_view takeWordPattern(std::string_view& rest);
// The fixed count F of a word pattern: its characters that are not '*'.
int fixedCount(std::string_view wordPattern);
bool hasStar(std::string_view wordPattern);
// True when the text holds nothing but '*', '!' and spaces: the trailing words whose order
// "Suppress Permutations" constrains.
bool onlyStarWords(std::string_view rest);

// The letters of a word: its characters without the hyphen.
int letterCount(std::string_view word);

// ---- The search's own tests of a delivered word, in the order they are applied ----

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

}  // namespace zantric
