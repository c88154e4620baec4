// The compiled dictionary file: a 520-entry index of 32-bit offsets, a 16-byte header and the
// word data, all little-endian (docs/dictionary-format.md). Constants and the header live here;
// DictionaryWriter writes the files and DictionaryReader reads them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/shell/little_endian.h"

namespace zantric {

inline constexpr int kIndexLengths = 20;                  // word lengths the index has room for
inline constexpr int kIndexEntries = 26 * kIndexLengths;  // 520
inline constexpr std::size_t kIndexBytes = 4 * kIndexEntries;  // 2080
inline constexpr std::size_t kHeaderOffset = kIndexBytes;      // 2080
inline constexpr std::size_t kHeaderBytes = 16;
inline constexpr std::size_t kDataOffset = kHeaderOffset + kHeaderBytes;  // 2096
inline constexpr std::uint16_t kDictionaryMark = 0x59B1;
inline constexpr unsigned char kGroupEnd = 254;  // ends a length group in the file
inline constexpr unsigned char kImageEnd = 255;  // ends the in-memory image
inline constexpr int kMaxWordLetters = 20;       // the longest word, hyphen not counted

// Index entry of the block of words of `length` letters starting with `letter` ('a'..'z').
constexpr int indexEntry(int length, char letter) { return 26 * (length - 1) + (letter - 'a'); }

// The 16 bytes at offset 2080: times are seconds since 1970-01-01 00:00 UTC.
struct DictionaryHeader {
    std::uint32_t created = 0;
    std::uint32_t modified = 0;  // 0 = never modified
    std::uint32_t wordCount = 0;
    std::uint16_t mark = kDictionaryMark;
    std::uint16_t selected = 0;  // 1 = used in searches

    void toBytes(unsigned char* out) const {
        writeU32(out, created);
        writeU32(out + 4, modified);
        writeU32(out + 8, wordCount);
        writeU16(out + 12, mark);
        writeU16(out + 14, selected);
    }
    static DictionaryHeader fromBytes(const unsigned char* in) {
        DictionaryHeader h;
        h.created = readU32(in);
        h.modified = readU32(in + 4);
        h.wordCount = readU32(in + 8);
        h.mark = readU16(in + 12);
        h.selected = readU16(in + 14);
        return h;
    }
    bool operator==(const DictionaryHeader&) const = default;
};

}  // namespace zantric
