#include "cli/ranked_search.h"

#include <chrono>
#include <cstdio>

#include "cli/interrupt.h"
#include "cli/output.h"
#include "core/search/match_explanation.h"
#include "core/search/search_request.h"
#include "core/search/search_run.h"
#include "core/shell/string_table.h"

namespace zantric::cli {

namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(2);

std::string shownLine(const RankedMatch& match, const Ranker& ranker, const LetterPool* explainFrom,
                      bool explain, bool escape) {
    std::string line = escape ? escapeControls(match.text) : match.text;
    if (explainFrom) {
        const MatchExplanation explanation = explainMatch(match.text, *explainFrom);
        line += "\tleft: ";
        line += explanation.left.empty() ? "-" : explanation.left;
        if (!explanation.blanks.empty()) line += "\tblanks: " + explanation.blanks;
    }
    if (explain) {
        char score[32];
        std::snprintf(score, sizeof score, "\tscore: %.2f", ranker.score(match.text));
        line += score;
    }
    line += '\n';
    return line;
}

}  // namespace

bool RankingSources::read(const RankingOptions& options) {
    if (options.common > 0) {
        Outcome<WordLevels> levels = WordLevels::read(options.levels, "american");
        if (!levels) {
            std::fprintf(stderr, "zantric-cli: %s\n", levels.message().text.c_str());
            return false;
        }
        m_levels = std::move(levels.value());
    }
    if (options.best > 0) {
        Outcome<std::unique_ptr<PhraseModel>> model = openNgramModel(options.model);
        if (model) {
            m_model = std::move(model.value());
        } else {
            std::fprintf(stderr, "zantric-cli: %s The matches are not ranked.\n",
                         model.message().text.c_str());
        }
    }
    return true;
}

void RankingSources::filter(int common, PhraseFilters& filters) const {
    if (common <= 0 || !m_levels) return;
    const Stoplist none;
    const Stoplist& struck = filters.stoplist ? *filters.stoplist : none;
    filters.stoplist =
        std::make_shared<Stoplist>(struck.keepingOnly(m_levels->wordsOfLevel(common)));
}

void RankingLines::keepBestSetsOf(SearchRun& run) {
    run.keepBestSetsIn(&m_keeper.emplace(*m_ranker));
    if (run.keepsBestSets()) m_ranker = nullptr;
}

void RankingLines::take(std::string_view lines) {
    if (!m_ranker) return;
    const std::lock_guard lock(m_mutex);
    while (!lines.empty()) {
        const std::size_t feed = lines.find('\n');
        if (feed == std::string_view::npos) {
            m_cut += lines;
            return;
        }
        if (m_cut.empty()) {
            m_ranker->offer(lines.substr(0, feed));
        } else {
            m_cut += lines.substr(0, feed);
            m_ranker->offer(m_cut);
            m_cut.clear();
        }
        lines.remove_prefix(feed + 1);
    }
}

Ranker RankingSources::rankerFor(std::size_t best, const SearchRequest& request) const {
    Ranker ranker(m_model.get(), levels(), best, request.multiWord());
    if (request.hasFromLetters()) ranker.leaveOut(request.from());
    return ranker;
}

bool searchAndRank(SearchRun& run, const Ranker& ranker, RankingLines& lines,
                   const SearchFields& fields, const LetterPool* explainFrom, bool explain) {
    lines.keepBestSetsOf(run);
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
    if (endNow()) return true;
    const bool escape = escapesFor(stdout);
    std::string shown;
    for (const RankedMatch& match : ranker.best()) {
        shown += shownLine(match, ranker, explainFrom, explain, escape);
    }
    writeOutput(shown);
    return cancelAsked;
}

}  // namespace zantric::cli
