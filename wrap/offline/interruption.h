// Ctrl-C and kill during a render: the signal only raises a flag; the render loop notices it
// between chunks and unwinds, so the staged output files are removed and nothing half-written
// is left behind. Main thread only (the offline host's one thread).
#pragma once

namespace reelstop::offline {

// Thrown where a render notices SIGINT or SIGTERM; main exits with 128 + signal.
struct Interrupted {
  int signal;
};

// Installs the handlers for SIGINT and SIGTERM.
void catchInterruptions();
// Throws Interrupted once a handled signal has arrived.
void throwIfInterrupted();

}  // namespace reelstop::offline
