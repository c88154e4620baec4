// CancelGate: the cancel flag and the pause gate of one piece of work, owned by whoever runs it.
// The work polls them (stopRequested(), or paused() and cancelled() in a tight loop); any other
// thread may set the flag and hold or release the gate meanwhile.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace zantric {

class CancelGate {
public:
    CancelGate() = default;
    CancelGate(const CancelGate&) = delete;
    CancelGate& operator=(const CancelGate&) = delete;

    void setCancel() { m_cancel.store(true); }
    void clearCancel() { m_cancel.store(false); }
    bool cancelled() const { return m_cancel.load(std::memory_order_relaxed); }

    // While held, the work waits at its next poll.
    void holdPauseGate() { m_paused.store(true); }
    void releasePauseGate() {
        {
            std::lock_guard lock(m_pauseMutex);
            m_paused.store(false);
        }
        m_pauseChanged.notify_all();
    }
    bool paused() const { return m_paused.load(std::memory_order_relaxed); }
    void waitAtPauseGate() {
        std::unique_lock lock(m_pauseMutex);
        m_pauseChanged.wait(lock, [this] { return !m_paused.load(); });
    }

    // Waits while the gate is held, then tells whether the work is cancelled.
    bool stopRequested() {
        if (paused()) waitAtPauseGate();
        return cancelled();
    }

private:
    // Each on a cache line of its own: every reader of every search thread reads both at every
    // word.
    alignas(64) std::atomic<bool> m_cancel{false};
    alignas(64) std::atomic<bool> m_paused{false};
    std::mutex m_pauseMutex;
    std::condition_variable m_pauseChanged;
};

}  // namespace zantric
