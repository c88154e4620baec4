#include "core/dictionary/decoded_image.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "core/dictionary/dictionary_format.h"
#include "core/dictionary/letter_pool.h"
#include "core/dictionary/record_decoder.h"

namespace zantric {

namespace {

constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
constexpr std::uint64_t kLowBits = 0x0101010101010101ULL;
constexpr std::uint64_t kGatherBytes = 0x0102040810204080ULL;  // byte j's low bit to bit j

void addLetter(PackedCounts& counts, int i) {
    counts[static_cast<std::size_t>(i / 8)] += std::uint64_t{1} << (8 * (i % 8));
}

}  // namespace

void PackedLetters::set(const LetterPool& letters) {
    // Eight counts a word, in the byte order of the word counts (letter i in byte i % 8).
    std::uint8_t bytes[32] = {};
    std::memcpy(bytes, letters.availableCounts(), 26);
    present = 0;
    for (std::size_t w = 0; w < 4; ++w) {
        std::uint64_t x = 0;
        if constexpr (std::endian::native == std::endian::little) {
            std::memcpy(&x, bytes + 8 * w, 8);
        } else {
            for (int b = 7; b >= 0; --b) x = x << 8 | bytes[8 * w + std::size_t(b)];
        }
        x &= ~(((x & kHighBits) >> 7) * 0xFF);  // a count below 0 is no copy at all
        available[w] = x | kHighBits;
        const std::uint64_t nonZero = ((x + ~kHighBits) & kHighBits) >> 7;
        present |= static_cast<std::uint32_t>((nonZero * kGatherBytes) >> 56) << (8 * w);
    }
    // As tryWord sees blanks: 0 stops a word, the unlimited mark never runs out, and a count
    // below 0 (never made by LetterPool) would never reach 0.
    const int b = letters.available(LetterPool::kBlank);
    blanks = b == LetterPool::kUnlimited || b < 0 ? kUnlimitedBlanks : b;
}

void DecodedImage::clear() {
    m_built = false;
    m_records.clear();
    m_present.clear();
    m_counts.clear();
    m_runEnd.clear();
    m_endGap = 0;
    m_targets.fill(DecodedTarget{});
}

bool DecodedImage::build(const unsigned char* image, std::size_t size) {
    clear();
    if (size < kDataOffset || size > UINT32_MAX) return false;
    if (std::find(image + kDataOffset, image + size, kImageEnd) != image + size) return false;
    std::vector<std::uint32_t> offsets;  // where each record's head byte is
    std::vector<std::uint8_t> prefixes;  // the shared prefix each record's head asks for
    if (!decodeRecords(image, size, offsets, prefixes)) return fail();
    if (!placeTargets(image, size, offsets, prefixes)) return fail();
    countLetters();
    markRuns();
    m_built = true;
    return true;
}

bool DecodedImage::decodeRecords(const unsigned char* image, std::size_t size,
                                 std::vector<std::uint32_t>& offsets,
                                 std::vector<std::uint8_t>& prefixes) {
    // The records in file order, decoded as a reader reading from the start decodes them.
    char word[kMaxWordLetters + 2] = {};
    int wordLetters = 0;
    int length = 1;
    std::size_t pos = kDataOffset;
    auto nextByte = [&]() -> int { return pos < size ? image[pos++] : -1; };
    int gap = 0;
    int hyphen = -1;
    for (;;) {
        const std::size_t start = pos;  // the group ends since the last record, then the head
        const int head = decodeRecord(
            nextByte, [&gap] { ++gap; }, word, wordLetters, length, hyphen);
        if (head == kRecordEnd) break;
        if (head == kRecordDamaged || wordLetters != length) return false;
        for (int i = 0; i < length; ++i) {
            if (word[i] < 'a' || word[i] > 'z') return false;
        }
        offsets.push_back(static_cast<std::uint32_t>(start + static_cast<std::size_t>(gap)));
        prefixes.push_back(static_cast<std::uint8_t>(head >> 2));
        DecodedRecord record{};
        record.length = static_cast<std::uint8_t>(length);
        record.gap = static_cast<std::uint8_t>(gap);
        record.capital = (head & 2) != 0;
        record.hyphen = static_cast<std::int16_t>(hyphen);
        std::copy(word, word + length, record.text);
        record.text[length] = ' ';
        m_records.push_back(record);
        gap = 0;
    }
    m_endGap = static_cast<std::uint8_t>(gap);
    return true;
}

bool DecodedImage::placeTargets(const unsigned char* image, std::size_t size,
                                const std::vector<std::uint32_t>& offsets,
                                const std::vector<std::uint8_t>& prefixes) {
    // Where each index entry leaves a reader. A reader that starts mid-way has another word in
    // its buffer, so the record it lands on must share nothing with the word before it.
    const std::uint32_t records = count();
    for (int l = 1; l <= kMaxWordLetters; ++l) {
        for (char x = 'a'; x <= 'z'; ++x) {
            std::size_t at = readU32(image + 4 * static_cast<std::size_t>(indexEntry(l, x)));
            if (at > size) at = size;
            const auto k = static_cast<std::uint32_t>(
                std::lower_bound(offsets.begin(), offsets.end(), at) - offsets.begin());
            DecodedTarget target;
            target.record = k;
            if (k < records) {
                const std::size_t pending = offsets[k] - at;
                if (pending > m_records[k].gap || prefixes[k] != 0 ||
                    l + static_cast<int>(pending) != m_records[k].length) {
                    return false;
                }
                target.pending = static_cast<std::uint8_t>(pending);
            } else if (size - at > m_endGap) {
                return false;  // inside the last record
            } else {
                target.pending = static_cast<std::uint8_t>(size - at);
            }
            m_targets[static_cast<std::size_t>(indexEntry(l, x))] = target;
        }
    }
    return true;
}

void DecodedImage::countLetters() {
    const std::uint32_t records = count();
    m_present.resize(records);
    m_counts.resize(records);
    for (std::uint32_t k = 0; k < records; ++k) {
        const DecodedRecord& r = m_records[k];
        PackedCounts counts{};
        std::uint32_t present = 0;
        for (int i = 0; i < r.length; ++i) {
            const int letter = r.text[i] - 'a';
            addLetter(counts, letter);
            present |= std::uint32_t{1} << letter;
        }
        m_counts[k] = counts;
        m_present[k] = present;
    }
}

void DecodedImage::markRuns() {
    const std::uint32_t records = count();
    m_runEnd.resize(records);
    for (std::uint32_t k = records; k-- > 0;) {
        const bool sameRun = k + 1 < records && m_records[k + 1].length == m_records[k].length &&
                             m_records[k + 1].text[0] == m_records[k].text[0];
        m_runEnd[k] = sameRun ? m_runEnd[k + 1] : k + 1;
    }
}

bool DecodedImage::fail() {
    clear();
    return false;
}

DecodedTarget DecodedImage::target(int length, char letter) const {
    if (length < 1 || length > kMaxWordLetters || letter < 'a' || letter > 'z') {
        return DecodedTarget{count(), 0};
    }
    return m_targets[static_cast<std::size_t>(indexEntry(length, letter))];
}

std::uint32_t DecodedImage::deficit(std::uint32_t k, const PackedLetters& letters) const {
    // Per byte: 0x80 + available - needed; below 0x80 exactly where letters are missing.
    std::uint64_t sum = 0;
    for (std::size_t w = 0; w < 4; ++w) {
        const std::uint64_t t = letters.available[w] - m_counts[k][w];
        const std::uint64_t missing = ((~t & kHighBits) >> 7) * 0xFF;
        sum += ((kHighBits - (t & ~kHighBits)) & missing);
    }
    return static_cast<std::uint32_t>((sum * kLowBits) >> 56);
}

bool DecodedImage::fits(std::uint32_t k, const PackedLetters& letters) const {
    if (letters.blanks == PackedLetters::kUnlimitedBlanks) return true;
    if (letters.blanks == 0) {
        if (m_present[k] & ~letters.present) return false;
        const PackedCounts& need = m_counts[k];
        const std::uint64_t t = (letters.available[0] - need[0]) &
                                (letters.available[1] - need[1]) &
                                (letters.available[2] - need[2]) & (letters.available[3] - need[3]);
        return (t & kHighBits) == kHighBits;
    }
    return deficit(k, letters) <= static_cast<std::uint32_t>(letters.blanks);
}

std::uint32_t DecodedImage::findFit(std::uint32_t from, std::uint32_t end,
                                    const PackedLetters& letters) const {
    if (letters.blanks == 0) {
        // Most words miss a letter altogether; the bit test alone rejects them.
        const std::uint32_t absent = ~letters.present;
        for (std::uint32_t k = from; k < end; ++k) {
            if ((m_present[k] & absent) == 0 && fits(k, letters)) return k;
        }
        return end;
    }
    for (std::uint32_t k = from; k < end; ++k) {
        if (fits(k, letters)) return k;
    }
    return end;
}

}  // namespace zantric
