#include "cli/progress_line.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "cli/interrupt.h"

namespace zantric::cli {

int runWithProgress(ProgressWork& work, bool* interruptedOut) {
    WorkerThread thread;
    {
        const SignalsBlocked blocked;  // the worker leaves Ctrl-C to this thread
        thread.start(work);
    }
    const bool tty = isatty(STDERR_FILENO);
    bool shown = false;
    bool cancelled = false;
    int ticks = 0;
    while (!thread.finished()) {
        // Look often for the end, so a short operation returns at once; count 200 ms ticks.
        for (int i = 0; i < kProgressTickMs / 10 && !thread.finished(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (thread.finished()) break;
        ++ticks;
        if (!cancelled && interrupted() && work.cancellable()) {
            work.cancelWork();
            cancelled = true;
        }
        const int percent = work.percent();
        if (tty && (shown || progressVisible(ticks, percent))) {
            shown = true;
            std::fprintf(stderr, "\r%s  %d%%\033[K", work.text().c_str(), percent);
            std::fflush(stderr);
        }
    }
    thread.join();
    if (shown) std::fprintf(stderr, "\r\033[K");
    if (interruptedOut) *interruptedOut = cancelled;
    return cancelled ? 0 : work.result();
}

}  // namespace zantric::cli
