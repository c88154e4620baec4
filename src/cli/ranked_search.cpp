#include "cli/ranked_search.h"

#include <chrono>
#include <cstdio>

#include "cli/interrupt.h"
#include "cli/output.h"
#include "core/dictionary/spellings.h"
#include "core/search/match_explanation.h"
#include "core/search/search_request.h"
#include "core/search/search_run.h"
#include "core/shell/string_table.h"

namespace zantric::cli {

namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(2);

std::string shownLine(const RankedMatch& match, const Ranker& ranker, const RankedLines& shown,
                      bool escape) {
    std::string spelled;
    std::string word;
    shown.spellings.shownLine(match.text, spelled, word);
    std::string line = escape ? escapeControls(spelled) : spelled;
    if (shown.explainFrom) {
        const MatchExplanation explanation = explainMatch(match.text, *shown.explainFrom);
        line += "\tleft: ";
        line += explanation.left.empty() ? "-" : explanation.left;
        if (!explanation.blanks.empty()) line += "\tblanks: " + explanation.blanks;
    }
    if (shown.explain) {
        char score[32];
        std::snprintf(score, sizeof score, "\tscore: %.2f", ranker.score(match.text));
        line += score;
    }
    line += '\n';
    return line;
}

}  // namespace

bool searchAndRank(SearchRun& run, Ranker& ranker, RankingLines& lines, const SearchFields& fields,
                   const RankedLines& shown) {
    // A search that can be bounded hands the ranker only its best sets of words, any other every
    // match it stores.
    RankerKeeper keeper(ranker);
    run.keepBestSetsIn(run.boundable() ? &keeper : nullptr);
    lines.rankWith(run.boundable() ? nullptr : &ranker);
    {
        const SignalsBlocked blocked;
        run.startWorker();
    }
    bool cancelAsked = false;
    while (!run.waitForEnd(kPollInterval)) {
        if (!cancelAsked && (interrupted() || endNow())) {
            run.cancel();
            cancelAsked = true;
        }
    }
    run.finish(fields);
    run.keepBestSetsIn(nullptr);
    if (endNow()) return true;
    const bool escape = escapesFor(stdout);
    std::string text;
    for (const RankedMatch& match : ranker.best()) text += shownLine(match, ranker, shown, escape);
    writeOutput(text);
    return cancelAsked;
}

}  // namespace zantric::cli
