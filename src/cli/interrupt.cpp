#include "cli/interrupt.h"

#include <signal.h>

#include <atomic>
#include <csignal>

namespace zantric::cli {

namespace {

std::atomic<int> g_firstSignal{0};
std::atomic<int> g_signals{0};  // how many have come
std::atomic<bool> g_endNow{false};

extern "C" void onEndSignal(int signal) {
    int none = 0;
    g_firstSignal.compare_exchange_strong(none, signal);
    if (signal != SIGINT || g_signals.fetch_add(1) > 0) g_endNow.store(true);
    if (signal == SIGINT && g_signals.load() > 1) {
        // A third Ctrl-C ends the program the way it always could.
        std::signal(SIGINT, SIG_DFL);
    }
}

constexpr int kEndSignals[] = {SIGINT, SIGTERM, SIGHUP};

sigset_t endSignalSet() {
    sigset_t set;
    sigemptyset(&set);
    for (int signal : kEndSignals) sigaddset(&set, signal);
    return set;
}

}  // namespace

void watchEndSignals() {
    struct sigaction action {};
    action.sa_handler = onEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: a blocked write to a pipe or a terminal returns
    for (int signal : kEndSignals) sigaction(signal, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

bool interrupted() { return g_firstSignal.load() != 0; }
bool endNow() { return g_endNow.load(); }
int endSignal() { return g_firstSignal.load(); }

SignalsBlocked::SignalsBlocked() {
    const sigset_t set = endSignalSet();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

SignalsBlocked::~SignalsBlocked() {
    const sigset_t set = endSignalSet();
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

}  // namespace zantric::cli
