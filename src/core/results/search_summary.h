// What a search was asked and what it counted: the text of the four search fields and the two
// options as the window holds them (SearchFields), and with them the counts that a results
// header and an export record (SearchSummary). Plain values: any thread may use its own copy.
#pragma once

#include <cstdint>
#include <string>

namespace zantric {

struct SearchFields {
    std::string find;
    std::string from;
    std::string include;
    std::string exclude;
    bool useAllFromLetters = true;
    bool suppressPermutations = false;
};

// The fields of a search, the number of matches stored and the dictionary words examined.
struct SearchSummary {
    SearchFields fields;
    std::int64_t found = 0;
    std::int64_t checked = 0;
};

}  // namespace zantric
