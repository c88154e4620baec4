// SearchRun: one search from Start to finished results, without the window: the start checks,
// the subset analysis before a phrase search, the search worker thread, the two counters,
// cancel with the pause gate, and completion. The window and the command line both drive it.
// Its methods belong to the thread that owns it (the user-interface thread), except that the
// counters may be read at any time; onFinished is called on the worker thread.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "core/dictionary/dictionary_reader.h"
#include "core/results/results_header.h"
#include "core/results/results_store.h"
#include "core/search/bounded_search.h"
#include "core/search/search_fields.h"
#include "core/search/search_request.h"

namespace zantric {

class SubsetAnalysis;

// What the start checks decided.
enum class StartOutcome {
    kReady,           // the request is valid; run the analysis if needed, then the worker
    kNoDictionary,    // no dictionary is selected (message shown): open Select Dictionaries
    kInvalidRequest,  // a check failed (its message was shown)
    kDiskNearlyFull   // the temporary folder's disk has no room to spare (message shown)
};

class SearchRun {
public:
    // `checkedStart`: where Checked starts (tests start it near its limits).
    SearchRun(SearchRequest& request, ResultsStore& results, std::uint64_t checkedStart = 0)
        : m_request(request),
          m_prompter(request.workspace().prompter),
          m_results(results),
          m_reads(checkedStart) {}
    ~SearchRun() { join(); }
    SearchRun(const SearchRun&) = delete;
    SearchRun& operator=(const SearchRun&) = delete;

    // The start checks: a selected dictionary, the results reset, the request built from the
    // fields, room on the temporary folder's disk. A single-word request forgets the analysed
    // letters.
    StartOutcome prepare(const SearchFields& fields);
    // Searches started after this stop after `limit` matches; 0 for no limit.
    void setMatchLimit(std::int64_t limit) { m_results.setMatchLimit(limit); }
    // Phrase searches started after this run on `threads` search threads (0 or less: one per
    // core). A search with a match limit runs on one: where a limit stops it, its Checked
    // figure is then the one of one thread.
    void setThreads(int threads) { m_threads = threads; }
    // The search threads a phrase search would run on now.
    int threads() const;
    // Phrase searches started after this keep at most `bytes` of matches that wait for their
    // turn in memory (0: the usual 8 MiB).
    void setKeptLimit(std::size_t bytes) { m_keptLimit = bytes; }
    // Searches started after this that a bounded search can run (bounded_search.h) find only
    // the best sets of words, which `keeper` keeps; nullptr: every match, as always.
    void keepBestSetsIn(SetKeeper* keeper) { m_keeper = keeper; }
    // Whether a bounded search can run the prepared request, given a keeper.
    bool boundable() const { return m_bounded; }
    // Whether the prepared request runs as a bounded search.
    bool keepsBestSets() const { return m_keeper && m_bounded; }
    // Whether a phrase search must analyse the dictionaries first (new FROM letters).
    bool analysisNeeded() const { return m_request.multiWord() && m_request.analysisNeeded(); }
    // Runs the analysis on the calling thread (the caller's worker); false when it was
    // cancelled or found nothing, in which case the analysed letters are forgotten.
    bool runAnalysis(SubsetAnalysis& analysis);

    // Starts the search worker. `onFinished` (may be empty) runs on the worker when it ends.
    void startWorker(std::function<void()> onFinished = {});
    bool running() const { return m_running.load(); }
    // Waits until the worker has ended or `timeout` has passed; true when it has ended. The
    // worker wakes the waiter as it ends, so a short search is not held back by the timeout.
    bool waitForEnd(std::chrono::milliseconds timeout);
    // The last run ended on a file error, which has been shown: its results are incomplete.
    bool failed() const { return m_failed.load(); }
    // Waits for the worker to end.
    void join();

    // The cancel question: the worker waits at its pause gate while the question is open.
    void pause();
    void resume();
    // Yes to the cancel question: the reader stops at its next word.
    void cancel();
    bool cancelled() const { return m_cancelled.load(); }

    // Found and Checked as the user sees them.
    std::int64_t found() const;
    std::int64_t checked() const;

    // After the worker ended: writes the results header from the window's fields and the
    // filters in effect.
    void finish(const SearchFields& fields);
    // The filters that applied to the last search, as its results record them.
    RecordedFilters filtersInEffect() const;
    // Whether a filter struck out a word the last search would otherwise have used: a stoplist
    // word, a repeated word, or (for a minimum length) a shorter word the letters could spell.
    bool filtersChanged() const;
    // Why the finished search stopped before its end, other than by cancel: the results file
    // was full, the disk nearly full, or the match limit reached.
    StoreStop stopped() const { return m_results.stopped(); }
    // After finish(): the box that says why the results store stopped the search ("The
    // results file is full: ...", "The disk is nearly full: ..."); nothing when it did not.
    void reportStop() const;
    // "Stopped after N matches." when the match limit stopped the search, else "".
    std::string limitText() const;

private:
    SearchRequest& m_request;
    Prompter& m_prompter;  // the request's: told of failures, asked at the start
    ResultsStore& m_results;
    ReadControl m_reads;  // the readers' cancel flag, pause gate and counters
    std::atomic<std::int64_t> m_checkedBase{0};
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_cancelled{false};
    std::atomic<bool> m_failed{false};
    std::atomic<bool> m_struck{false};  // a filter struck a word while the worker ran
    int m_threads = 0;
    std::size_t m_keptLimit = 0;
    SetKeeper* m_keeper = nullptr;
    bool m_bounded = false;  // a bounded search could run the prepared request
    std::mutex m_endMutex;
    std::condition_variable m_ended;
    std::thread m_worker;
};

}  // namespace zantric
