#include "core/search/search_run.h"

#include <algorithm>

#include "core/dictionary/catalogue.h"
#include "core/dictionary/dictionary_reader.h"
#include "core/results/results_store.h"
#include "core/search/search_level.h"
#include "core/search/subset_analysis.h"
#include "core/shell/messages.h"
#include "core/shell/string_ids.h"
#include "core/shell/string_table.h"
#include "core/shell/zantric_exception.h"

namespace zantric {

StartOutcome SearchRun::prepare(const SearchFields& fields) {
    if (!m_request.catalogue().anySelected()) {
        m_prompter.beep();
        m_prompter.ask(Message::fromIds(kStrNoDictionarySelected, kStrNoDictionarySelectedTitle,
                                        MessageKind::kError));
        return StartOutcome::kNoDictionary;
    }
    m_results.reset();
    m_bounded = false;
    if (!m_request.build(fields)) return StartOutcome::kInvalidRequest;
    m_bounded = boundedSearchSuits(m_request);
    if (!m_request.multiWord()) m_request.clearAnalysedLetters();
    if (!m_results.roomToStart()) {
        m_prompter.ask({loadString(kStrDiskNearlyFull, "0"), loadString(kStrWarningTitle),
                        MessageKind::kWarning});
        return StartOutcome::kDiskNearlyFull;
    }
    return StartOutcome::kReady;
}

bool SearchRun::runAnalysis(SubsetAnalysis& analysis) {
    bool ready = false;
    analysis.leaveOut(m_request.stoplist());
    try {
        ready = analysis.run();
    } catch (const ZantricException& e) {
        m_prompter.tell(noticeOrException(e));
        ready = false;
    }
    if (ready)
        m_request.noteAnalysis(analysis.shortestWord(), analysis.struck(),
                               analysis.keptVowelless());
    if (!ready) m_request.clearAnalysedLetters();
    return ready;
}

void SearchRun::startWorker(std::function<void()> onFinished) {
    join();
    m_cancelled.store(false);
    m_failed.store(false);
    m_struck.store(false);
    m_running.store(true);
    m_worker = std::thread([this, threads = threads(), onFinished = std::move(onFinished)] {
        try {
            if (keepsBestSets()) {
                m_reads.resetChecked();
                m_results.setStopCheck(&m_reads);
                m_struck.store(
                    runBoundedSearch(m_request, m_reads.lane(), m_results, *m_keeper, m_checkedBase)
                        .struckWords);
            } else {
                SearchLevel top(m_request, m_reads, m_checkedBase, &m_cancelled, threads,
                                m_keptLimit);
                top.run(m_results);
                m_struck.store(top.struckWords());
            }
        } catch (const ZantricException& e) {
            // A dictionary that cannot be opened, or a results file that cannot be written:
            // either way the run ends.
            m_prompter.tell(noticeOrException(e));
            m_failed.store(true);
        }
        {
            const std::lock_guard<std::mutex> lock(m_endMutex);
            m_running.store(false);
        }
        m_ended.notify_all();
        if (onFinished) onFinished();
    });
}

int SearchRun::threads() const {
    if (m_results.matchLimit() > 0) return 1;
    const int cores = static_cast<int>(std::thread::hardware_concurrency());
    const int threads = m_threads > 0 ? m_threads : cores > 0 ? cores : 1;
    return std::min(threads, kMaxSearchThreads);
}

bool SearchRun::waitForEnd(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(m_endMutex);
    return m_ended.wait_for(lock, timeout, [this] { return !m_running.load(); });
}

void SearchRun::join() {
    if (m_worker.joinable()) m_worker.join();
}

void SearchRun::pause() { m_reads.holdPauseGate(); }
void SearchRun::resume() { m_reads.releasePauseGate(); }
void SearchRun::cancel() {
    m_cancelled.store(true);
    m_reads.setCancel();
}

std::int64_t SearchRun::found() const { return m_results.count(); }

std::int64_t SearchRun::checked() const {
    return static_cast<std::int64_t>(m_reads.checked()) + m_checkedBase.load();
}

void SearchRun::finish(const SearchFields& fields) {
    join();
    m_results.finish({fields, found(), checked()}, filtersInEffect());
}

RecordedFilters SearchRun::filtersInEffect() const {
    RecordedFilters filters;
    filters.minWordLength = m_request.phraseMinWordLength();
    filters.eachWordOnce = m_request.eachWordOnce();
    const PhraseFilters& asked = m_request.filters();
    filters.stoplist = asked.stoplist && !asked.stoplist->empty();
    if (asked.commonStruck) filters.common = asked.common;
    return filters;
}

bool SearchRun::filtersChanged() const {
    if (m_struck.load()) return true;
    if (!m_request.multiWord()) return false;
    const int minWord = m_request.phraseMinWordLength();
    return (m_request.stoplist() && m_request.analysisStruck()) ||
           (minWord != 0 && m_request.analysedShortestWord() < minWord);
}

void SearchRun::reportStop() const {
    const int text = stopped() == StoreStop::kFull             ? kStrResultsFileFull
                     : stopped() == StoreStop::kDiskNearlyFull ? kStrDiskNearlyFull
                                                               : 0;
    if (text == 0) return;
    m_prompter.tell({loadString(text, m_prompter.countText(found())), loadString(kStrWarningTitle),
                     MessageKind::kWarning});
}

std::string SearchRun::limitText() const {
    return stopped() == StoreStop::kLimit
               ? loadString(kStrStoppedAfter, m_prompter.countText(found()))
               : std::string();
}

}  // namespace zantric
