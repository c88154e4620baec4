// What a ranked search reads and how its matches reach the ranker (docs/ranking.md): the phrase
// model and the graded word lists, each read from a path the options give, and the two ways a
// search hands its matches over (every match line it stores, or only the best sets of words of a
// bounded search). The command line's --best and --common and the window's Best first share them.
#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ranking/count_model.h"
#include "core/ranking/phrase_model.h"
#include "core/ranking/ranker.h"
#include "core/ranking/word_levels.h"
#include "core/results/results_store.h"
#include "core/search/bounded_search.h"
#include "core/search/phrase_filters.h"

namespace zantric {

class Catalogue;
class SearchRequest;

// The installed English phrase model and graded word lists.
inline constexpr const char* kDefaultModel = "/usr/share/pocketsphinx/model/en-us/en-us.lm.bin";
inline constexpr const char* kDefaultLevels = "/usr/share/dict/scowl";

struct RankingOptions {
    std::size_t best = 0;  // 0: not ranked
    int common = 0;        // 0: no commonness filter
    std::filesystem::path model = kDefaultModel;
    std::filesystem::path levels = kDefaultLevels;
    // The language of the words ranked: "en" reads `model` and `levels`; any other reads its
    // word-count model in `countModels` (or `model`, when it names another file than the
    // default), for the ranking and for the levels of `common` alike.
    std::string language = "en";
    std::filesystem::path countModels = kDefaultCountModels;
};

// The language the dictionaries selected in `catalogue` are written in, whose sources rank their
// words: that of the first selected dictionary made in a language other than English (the one
// typed accents fold in), else "en". The command line and the window both ask here.
std::string languageOfSelected(const Catalogue& catalogue);

// What the ranking and the filter read, for one search.
class RankingSources {
public:
    // What reading found wrong, each text without the program's name.
    struct ReadNotes {
        std::string failure;   // the filter's word lists cannot be read: the search cannot run
        std::string unranked;  // the model cannot be read: the search runs unranked
    };
    // Reads what the options ask for, keeping what was read before from the same paths.
    ReadNotes read(const RankingOptions& options);
    // The commonness filter of `common` (1 to 10; 0: none) in `filters`, with their stoplist.
    void filter(int common, PhraseFilters& filters) const;
    bool ranked() const { return m_model != nullptr; }
    // A ranker of the `best` matches of the prepared `request` (FROM typed as words left out).
    Ranker rankerFor(std::size_t best, const SearchRequest& request) const;
    const PhraseModel* model() const { return m_model.get(); }
    const WordLevels* levels() const { return m_levels ? &*m_levels : nullptr; }

private:
    // The same for a language other than English, from its word counts.
    ReadNotes readCounts(const RankingOptions& options);

    std::unique_ptr<PhraseModel> m_model;
    std::filesystem::path m_modelPath;
    std::optional<WordLevels> m_levels;
    std::filesystem::path m_levelsPath;
};

// Hands the sets of words a bounded search finds to its ranker (bounded_search.h), on the search's
// threads.
class RankerKeeper final : public SetKeeper {
public:
    explicit RankerKeeper(Ranker& ranker) : m_ranker(ranker) {}
    std::int64_t wordPart(std::string_view word) override {
        const std::lock_guard lock(m_mutex);
        return m_ranker.wordPart(word);
    }
    std::int64_t keep(std::string_view words, std::int64_t score) override {
        const std::lock_guard lock(m_mutex);
        return m_ranker.keep(words, score);
    }
    // The best so far, best first, while the search goes on (any thread; the search waits).
    std::vector<RankedMatch> bestSoFar() {
        const std::lock_guard lock(m_mutex);
        return m_ranker.best();
    }

private:
    Ranker& m_ranker;
    std::mutex m_mutex;
};

// Hands each whole match line of a search that is not bounded to its ranker (a line cut between
// two blocks is finished by the next), on the thread that stores the matches. It outlives the
// results store it is given to.
class RankingLines final : public LineSink {
public:
    // The ranker of the next search's lines; nullptr: none, its lines are dropped (a bounded
    // search feeds its ranker through a RankerKeeper).
    void rankWith(Ranker* ranker) {
        const std::lock_guard lock(m_mutex);
        m_ranker = ranker;
        m_cut.clear();
    }
    void take(std::string_view lines) override;
    // The best so far, best first, while the search goes on (any thread; the search waits).
    std::vector<RankedMatch> bestSoFar();

private:
    Ranker* m_ranker = nullptr;
    std::mutex m_mutex;
    std::string m_cut;
};

}  // namespace zantric
