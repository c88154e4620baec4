// The sort record: one word in 12 fixed bytes, the unit of FileSort and StringHandler
// (docs/sort-record.md). Byte 0 holds the pad count (bits 0-6) and a hyphen flag (bit 7), bytes
// 1-10 the word right-aligned behind spaces, byte 11 a zero. Pure functions; any thread.
// Functions that read a record accept any 12 bytes: a damaged record gives a wrong word only.
#pragma once

#include <string_view>

namespace zantric {

inline constexpr int kSortRecordLength = 12;
inline constexpr int kSortWordPlaces = 10;             // a word of at most 9 letters and a hyphen
inline constexpr unsigned char kRecordPadMask = 0x7F;  // bits 0-6: pad spaces, 10 - characters
inline constexpr unsigned char kRecordHyphenBit = 0x80;

// Writes `word` (1 to 10 characters, no NUL) into `record` (12 bytes). Returns false, writing
// nothing, for a word that does not fit. The characters are not checked: the caller validates.
bool makeSortRecord(std::string_view word, unsigned char* record);

// Copies the record's word into `out` (room for 11 characters) with a terminating NUL and
// returns its length. The word runs from byte 1 + pad count up to the zero byte or byte 11.
int sortRecordWord(const unsigned char* record, char* out);

// Letters of the record's word as its length byte gives them: 10 - pad - (1 if hyphenated).
int sortRecordLetters(const unsigned char* record);

// The dictionary word order (compareWords) of two records, the letter count taken from the
// length bytes. Negative, zero or positive; zero does not mean the bytes are identical.
int compareSortRecords(const unsigned char* a, const unsigned char* b);

}  // namespace zantric
