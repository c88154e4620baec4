// The ranked forms of `zantric-cli search`: --best N prints the N best matches best first
// (docs/ranking.md), --common LEVEL keeps only words at least that common. The sources of the
// ranking are read here, each from a path the options give, and live as long as the command.
#pragma once

#include <cstddef>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "core/ranking/phrase_model.h"
#include "core/ranking/ranker.h"
#include "core/ranking/word_levels.h"
#include "core/results/results_store.h"
#include "core/search/bounded_search.h"
#include "core/search/phrase_filters.h"

namespace zantric {
class LetterPool;
class SearchRequest;
class SearchRun;
struct SearchFields;
}  // namespace zantric

namespace zantric::cli {

// The installed English phrase model and graded word lists.
inline constexpr const char* kDefaultModel = "/usr/share/pocketsphinx/model/en-us/en-us.lm.bin";
inline constexpr const char* kDefaultLevels = "/usr/share/dict/scowl";

struct RankingOptions {
    std::size_t best = 0;  // 0: not ranked
    int common = 0;        // 0: no commonness filter
    std::string model = kDefaultModel;
    std::string levels = kDefaultLevels;
};

// What the ranking and the filter read, for one search.
class RankingSources {
public:
    // Reads what the options ask for. A filter whose word lists cannot be read fails (reported;
    // false); a model that cannot be read leaves the search unranked with one note on stderr.
    bool read(const RankingOptions& options);
    // The commonness filter (with the stoplist, if any) in `filters`.
    void filter(int common, PhraseFilters& filters) const;
    bool ranked() const { return m_model != nullptr; }
    // A ranker of the `best` matches of the prepared `request` (FROM typed as words left out).
    Ranker rankerFor(std::size_t best, const SearchRequest& request) const;
    const PhraseModel* model() const { return m_model.get(); }
    const WordLevels* levels() const { return m_levels ? &*m_levels : nullptr; }

private:
    std::unique_ptr<PhraseModel> m_model;
    std::optional<WordLevels> m_levels;
};

// Hands the sets of words a bounded search finds to the ranker.
class RankerKeeper final : public SetKeeper {
public:
    explicit RankerKeeper(Ranker& ranker) : m_ranker(ranker) {}
    std::int64_t wordPart(std::string_view word) override { return m_ranker.wordPart(word); }
    std::int64_t keep(std::string_view words, std::int64_t score) override {
        return m_ranker.keep(words, score);
    }

private:
    Ranker& m_ranker;
};

// Hands each whole match line to the ranker, if it has one (a line cut between two blocks is
// finished by the next), on the thread that stores the matches. It outlives the results store it is
// given to.
class RankingLines final : public LineSink {
public:
    void rankWith(Ranker& ranker) { m_ranker = &ranker; }
    // Before `run` starts: a search that can be bounded hands the ranker only the best sets of
    // words (bounded_search.h), any other every match it stores, through this.
    void keepBestSetsOf(SearchRun& run);
    void take(std::string_view lines) override;

private:
    Ranker* m_ranker = nullptr;
    std::optional<RankerKeeper> m_keeper;
    std::mutex m_mutex;
    std::string m_cut;
};

// Runs the search worker (whose store hands its lines to `lines`, which rank with `ranker`), waits
// for its end (Ctrl-C cancels it), finishes the results and prints the best. With
// `explainFrom`, each line also says what it left of FROM; with `explain`, its score. Returns
// whether the search was cancelled.
bool searchAndRank(SearchRun& run, const Ranker& ranker, RankingLines& lines,
                   const SearchFields& fields, const LetterPool* explainFrom, bool explain);

}  // namespace zantric::cli
