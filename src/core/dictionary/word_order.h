// The dictionary word order: letter count first, then the first letter ignoring case with the
// capitalised word first, then the rest ignoring a hyphen (the plain word before its hyphenated
// twin). The writer, the sort, the merge and word insertion all use it. Any thread.
#pragma once

namespace zantric {

// Negative, zero or positive like strcmp. Both strings end with a NUL.
int compareIgnoringHyphen(const char* a, const char* b);
int compareWords(const char* a, const char* b);

// Letters in a word: its length less one if it holds a hyphen.
int letterCount(const char* word);

}  // namespace zantric
