// The command line's progress line: one line on stderr, drawn only when stderr is a terminal and
// once the operation looks like taking more than a second (as the window's progress dialog
// judges it), redrawn in place and cleared at the end. Long operations run with it: a work on
// its own thread with Ctrl-C as Cancel, a copy, move or export on the calling thread, and the
// search's analysis (search_command.cpp). Main thread.
#pragma once

#include <chrono>
#include <string>

#include "core/results/file_transfer.h"
#include "core/shell/progress_work.h"

namespace zantric::cli {

class ProgressLine {
public:
    ProgressLine();  // the operation starts now
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // "TEXT  N%", once the time so far, scaled up by the fraction done, predicts more than a
    // second; from then on at every call.
    void showPercent(const std::string& text, int percent);
    // `text` as it stands, once the operation has run for more than a second.
    void showAfterASecond(const std::string& text);

private:
    void draw(const std::string& text);

    bool m_terminal;
    bool m_shown = false;
    std::chrono::steady_clock::time_point m_started;
};

// Runs the work on its own thread with the progress line; the first Ctrl-C cancels a work that
// may be cancelled. Returns the work's result; `interruptedOut`, when given, tells whether Ctrl-C
// cancelled it.
WorkResult runWithProgress(ProgressWork& work, bool* interruptedOut = nullptr);
// Runs a copy, move or export on this thread with the progress line, redrawn after each block.
WorkResult runHereWithProgress(CallingThreadWork& work);

}  // namespace zantric::cli
