// The signal flag and its handlers.
#include "interruption.h"

#include <csignal>
#include <initializer_list>

namespace reelstop::offline {
namespace {

volatile std::sig_atomic_t gSignal = 0;

extern "C" void noteSignal(int signal) { gSignal = signal; }

}  // namespace

void catchInterruptions() {
  struct sigaction action {};
  action.sa_handler = noteSignal;
  // Reads and writes carry on; the render loop stops at its next chunk.
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  for (const int signal : {SIGINT, SIGTERM}) sigaction(signal, &action, nullptr);
}

void throwIfInterrupted() {
  if (gSignal != 0) throw Interrupted{gSignal};
}

}  // namespace reelstop::offline
