// The ranked form of `zantric-cli search`: --best N prints the N best matches best first
// (docs/ranking.md). The sources of the ranking (core/ranking/ranking_sources.h) live as long as
// the command.
#pragma once

#include "core/ranking/ranking_sources.h"

namespace zantric {
class LetterPool;
class SearchRun;
class Spellings;
struct SearchFields;
}  // namespace zantric

namespace zantric::cli {

// How the best are printed: with `explainFrom`, each line also says what it left of FROM; with
// `explain`, its score; each word as `spellings` show it (élève).
struct RankedLines {
    const LetterPool* explainFrom;
    const Spellings& spellings;
    bool explain;
};

// Runs the search worker, whose matches `ranker` ranks: the best sets of words of a bounded search
// (bounded_search.h), or every line the store hands to `lines`. Waits for its end (Ctrl-C cancels
// it), finishes the results and prints the best as `shown` says. Returns whether the search was
// cancelled.
bool searchAndRank(SearchRun& run, Ranker& ranker, RankingLines& lines, const SearchFields& fields,
                   const RankedLines& shown);

}  // namespace zantric::cli
