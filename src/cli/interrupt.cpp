#include "cli/interrupt.h"

#include <csignal>

namespace zantric::cli {

namespace {
volatile std::sig_atomic_t g_interrupted = 0;

extern "C" void onInterrupt(int) {
    g_interrupted = 1;
    std::signal(SIGINT, SIG_DFL);
}
}  // namespace

void watchInterrupt() {
    g_interrupted = 0;
    std::signal(SIGINT, onInterrupt);
}

bool interrupted() { return g_interrupted != 0; }

}  // namespace zantric::cli
