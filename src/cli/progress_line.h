// Runs a long operation from the command line: the work on its own thread, a progress line on
// stderr (when stderr is a terminal, and only once the operation looks like taking more than a
// second, as the window's progress dialog does), and Ctrl-C as Cancel. Main thread.
#pragma once

#include "core/shell/progress_work.h"

namespace zantric::cli {

// Returns the work's result (1 done, 0 failed or cancelled). `interruptedOut`, when given, tells
// whether Ctrl-C cancelled it.
int runWithProgress(ProgressWork& work, bool* interruptedOut = nullptr);

}  // namespace zantric::cli
