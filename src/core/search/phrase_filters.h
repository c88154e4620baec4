// The phrase filters: what a user strikes out of searches besides the four fields. A minimum
// length for every word of a phrase and each word at most once in a phrase apply to phrase
// searches; the stoplist's words, and with a commonness level the words less common, are used by
// no search. The search prunes with them as it goes
// rather than dropping results afterwards. The window keeps its choice in the ini (section
// PHRASE OPTIONS); the command line takes options. Plain values; any thread.
#pragma once

#include <memory>

#include "core/dictionary/dictionary_format.h"
#include "core/search/stoplist.h"

namespace zantric {

class Prompter;
class Settings;

struct PhraseFilters {
    int minWordLength = 0;  // below 2: none; above 20 no word is long enough
    bool eachWordOnce = false;
    std::shared_ptr<const Stoplist> stoplist;  // none, or a list of words to strike
    // Only words at least this common, 1 to 10 (core/shell/common_level.h); 0 for any word.
    // `commonStruck` strikes the stoplist's words and every word less common, and takes the
    // stoplist's place in the search.
    int common = 0;
    std::shared_ptr<const Stoplist> commonStruck = nullptr;
};

// How many matches Best first lists by default, and at most.
inline constexpr int kDefaultBestShown = 1000;
inline constexpr int kMostBestShown = 100000;

// The window's Phrase Options, as the ini keeps them.
struct PhraseOptions {
    int minWordLength = 1;  // 1 to 20; 1 is no minimum
    bool eachWordOnce = false;
    bool useStoplist = true;            // stoplist.txt of the program's folder, when it exists
    int common = 0;                     // "Common words only": 1 to 10; 0 for any word
    int bestShown = kDefaultBestShown;  // the matches Best first lists
    bool operator==(const PhraseOptions&) const = default;
};

inline constexpr int kMaxMinWordLength = kMaxWordLetters;

// Reads the options from the ini (missing keys read as the defaults above; values out of range
// are brought into it).
PhraseOptions readPhraseOptions(const Settings& settings);
// Writes the three keys of the filters, and those of the commonness level and the matches Best
// first lists when they are not the defaults or the ini has them already.
void writePhraseOptions(const Settings& settings, const PhraseOptions& options);

// The filters the options ask for: the stoplist is read from the program's folder.
PhraseFilters filtersFor(Prompter& prompter, const PhraseOptions& options);

}  // namespace zantric
