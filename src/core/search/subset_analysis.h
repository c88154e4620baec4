// SubsetAnalysis: before a phrase search, every word of the selected dictionaries that the FROM
// letters can spell is copied into one subset dictionary (per-dictionary subset files, merged
// into the catalogue's subset name), except the words of the stoplist, which no phrase may use.
// run() is the work of the analysis worker thread; the
// counters, the activity line and cancel() may be used from any other thread meanwhile.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "core/dictionary/dictionary_reader.h"
#include "core/dictionary/letter_pool.h"
#include "core/dictionary/workspace.h"

namespace zantric {

class Stoplist;

class SubsetAnalysis {
public:
    // Reads the selected dictionaries of the workspace's catalogue.
    SubsetAnalysis(Workspace workspace, const LetterPool& fromLetters)
        : m_workspace(workspace), m_letters(fromLetters) {}

    // Words of the stoplist are left out of the subset (set before run; not owned).
    void leaveOut(const Stoplist* stoplist) { m_stoplist = stoplist; }

    // Runs the analysis. Returns the result: true when the subset dictionary is ready, false
    // when the analysis was cancelled, found nothing or could not write its files.
    bool run();
    // The Cancel button: asks the reader to stop; the result becomes false.
    void cancel();
    // While paused, the reader waits at its next word.
    void pause() { m_reads.holdPauseGate(); }
    void resume() { m_reads.releasePauseGate(); }

    // Words checked so far (the reader's checked counter) and matches found.
    std::uint64_t checked() const;
    std::int64_t matchesFound() const { return m_matches.load(std::memory_order_relaxed); }
    // While merging the counters stand still.
    bool countersFrozen() const { return m_frozen.load(); }
    // "Analysing english.lex", then "Merging Dictionaries".
    std::string activity() const;
    // After run: the letters of the shortest word kept (0: none), whether the stoplist struck a
    // word the letters could spell, and whether a word kept holds no vowel-like letter.
    int shortestWord() const { return m_shortest; }
    bool struck() const { return m_struck; }
    bool keptVowelless() const { return m_vowelless; }

private:
    void setActivity(std::string text);
    bool merge(const std::vector<std::filesystem::path>& files);

    Workspace m_workspace;
    ReadControl m_reads;  // the readers' cancel flag and Checked counter
    LetterPool m_letters;
    const Stoplist* m_stoplist = nullptr;
    int m_shortest = 0;
    bool m_struck = false;
    bool m_vowelless = false;
    std::atomic<std::int64_t> m_matches{0};
    std::atomic<bool> m_frozen{false};
    std::atomic<bool> m_result{true};
    mutable std::mutex m_activityMutex;
    std::string m_activity;
};

}  // namespace zantric
