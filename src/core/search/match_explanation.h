// What a match left over: the FROM letters it did not use and the letter each blank ('?') of
// FROM stood for. Worked out from the match text and the FROM letters alone, when a match is
// shown, so nothing of it is stored with the results. A letter uses its own FROM copy before a
// blank, as the search does. Pure functions; any thread.
#pragma once

#include <string>
#include <string_view>

#include "core/dictionary/letter_pool.h"

namespace zantric {

struct MatchExplanation {
    // The letters not used, a to z, then a '?' for each blank not used. A letter that may be
    // used any number of times (typed in upper case) is shown once, in upper case.
    std::string left;
    // The letters the blanks stood for, in the order they come in the match.
    std::string blanks;
};

MatchExplanation explainMatch(std::string_view match, const LetterPool& fromLetters);

// The FROM letters of a search as it took them from its fields: lower-cased for a phrase search
// and for "Use All FROM Letters", as typed otherwise.
LetterPool searchedFromLetters(std::string_view find, std::string_view from, bool useAll);

}  // namespace zantric
