// DecodedImage: the records of a dictionary held in memory, decoded once when the image is
// loaded, so that the readers of a phrase search walk arrays instead of decoding the same bytes
// again at every level. Each record also carries its letters as a bit set and as packed counts,
// so that the letter test is a few word operations. Built only for an image that reads the same
// whichever way a reader walks it (every file our writer makes, see build()); any other image is
// read byte by byte. Immutable once built; the dictionary module owns the one beside its image.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/dictionary/dictionary_format.h"

namespace zantric {

class LetterPool;

// One record as a reader decodes it.
struct DecodedRecord {
    char text[kMaxWordLetters + 2];  // the letters a-z, a space, then zeros
    std::uint8_t length;             // letters: the length group the record is in
    std::uint8_t gap;                // group-end bytes read just before the record
    bool capital;
    std::int16_t hyphen;  // the stored hyphen position, -1 = none
};

// Letter counts, one byte per letter a-z in four 64-bit words (letter i in word i / 8, byte
// i % 8). A count of a word is at most kMaxWordLetters; a count of available letters at most 127.
using PackedCounts = std::array<std::uint64_t, 4>;

// Where positioning at (length, letter) leaves a reader: the next record it reads and how many
// group-end bytes it passes on the way (the end of the data when record == count()).
struct DecodedTarget {
    std::uint32_t record = 0;
    std::uint8_t pending = 0;
};

// The letters a reader tests words against, prepared once per filter.
struct PackedLetters {
    PackedCounts available{};   // each count with bit 7 set, so that subtracting cannot borrow
    std::uint32_t present = 0;  // letters with at least one copy
    int blanks = 0;             // 0 = none; kUnlimitedBlanks = any number
    static constexpr int kUnlimitedBlanks = -1;

    void set(const LetterPool& letters);
};

class DecodedImage {
public:
    // Decodes the word data of an image of `size` bytes (the index, the header, the records).
    // Returns false, leaving the object empty, unless every record decodes to exactly the
    // letters a-z of its group's length, no byte 255 occurs in the data, the data ends with the
    // image, and each index entry for the lengths a word can have points at a record that shares no
    // prefix with the word before it, at the group-end bytes just before such a record, or at the
    // end: then a reader decodes every record the same, wherever it started.
    bool build(const unsigned char* image, std::size_t size);
    void clear();
    bool valid() const { return m_built; }

    std::uint32_t count() const { return static_cast<std::uint32_t>(m_records.size()); }
    const DecodedRecord& record(std::uint32_t k) const { return m_records[k]; }
    // Group-end bytes before record k; for k == count(), those after the last record.
    std::uint8_t gapBefore(std::uint32_t k) const {
        return k < count() ? m_records[k].gap : m_endGap;
    }
    // The first record after k that differs in length or first letter.
    std::uint32_t runEnd(std::uint32_t k) const { return m_runEnd[k]; }
    DecodedTarget target(int length, char letter) const;

    // Whether record k can be spelled from the letters (the tryWord test, without its counts).
    bool fits(std::uint32_t k, const PackedLetters& letters) const;
    // The first record in [from, end) that fits, or end.
    std::uint32_t findFit(std::uint32_t from, std::uint32_t end,
                          const PackedLetters& letters) const;

private:
    bool fail();
    // The steps of build(): the records in file order (false: damaged), where each index entry
    // leaves a reader (false: mid-record or mid-word), each record's letters, each run's end.
    bool decodeRecords(const unsigned char* image, std::size_t size,
                       std::vector<std::uint32_t>& offsets, std::vector<std::uint8_t>& prefixes);
    bool placeTargets(const unsigned char* image, std::size_t size,
                      const std::vector<std::uint32_t>& offsets,
                      const std::vector<std::uint8_t>& prefixes);
    void countLetters();
    void markRuns();
    std::uint32_t deficit(std::uint32_t k, const PackedLetters& letters) const;

    bool m_built = false;
    std::vector<DecodedRecord> m_records;
    std::vector<std::uint32_t> m_present;  // per record: its letters as bits
    std::vector<PackedCounts> m_counts;    // per record: its letter counts
    std::vector<std::uint32_t> m_runEnd;
    std::uint8_t m_endGap = 0;
    std::array<DecodedTarget, kMaxWordLetters * 26> m_targets{};
};

}  // namespace zantric
