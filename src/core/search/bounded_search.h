// The bounded search: a phrase search of "!" (every FROM letter, in any number of words) that
// looks only for the best sets of words by a score each word adds to, as `search --best` wants
// them. Every word's part of the score is 0 or less, so a phrase scores no more than any phrase
// it starts: once the keeper holds as many sets as it keeps, a phrase that cannot reach the worst
// of them is not extended (branch and bound). Its bound is its score plus the most that words
// spelling exactly the letters left could add, worked out once for each set of letters left, and
// a word is followed only by words whose parts are no higher. The words are tried best first at
// every level, so that good sets are kept early and the bound soon cuts most of the walk. Each set
// of words is found once, in the order of its words' parts, and stored as a match as well as handed
// to the keeper. Words without a vowel-like letter are used as any other.
#pragma once

#include <atomic>
#include <cstdint>
#include <string_view>

namespace zantric {

class ReadLane;
class ResultsStore;
class SearchRequest;

// What keeps the best sets of words a bounded search finds. Called on the search's thread only.
class SetKeeper {
public:
    // A word's part of the score of a set of words: 0 or less. Asked once for each word the
    // search may use, before it starts.
    virtual std::int64_t wordPart(std::string_view word) = 0;
    // A set of words (separated by spaces) and its score, the sum of its words' parts. Returns the
    // score below which a set is no longer kept (the lowest std::int64_t while any set still is).
    virtual std::int64_t keep(std::string_view words, std::int64_t score) = 0;

protected:
    SetKeeper() = default;
    SetKeeper(const SetKeeper&) = default;
    SetKeeper& operator=(const SetKeeper&) = default;
    ~SetKeeper() = default;
};

// Whether a bounded search can run the prepared request: a phrase search of "!" alone, from
// FROM letters without a blank.
bool boundedSearchSuits(const SearchRequest& request);

// What a bounded search reports.
struct BoundedOutcome {
    bool stopped = false;      // cancelled, or the store took no more
    bool struckWords = false;  // "each word once" passed over a word
};

// Runs it on the analysed subset dictionary: the words each set found are appended to `store`
// and handed to `keeper`. Checked counts the words read and the words tried: `checked` (reset
// here) gets the latter as the search goes. The lane's control pauses it (it waits at the gate)
// and cancels it.
BoundedOutcome runBoundedSearch(const SearchRequest& request, ReadLane& lane, ResultsStore& store,
                                SetKeeper& keeper, std::atomic<std::int64_t>& checked);

}  // namespace zantric
