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

// Runs the search worker (whose store hands its lines to `lines`, which rank with `ranker`), waits
// for its end (Ctrl-C cancels it), finishes the results and prints the best. With
// `explainFrom`, each line also says what it left of FROM; with `explain`, its score. Returns
// whether the search was cancelled.
bool searchAndRank(SearchRun& run, const Ranker& ranker, RankingLines& lines,
                   const SearchFields& fields, const LetterPool* explainFrom, bool explain);

}  // namespace zantric::cli
