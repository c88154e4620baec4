// The compiled dictionary file: a 520-entry index of 32-bit offsets, a 16-byte header and the
// word data, all little-endian (docs/dictionary-format.md). Constants and the header live here;
// DictionaryWriter writes the files and DictionaryReader reads them.
#pragma once

#include <cstddef>
#include <cstdint>

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

// Little-endian field access.
inline std::uint32_t readU32(const unsigned char* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}
inline std::uint16_t readU16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
inline void writeU32(unsigned char* p, std::uint32_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
    p[2] = static_cast<unsigned char>(v >> 16);
    p[3] = static_cast<unsigned char>(v >> 24);
}
inline void writeU16(unsigned char* p, std::uint16_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}

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
