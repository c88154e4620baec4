#include "core/sort/sort_record.h"

#include <algorithm>
#include <cstring>

#include "core/dictionary/word_order.h"

namespace zantric {
namespace {

// A pad count beyond the word places would put the word outside the record.
int padCount(const unsigned char* record) {
    return std::min<int>(record[0] & kRecordPadMask, kSortWordPlaces);
}

}  // namespace

bool makeSortRecord(std::string_view word, unsigned char* record) {
    if (word.empty() || word.size() > static_cast<std::size_t>(kSortWordPlaces)) return false;
    const int pad = kSortWordPlaces - static_cast<int>(word.size());
    const bool hyphen = word.find('-') != std::string_view::npos;
    record[0] = static_cast<unsigned char>(pad | (hyphen ? kRecordHyphenBit : 0));
    std::memset(record + 1, ' ', static_cast<std::size_t>(pad));
    std::memcpy(record + 1 + pad, word.data(), word.size());
    record[kSortRecordLength - 1] = 0;
    return true;
}

int sortRecordWord(const unsigned char* record, char* out) {
    int length = 0;
    for (int i = 1 + padCount(record); i < kSortRecordLength - 1 && record[i] != 0; ++i) {
        out[length++] = static_cast<char>(record[i]);
    }
    out[length] = '\0';
    return length;
}

int sortRecordLetters(const unsigned char* record) {
    return kSortWordPlaces - padCount(record) - ((record[0] & kRecordHyphenBit) ? 1 : 0);
}

int compareSortRecords(const unsigned char* a, const unsigned char* b) {
    const int letters = sortRecordLetters(a) - sortRecordLetters(b);
    if (letters != 0) return letters;
    // Copies, so that a record without its zero byte cannot lead the comparison past its end.
    char wordA[kSortWordPlaces + 1];
    char wordB[kSortWordPlaces + 1];
    sortRecordWord(a, wordA);
    sortRecordWord(b, wordB);
    return compareWords(wordA, wordB);
}

}  // namespace zantric
