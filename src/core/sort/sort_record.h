// The sort record: one word in 23 fixed bytes, the unit of FileSort and StringHandler
// (docs/sort-record.md). Byte 0 holds the pad count (bits 0-6) and a hyphen flag (bit 7), bytes
// 1-21 the word right-aligned behind spaces, byte 22 a zero. Pure functions; any thread.
// Functions that read a record accept any 23 bytes: a damaged record gives a wrong word only.
#pragma once

#include <string_view>

#include "core/dictionary/dictionary_format.h"

namespace zantric {

// A word of at most kMaxWordLetters letters and a hyphen, behind the length byte, then a zero.
inline constexpr int kSortWordPlaces = kMaxWordLetters + 1;    // 21
inline constexpr int kSortRecordLength = kSortWordPlaces + 2;  // 23
inline constexpr unsigned char kRecordPadMask = 0x7F;  // bits 0-6: pad spaces, 21 - characters
inline constexpr unsigned char kRecordHyphenBit = 0x80;

// Writes `word` (1 to 21 characters, no NUL) into `record` (23 bytes). Returns false, writing
// nothing, for a word that does not fit. The characters are not checked: the caller validates.
bool makeSortRecord(std::string_view word, unsigned char* record);

// Copies the record's word into `out` (room for 22 characters) with a terminating NUL and
// returns its length. The word runs from byte 1 + pad count up to the zero byte or byte 22.
int sortRecordWord(const unsigned char* record, char* out);

// Letters of the record's word as its length byte gives them: 21 - pad - (1 if hyphenated).
int sortRecordLetters(const unsigned char* record);

// The dictionary word order (compareWords) of two records, the letter count taken from the
// length bytes. Negative, zero or positive; zero does not mean the bytes are identical.
int compareSortRecords(const unsigned char* a, const unsigned char* b);

}  // namespace zantric
