#include "core/results/results_header.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace zantric {
namespace {

using Bytes = std::array<unsigned char, kResultsHeaderSize>;

// Texts longer than a field are cut so the NUL still fits and the next field is untouched; a field
// without its NUL (a damaged file) is read to the end of the field and no further, and then leaves
// no room for the phrase filters behind EXCLUDE.
TEST(ResultsHeaderTest, TextsStayInsideTheirFields) {
    const struct {
        std::string SearchFields::*text;
        std::size_t offset, size;
    } cases[] = {{&SearchFields::find, kFindOffset, kFindSize},
                 {&SearchFields::from, kFromOffset, kFromSize},
                 {&SearchFields::include, kIncludeOffset, kIncludeSize},
                 {&SearchFields::exclude, kExcludeOffset, kExcludeSize}};
    Bytes damaged;
    damaged.fill('y');
    for (const auto& c : cases) {
        SCOPED_TRACE(c.offset);
        SearchSummary summary;
        summary.fields.*c.text = std::string(300, 'x');
        Bytes bytes;
        ResultsHeader::fromSummary(summary, 1).toBytes(bytes);
        EXPECT_EQ(bytes[c.offset + c.size - 1], 0);
        EXPECT_EQ(bytes[c.offset + c.size - 2], 'x');
        EXPECT_EQ(ResultsHeader::fromBytes(bytes).fields.*c.text, std::string(c.size - 1, 'x'));
        EXPECT_EQ((ResultsHeader::fromBytes(damaged).fields.*c.text).size(), c.size);
    }
    EXPECT_EQ(ResultsHeader::fromBytes(damaged).filters, RecordedFilters{});
    // A longest length beyond 16 bits is kept at the largest the field holds.
    EXPECT_EQ(ResultsHeader::fromSummary({}, 70000).longest, 32767);
}

// The phrase filters live in the last byte of EXCLUDE, the commonness level and the ranked order
// in the last of INCLUDE, each behind its field's NUL (a header without them is byte for byte
// what it always was), so that a reader of the field alone never sees them.
TEST(ResultsHeaderTest, FilterBytesBehindTheirFields) {
    const auto exclude = &SearchFields::exclude;
    const auto include = &SearchFields::include;
    const struct {
        RecordedFilters filters;
        std::string SearchFields::*text;
        std::size_t at;                    // the byte's offset
        std::size_t letters, lettersRead;  // of the field, written and read back
        unsigned char byte;
    } cases[] = {{{9, true, true}, exclude, kFiltersOffset, 2, 2, 9 | 16 | 32},
                 {{0, false, true}, exclude, kFiltersOffset, 21, 20, 32},
                 {{20, false, false}, exclude, kFiltersOffset, 2, 2, 4 | 64},
                 {{0, false, false, 6}, exclude, kFiltersOffset, 21, 21, 0},
                 {{0, false, false, 10, true}, include, kRankingOffset, 21, 20, 10 | 16},
                 {{0, false, false, 0, true}, include, kRankingOffset, 3, 3, 16}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.at + c.letters);
        SearchSummary summary;
        summary.fields.*c.text = std::string(c.letters, 'x');
        ResultsHeader header = ResultsHeader::fromSummary(summary, 1);
        header.filters = c.filters;
        Bytes bytes;
        header.toBytes(bytes);
        EXPECT_EQ(bytes[c.at], c.byte);
        const ResultsHeader read = ResultsHeader::fromBytes(bytes);
        EXPECT_EQ(read.fields.*c.text, std::string(c.lettersRead, 'x'));
        EXPECT_EQ(read.filters, c.filters);
    }
}

}  // namespace
}  // namespace zantric
