// Ctrl-C for long commands: the first SIGINT sets a flag that the command polls to cancel its
// work cleanly; the default action comes back for a second one. Main thread.
#pragma once

namespace zantric::cli {

void watchInterrupt();
bool interrupted();

}  // namespace zantric::cli
