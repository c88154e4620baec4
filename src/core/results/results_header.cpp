#include "core/results/results_header.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "core/shell/common_level.h"
#include "core/shell/little_endian.h"

namespace zantric {
namespace {

void putText(unsigned char* field, std::size_t size, const std::string& text) {
    std::memset(field, 0, size);
    std::copy_n(text.data(), std::min(text.size(), size - 1), field);  // NUL-padded by the memset
}

std::string getText(const unsigned char* field, std::size_t size) {
    const unsigned char* end = std::find(field, field + size, 0);
    return std::string(field, end);
}

// The filters byte: the minimum word length in bits 0-3 with its 16 in bit 6, each word once in
// bit 4, the stoplist in bit 5. A length of 2 to 15 has bit 6 clear, as it always had.
constexpr int kLengthLow = 15;
constexpr int kLengthSixteen = 64;
constexpr int kLongestWord = 20;  // no minimum beyond the longest word of a dictionary

unsigned char filtersByte(const RecordedFilters& filters) {
    int length = std::clamp(filters.minWordLength, 0, kLongestWord);
    if (length < 2) length = 0;
    return static_cast<unsigned char>((length & kLengthLow) | (length & 16 ? kLengthSixteen : 0) |
                                      (filters.eachWordOnce ? 16 : 0) |
                                      (filters.stoplist ? 32 : 0));
}

RecordedFilters filtersFromByte(unsigned char byte) {
    RecordedFilters filters;
    const int length = (byte & kLengthLow) | (byte & kLengthSixteen ? 16 : 0);
    filters.minWordLength = length >= 2 ? std::min(length, kLongestWord) : 0;
    filters.eachWordOnce = (byte & 16) != 0;
    filters.stoplist = (byte & 32) != 0;
    return filters;
}

// The ranking byte: the commonness level (1 to 10) in bits 0-3, ranked matches in bit 4.
constexpr int kLevelBits = 15;
constexpr int kRankedBit = 16;

unsigned char rankingByte(const RecordedFilters& filters) {
    const int level = std::clamp(filters.common, 0, kMostCommonLevel);
    return static_cast<unsigned char>(level | (filters.ranked ? kRankedBit : 0));
}

void rankingFromByte(unsigned char byte, RecordedFilters& filters) {
    const int level = byte & kLevelBits;
    filters.common = level <= kMostCommonLevel ? level : 0;
    filters.ranked = (byte & kRankedBit) != 0;
}

}  // namespace

ResultsHeader ResultsHeader::fromSummary(const SearchSummary& summary, std::int32_t longest) {
    ResultsHeader header;
    header.found =
        static_cast<std::int32_t>(std::clamp<std::int64_t>(summary.found, 0, kMaxHeaderCount));
    header.checked =
        static_cast<std::int32_t>(std::clamp<std::int64_t>(summary.checked, 0, kMaxHeaderCount));
    header.longest = static_cast<std::int16_t>(
        std::clamp<std::int32_t>(longest, 0, std::numeric_limits<std::int16_t>::max()));
    header.fields = summary.fields;
    return header;
}

SearchSummary ResultsHeader::summary() const { return {fields, found, checked}; }

void ResultsHeader::toBytes(std::span<unsigned char, kResultsHeaderSize> out) const {
    unsigned char* p = out.data();
    writeU32(p + kMarkerOffset, marker);
    writeU32(p + kFoundOffset, static_cast<std::uint32_t>(found));
    writeU32(p + kCheckedOffset, static_cast<std::uint32_t>(checked));
    writeU16(p + kLongestOffset, static_cast<std::uint16_t>(longest));
    putText(p + kFindOffset, kFindSize, fields.find);
    putText(p + kFromOffset, kFromSize, fields.from);
    if (const unsigned char ranking = rankingByte(filters); ranking != 0) {
        putText(p + kIncludeOffset, kIncludeSize - 1, fields.include);
        p[kRankingOffset] = ranking;
    } else {
        putText(p + kIncludeOffset, kIncludeSize, fields.include);
    }
    if (const unsigned char byte = filtersByte(filters); byte != 0) {
        putText(p + kExcludeOffset, kExcludeSize - 1, fields.exclude);
        p[kFiltersOffset] = byte;
    } else {
        putText(p + kExcludeOffset, kExcludeSize, fields.exclude);
    }
    p[kUseAllOffset] = fields.useAllFromLetters ? 1 : 0;
    p[kSuppressOffset] = fields.suppressPermutations ? 1 : 0;
}

ResultsHeader ResultsHeader::fromBytes(std::span<const unsigned char, kResultsHeaderSize> in) {
    const unsigned char* p = in.data();
    ResultsHeader header;
    header.marker = readU32(p + kMarkerOffset);
    header.found = static_cast<std::int32_t>(readU32(p + kFoundOffset));
    header.checked = static_cast<std::int32_t>(readU32(p + kCheckedOffset));
    header.longest = static_cast<std::int16_t>(readU16(p + kLongestOffset));
    SearchFields& fields = header.fields;
    fields.find = getText(p + kFindOffset, kFindSize);
    fields.from = getText(p + kFromOffset, kFromSize);
    fields.include = getText(p + kIncludeOffset, kIncludeSize);
    fields.exclude = getText(p + kExcludeOffset, kExcludeSize);
    // The filters byte lies behind EXCLUDE's NUL only when EXCLUDE leaves it free.
    if (fields.exclude.size() < kExcludeSize - 1) {
        header.filters = filtersFromByte(p[kFiltersOffset]);
    }
    if (fields.include.size() < kIncludeSize - 1)
        rankingFromByte(p[kRankingOffset], header.filters);
    fields.useAllFromLetters = p[kUseAllOffset] != 0;
    fields.suppressPermutations = p[kSuppressOffset] != 0;
    return header;
}

}  // namespace zantric
