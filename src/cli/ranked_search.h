// The ranked form of `zantric-cli search`: --best N prints the N best matches best first
// (docs/ranking.md). The sources of the ranking (core/ranking/ranking_sources.h) live as long as
// the command.
#pragma once

#include "core/ranking/ranking_sources.h"

namespace zantric {
class LetterPool;
class SearchRun;
struct SearchFields;
}  // namespace zantric

namespace zantric::cli {

// Runs the search worker, whose matches `ranker` ranks: the best sets of words of a bounded search
// (bounded_search.h), or every line the store hands to `lines`. Waits for its end (Ctrl-C cancels
// it), finishes the results and prints the best. With `explainFrom`, each line also says what it
// left of FROM; with `explain`, its score. Returns whether the search was cancelled.
bool searchAndRank(SearchRun& run, Ranker& ranker, RankingLines& lines, const SearchFields& fields,
                   const LetterPool* explainFrom, bool explain);

}  // namespace zantric::cli
