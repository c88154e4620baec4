#include "core/ranking/ranking_sources.h"

#include "core/search/search_request.h"
#include "core/search/search_run.h"
#include "core/search/typed_accents.h"
#include "core/shell/string_ids.h"
#include "core/shell/string_table.h"

namespace zantric {

std::string languageOfSelected(const Catalogue& catalogue) {
    return std::string(languageCode(typingLanguage(catalogue)));
}

RankingSources::ReadNotes RankingSources::read(const RankingOptions& options) {
    if (!options.language.empty() && options.language != "en") return readCounts(options);
    ReadNotes notes;
    if (options.common > 0 && !(m_levels && m_levelsPath == options.levels)) {
        m_levels.reset();
        Outcome<WordLevels> levels = WordLevels::read(options.levels, "american");
        if (!levels) {
            notes.failure = levels.message().text;
            return notes;
        }
        m_levels = std::move(levels.value());
        m_levelsPath = options.levels;
    }
    if (options.best > 0 && !(m_model && m_modelPath == options.model)) {
        m_model.reset();
        Outcome<std::unique_ptr<PhraseModel>> model = openNgramModel(options.model);
        if (model) {
            m_model = std::move(model.value());
            m_modelPath = options.model;
        } else {
            notes.unranked = model.message().text + " The matches are not ranked.";
        }
    }
    return notes;
}

RankingSources::ReadNotes RankingSources::readCounts(const RankingOptions& options) {
    ReadNotes notes;
    if (options.best == 0 && options.common <= 0) return notes;
    const std::optional<std::filesystem::path> path =
        options.model != kDefaultModel ? std::optional(options.model)
                                       : countModelOf(options.countModels, options.language);
    const bool modelRead = options.best == 0 || (m_model && path && m_modelPath == *path);
    const bool levelsRead = options.common <= 0 || (m_levels && path && m_levelsPath == *path);
    if (modelRead && levelsRead) return notes;
    if (!modelRead) m_model.reset();
    if (!levelsRead) m_levels.reset();
    Outcome<std::unique_ptr<CountModel>> model =
        path ? CountModel::read(*path, options.language)
             : Outcome<std::unique_ptr<CountModel>>(Message{
                   loadString(kStrNoWordCounts, {options.language, options.countModels.string()}),
                   "Zantric", MessageKind::kWarning});
    if (!model) {
        if (options.common > 0) {
            notes.failure = model.message().text;
        } else {
            notes.unranked = model.message().text + " The matches are not ranked.";
        }
        return notes;
    }
    if (!levelsRead) {
        m_levels = model.value()->levels();
        m_levelsPath = *path;
    }
    if (!modelRead) {
        m_model = std::move(model.value());
        m_modelPath = *path;
    }
    return notes;
}

void RankingSources::filter(int common, PhraseFilters& filters) const {
    if (common <= 0 || !m_levels) return;
    const Stoplist none;
    const Stoplist& struck = filters.stoplist ? *filters.stoplist : none;
    filters.common = common;
    filters.commonStruck =
        std::make_shared<Stoplist>(struck.keepingOnly(m_levels->wordsOfLevel(common)));
}

Ranker RankingSources::rankerFor(std::size_t best, const SearchRequest& request) const {
    Ranker ranker(m_model.get(), levels(), best, request.multiWord());
    if (request.hasFromLetters()) ranker.leaveOut(request.from());
    return ranker;
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

std::vector<RankedMatch> RankingLines::bestSoFar() {
    const std::lock_guard lock(m_mutex);
    return m_ranker ? m_ranker->best() : std::vector<RankedMatch>();
}

}  // namespace zantric
