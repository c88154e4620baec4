// ProgressWork: one long operation (making, merging or updating a dictionary, copying, moving or
// exporting a file) as the window's progress dialog and the command line's progress line run
// it: a line of text, a progress figure in percent, cancel, and a result. work() runs on a
// worker thread (or, for copy, move and export, on the calling thread); text(), percent(),
// cancelWork(), pause() and resume() may be called from any other thread meanwhile.
#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace zantric {

class Prompter;

// What a work came to.
enum class WorkResult {
    kDone,       // it ran to its end
    kCancelled,  // the user cancelled it
    kFailed,     // it failed; its message was shown
};

class ProgressWork {
public:
    // `prompter` answers the work's questions and is told of its failures.
    explicit ProgressWork(Prompter& prompter) : m_prompter(prompter) {}
    virtual ~ProgressWork() = default;
    ProgressWork(const ProgressWork&) = delete;
    ProgressWork& operator=(const ProgressWork&) = delete;

    // The work itself. It sets its result when it fails (setResult) and returns normally, or
    // throws ZantricException, which runWork reports.
    virtual void work() = 0;
    // Whether the user may cancel this work (copy, move and export may not).
    virtual bool cancellable() const { return true; }
    // The user confirmed Cancel: the result becomes kCancelled and the work stops at its next poll.
    // Subclasses that hand the cancel on (to a sorter, a merger, the dictionary reader) extend it.
    virtual void cancelWork();

    std::string text() const;
    int percent() const { return m_percent.load(std::memory_order_relaxed); }
    WorkResult result() const { return m_result.load(); }
    bool cancelRequested() const { return m_cancel.load(std::memory_order_relaxed); }
    Prompter& prompter() const { return m_prompter; }

    // While the cancel question is open the work waits at its next poll (and so does the
    // dictionary reader).
    void pause();
    void resume();

    // The work's outcome, kDone until it is set.
    void setResult(WorkResult result) { m_result.store(result); }

protected:
    void setText(std::string text);
    void setPercent(int percent) { m_percent.store(percent, std::memory_order_relaxed); }
    // The poll point of a work loop: waits while paused; true when the work should stop.
    bool poll();

private:
    Prompter& m_prompter;
    mutable std::mutex m_mutex;
    std::condition_variable m_resumed;
    std::string m_text;
    bool m_paused = false;
    std::atomic<bool> m_pausedFlag{false};
    std::atomic<int> m_percent{0};
    std::atomic<WorkResult> m_result{WorkResult::kDone};
    std::atomic<bool> m_cancel{false};
};

// The body of every worker thread of a progress work: runs work() and reports a
// ZantricException that escapes it through the work's prompter ("Zantric Exception"). Returns the
// result; an exception makes it kFailed.
WorkResult runWork(ProgressWork& work);

// Whether the progress display should be visible after `ticks` ticks of 200 ms at `percent`
// done: only when the elapsed time, scaled up by the fraction done, predicts more than a second.
bool progressVisible(int ticks, int percent);
inline constexpr int kProgressTickMs = 200;

// Runs a work on its own thread; `onFinished` (may be empty) runs on that thread at the end.
class WorkerThread {
public:
    WorkerThread() = default;
    ~WorkerThread() { join(); }
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    void start(ProgressWork& work, std::function<void()> onFinished = {});
    bool finished() const { return m_finished.load(); }
    void join();

private:
    std::thread m_thread;
    std::atomic<bool> m_finished{false};
};

}  // namespace zantric
