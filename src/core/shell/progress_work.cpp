#include "core/shell/progress_work.h"

#include "core/shell/messages.h"
#include "core/shell/zantric_exception.h"

namespace zantric {

void ProgressWork::cancelWork() {
    setResult(WorkResult::kCancelled);
    m_cancel.store(true);
}

std::string ProgressWork::text() const {
    std::lock_guard lock(m_mutex);
    return m_text;
}

void ProgressWork::setText(std::string text) {
    std::lock_guard lock(m_mutex);
    m_text = std::move(text);
}

void ProgressWork::pause() {
    std::lock_guard lock(m_mutex);
    m_paused = true;
    m_pausedFlag.store(true);
}

void ProgressWork::resume() {
    {
        std::lock_guard lock(m_mutex);
        m_paused = false;
        m_pausedFlag.store(false);
    }
    m_resumed.notify_all();
}

bool ProgressWork::poll() {
    if (m_pausedFlag.load(std::memory_order_relaxed)) {
        std::unique_lock lock(m_mutex);
        m_resumed.wait(lock, [this] { return !m_paused; });
    }
    return cancelRequested();
}

WorkResult runWork(ProgressWork& work) {
    try {
        work.work();
    } catch (const ZantricException& e) {
        reportFailure(work.prompter(), e);
        work.setResult(WorkResult::kFailed);
    }
    return work.result();
}

bool progressVisible(int ticks, int percent) {
    const unsigned q = percent <= 0 ? 1u : static_cast<unsigned>(percent);
    return static_cast<unsigned>(ticks) * 20000u / q > 1000u;
}

void WorkerThread::start(ProgressWork& work, std::function<void()> onFinished) {
    join();
    m_finished.store(false);
    m_thread = std::thread([this, &work, onFinished = std::move(onFinished)] {
        runWork(work);
        m_finished.store(true);
        if (onFinished) onFinished();
    });
}

void WorkerThread::join() {
    if (m_thread.joinable()) m_thread.join();
}

}  // namespace zantric
