#include "core/results/results_header.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace zantric {
namespace {

using Bytes = std::array<unsigned char, kResultsHeaderSize>;

// Texts longer than a field are cut so the NUL still fits and the next field is untouched; a field
// without its NUL (a damaged file) is read to the end of the field and no further.
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
    // A longest length beyond 16 bits is kept at the largest the field holds.
    EXPECT_EQ(ResultsHeader::fromSummary({}, 70000).longest, 32767);
}

// The phrase filters live in the last byte of EXCLUDE, behind its NUL (a header without filters
// is byte for byte what it always was: see results_store_test.cpp), so that a reader of EXCLUDE
// alone never sees them.
TEST(ResultsHeaderTest, FiltersByteBehindExclude) {
    const struct {
        RecordedFilters filters;
        std::string exclude;
        unsigned char byte;          // at offset 341
        std::string excludeWritten;  // as a reader of the field finds it
    } cases[] = {
        {{9, true, true}, "ab", 9 | 16 | 32, "ab"},
        {{0, false, true}, std::string(21, 'x'), 32, std::string(20, 'x')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.exclude.size());
        SearchSummary summary;
        summary.fields.exclude = c.exclude;
        ResultsHeader header = ResultsHeader::fromSummary(summary, 1);
        header.filters = c.filters;
        Bytes bytes;
        header.toBytes(bytes);
        EXPECT_EQ(bytes[kFiltersOffset], c.byte);
        const ResultsHeader read = ResultsHeader::fromBytes(bytes);
        EXPECT_EQ(read.fields.exclude, c.excludeWritten);
        EXPECT_EQ(read.filters, c.filters);
    }
    // An EXCLUDE that fills its whole field, without a NUL, leaves no room for filters.
    Bytes full{};
    ResultsHeader::fromSummary(SearchSummary{}, 1).toBytes(full);
    std::fill_n(full.begin() + kExcludeOffset, kExcludeSize, 'x');
    EXPECT_EQ(ResultsHeader::fromBytes(full).filters, RecordedFilters{});
}

}  // namespace
}  // namespace zantric
