// The dictionary word order: letter count first, then the first letter ignoring case with the
// capitalised word first, then the rest ignoring a hyphen (the plain word before its hyphenated
// twin). The writer, the sort, the merge and word insertion all use it. Any thread.
#pragma once

#include <cstddef>

#include "core/dictionary/dictionary_format.h"

namespace zantric {

// Negative, zero or positive like strcmp. Both strings end with a NUL.
int compareIgnoringHyphen(const char* a, const char* b);
int compareWords(const char* a, const char* b);

// Letters in a word: its length less one if it holds a hyphen.
int letterCount(const char* word);

// Passes each word of a stream in the word order once. A writer drops a word equal to the one
// just before it; this also drops a word met earlier among the words that compare equal to it
// (the same letters with the hyphen in other places), which need not be next to each other.
class OnceEach {
public:
    // False when `word` was met before among the equal words just before it.
    bool firstTime(const char* word);

private:
    static constexpr int kKept = kMaxWordLetters;  // equal valid words: at most 19, for 20 letters
    static constexpr std::size_t kRoom = kMaxWordLetters + 4;
    char m_seen[kKept][kRoom] = {};
    int m_size = 0;
};

}  // namespace zantric
