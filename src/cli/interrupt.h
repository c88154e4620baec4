// Ending the command line in order. SIGINT (Ctrl-C), SIGTERM and SIGHUP are caught from the
// start of main: the first SIGINT asks a command to cancel its work and finish as it does after
// Cancel (a search still prints the matches it kept); a second one, SIGTERM or SIGHUP asks it to
// stop at once. Either way the command returns normally, so that its temporary files and its
// instance marker are removed, and main exits with 128 + the signal's number. The handlers and
// their flags may be read from any thread; the signals themselves reach the main thread only.
#pragma once

namespace zantric::cli {

// Installs the handlers (without restarting an interrupted read or write of a terminal or a
// pipe, so that a command waiting on one sees the signal) and ignores SIGPIPE, so that a write to
// a closed pipe fails with EPIPE. Called once, first thing in main.
void watchEndSignals();
// A signal asked the command to end: cancel the work.
bool interrupted();
// A signal asked the command to end at once: print nothing more.
bool endNow();
// The number of the first signal that came, 0 for none.
int endSignal();

// While it lives, the three signals are blocked on the calling thread, so that a thread started
// meanwhile (a search or a maintenance worker) inherits the block and leaves them to the main
// thread.
class SignalsBlocked {
public:
    SignalsBlocked();
    ~SignalsBlocked();
    SignalsBlocked(const SignalsBlocked&) = delete;
    SignalsBlocked& operator=(const SignalsBlocked&) = delete;
};

}  // namespace zantric::cli
