#include "core/search/subset_analysis.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "core/dictionary/catalogue.h"
#include "core/dictionary/dictionary_reader.h"
#include "core/dictionary/dictionary_writer.h"
#include "core/search/stoplist.h"
#include "core/search/word_matching.h"
#include "core/shell/paths.h"
#include "core/sort/dictionary_merge_handler.h"
#include "core/sort/merge_file.h"

namespace zantric {

namespace {
constexpr std::size_t kAnalysisBuffer = 5120;
}

void SubsetAnalysis::cancel() {
    m_reads.setCancel();
    m_result.store(false);
}

std::uint64_t SubsetAnalysis::checked() const { return m_reads.checked(); }

std::string SubsetAnalysis::activity() const {
    std::lock_guard lock(m_activityMutex);
    return m_activity;
}

void SubsetAnalysis::setActivity(std::string text) {
    std::lock_guard lock(m_activityMutex);
    m_activity = std::move(text);
}

bool SubsetAnalysis::run() {
    Catalogue& catalogue = m_workspace.catalogue;
    std::vector<std::filesystem::path> toMerge;
    m_matches.store(0);
    m_shortest = 0;
    m_struck = false;
    m_vowelless = false;
    bool cancelled = false;
    for (std::size_t i = 0; i < catalogue.count() && !cancelled; ++i) {
        const CatalogueEntry& entry = catalogue.entry(i);
        if (!entry.selected()) continue;
        const std::filesystem::path& subset = entry.subsetFileName();
        if (fileExists(subset)) removeFile(subset);
        DictionaryReader dictionary(m_reads, entry.filePath(), false, kAnalysisBuffer);
        DictionaryWriter writer(subset);
        setActivity("Analysing " + entry.displayName());
        char word[kOutWordSize];
        bool first = true;
        MatchResult r = dictionary.nextMatch(word, "*", &m_letters);
        for (; r == kMatchFound; r = dictionary.nextMatch(word, nullptr)) {
            if (m_stoplist && m_stoplist->contains(word)) {
                m_struck = true;
                continue;
            }
            m_matches.fetch_add(1, std::memory_order_relaxed);
            writer.addWord(word);
            if (!m_vowelless && std::none_of(word, word + std::strlen(word), LetterPool::isVowel)) {
                m_vowelless = true;
            }
            // Words come shortest first from each dictionary.
            if (first) {
                const int letters = letterCount(word);
                if (m_shortest == 0 || letters < m_shortest) m_shortest = letters;
            }
            if (first) {
                toMerge.push_back(subset);
                first = false;
            }
        }
        cancelled = r == kMatchCancelled;
    }
    if (cancelled) {
        m_result.store(false);
        return false;
    }
    if (m_matches.load() < 1) {
        m_result.store(false);
        return false;
    }
    setActivity("Merging Dictionaries");
    m_frozen.store(true);
    if (!merge(toMerge)) m_result.store(false);
    return m_result.load();
}

// Merges the subset files into a fresh temporary file, then moves it to the subset name. A
// merge that cannot make its file leaves no subset dictionary, so the search does not read a
// stale one.
bool SubsetAnalysis::merge(const std::vector<std::filesystem::path>& files) {
    Catalogue& catalogue = m_workspace.catalogue;
    const std::filesystem::path& subsetName = catalogue.subsetDictionaryName();
    const std::filesystem::path merged = uniqueTempName(m_workspace.settings);
    if (!fileOpenWithReport(m_workspace.prompter, merged, "wb")) {
        if (fileExists(subsetName)) removeFile(subsetName);
        return false;
    }
    MergeFile<DictionaryMergeHandler> mergeFile(m_workspace.settings, files, merged, nullptr);
    mergeFile.makeHandlersWith(
        [this](const std::filesystem::path& input, const std::filesystem::path& output) {
            return std::make_unique<DictionaryMergeHandler>(input, output, &m_reads);
        });
    if (!mergeFile.merge()) {
        if (fileExists(merged)) removeFile(merged);
        return false;
    }
    if (fileExists(subsetName)) removeFile(subsetName);
    if (!renameFile(merged, subsetName)) {
        removeFile(merged);
        return false;
    }
    return true;
}

}  // namespace zantric
