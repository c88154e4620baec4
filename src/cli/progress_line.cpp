#include "cli/progress_line.h"

#include <unistd.h>

#include <cstdio>
#include <thread>

#include "cli/interrupt.h"

namespace zantric::cli {

ProgressLine::ProgressLine()
    : m_terminal(isatty(STDERR_FILENO) == 1), m_started(std::chrono::steady_clock::now()) {}

ProgressLine::~ProgressLine() {
    if (m_shown) std::fprintf(stderr, "\r\033[K");
}

void ProgressLine::showPercent(const std::string& text, int percent) {
    const auto elapsed = std::chrono::steady_clock::now() - m_started;
    const int ticks = static_cast<int>(elapsed / std::chrono::milliseconds(kProgressTickMs));
    if (m_shown || progressVisible(ticks, percent)) {
        draw(text + "  " + std::to_string(percent) + "%");
    }
}

void ProgressLine::showAfterASecond(const std::string& text) {
    if (m_shown || std::chrono::steady_clock::now() - m_started > std::chrono::seconds(1)) {
        draw(text);
    }
}

void ProgressLine::draw(const std::string& text) {
    if (!m_terminal) return;
    m_shown = true;
    std::fprintf(stderr, "\r%s\033[K", text.c_str());
    std::fflush(stderr);
}

WorkResult runWithProgress(ProgressWork& work, bool* interruptedOut) {
    WorkerThread thread;
    {
        const SignalsBlocked blocked;  // the worker leaves Ctrl-C to this thread
        thread.start(work);
    }
    bool cancelled = false;
    {
        ProgressLine line;
        while (!thread.finished()) {
            // Look often for the end, so a short operation returns at once; redraw every tick.
            for (int i = 0; i < kProgressTickMs / 10 && !thread.finished(); ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            if (thread.finished()) break;
            if (!cancelled && interrupted() && work.cancellable()) {
                work.cancelWork();
                cancelled = true;
            }
            line.showPercent(work.text(), work.percent());
        }
        thread.join();
    }
    if (interruptedOut) *interruptedOut = cancelled;
    return cancelled ? WorkResult::kCancelled : work.result();
}

WorkResult runHereWithProgress(CallingThreadWork& work) {
    ProgressLine line;
    work.setAfterBlock([&] { line.showPercent(work.text(), work.percent()); });
    const WorkResult result = runWork(work);
    work.setAfterBlock({});
    return result;
}

}  // namespace zantric::cli
