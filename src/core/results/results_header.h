// ResultsHeader: the 344-byte header at the start of a results data file, and the constants of
// the results pair (docs/results-format.md). A plain value: whoever makes one owns it; any
// thread may use its own copy.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "core/results/search_summary.h"

namespace zantric {

inline constexpr std::uint32_t kResultsMarker = 0x59B1;  // 22961
inline constexpr std::size_t kResultsHeaderSize = 344;   // where the first match line begins
inline constexpr std::size_t kIndexEntrySize = 4;        // one unsigned 32-bit offset

// Field offsets and sizes in the header; a text field holds its text and a NUL.
inline constexpr std::size_t kMarkerOffset = 0;
inline constexpr std::size_t kFoundOffset = 4;
inline constexpr std::size_t kCheckedOffset = 8;
inline constexpr std::size_t kLongestOffset = 12;
inline constexpr std::size_t kFindOffset = 14;
inline constexpr std::size_t kFindSize = 42;
inline constexpr std::size_t kFromOffset = 56;
inline constexpr std::size_t kFromSize = 242;
inline constexpr std::size_t kIncludeOffset = 298;
inline constexpr std::size_t kIncludeSize = 22;
inline constexpr std::size_t kExcludeOffset = 320;
inline constexpr std::size_t kExcludeSize = 22;
inline constexpr std::size_t kUseAllOffset = 342;
inline constexpr std::size_t kSuppressOffset = 343;
// The phrase filters of the search: the last byte of the EXCLUDE field, which a header with
// filters keeps behind EXCLUDE's NUL, where readers of the field stop. Zero: no filter.
inline constexpr std::size_t kFiltersOffset = kExcludeOffset + kExcludeSize - 1;
// The commonness level and the order of the matches: the last byte of the INCLUDE field, kept
// behind INCLUDE's NUL in the same way. Zero: no level, the order found.
inline constexpr std::size_t kRankingOffset = kIncludeOffset + kIncludeSize - 1;

// The phrase filters a search ran with, as its results record them.
struct RecordedFilters {
    int minWordLength = 0;  // 2 to 20, or 0 for none
    bool eachWordOnce = false;
    bool stoplist = false;
    int common = 0;       // only words of at least this commonness level, 1 to 10; 0 for none
    bool ranked = false;  // not a filter: the matches are listed best first
    bool any() const { return minWordLength != 0 || eachWordOnce || stoplist || common != 0; }
    bool operator==(const RecordedFilters&) const = default;
};

// The most a count field of the header holds; a larger count is kept as this.
inline constexpr std::int64_t kMaxHeaderCount = 2147483647;

struct ResultsHeader {
    std::uint32_t marker = kResultsMarker;
    std::int32_t found = 0;
    std::int32_t checked = 0;
    std::int16_t longest = 0;
    SearchFields fields;
    RecordedFilters filters;  // not part of the summary: the search run adds them

    // A fresh header holding the summary (each count kept within 0..kMaxHeaderCount) and the
    // longest match length (kept within 0..32767).
    static ResultsHeader fromSummary(const SearchSummary& summary, std::int32_t longest);
    SearchSummary summary() const;

    // Writes all 344 bytes. A text too long for its field is cut so that its NUL fits; the
    // bytes behind the NUL are zero. With filters, EXCLUDE is cut to leave their byte free; with
    // a commonness level or ranked matches, INCLUDE is cut in the same way.
    void toBytes(std::span<unsigned char, kResultsHeaderSize> out) const;
    // Reads any 344 bytes: a text runs to its first NUL or to the end of its field; the filters
    // byte counts only behind EXCLUDE's NUL, the ranking byte only behind INCLUDE's.
    static ResultsHeader fromBytes(std::span<const unsigned char, kResultsHeaderSize> in);
};

}  // namespace zantric
