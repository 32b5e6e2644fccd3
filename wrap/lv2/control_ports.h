// ControlPorts: the control input ports, copied into their parameters only when the host moved
// them, so that a port and a restored state chunk never fight over a value.
// Threads: pull runs on the audio thread (run) and in save, takeHostValue on the editor's thread;
// connect, start and restored run in the instantiation class, never at the same time as run (the
// LV2 threading rules). The values they share are atomics, so none can see a torn one.
#pragma once

#include <atomic>
#include <memory>
#include <vector>

#include "frame/plugin.h"

namespace reelstop::lv2 {

class ControlPorts {
 public:
  explicit ControlPorts(int paramCount);

  void connect(int paramIdx, const float* port) { mPorts[static_cast<size_t>(paramIdx)] = port; }

  // The parameters' own values count as written: a port left at its default changes nothing.
  void start(const frame::Plugin& plugin);
  // Copies each port whose value moved into its parameter. Never allocates or locks.
  void pull(frame::Plugin& plugin);
  // A host's value for the port that an editor heard first: true when pull would copy it, and
  // then it counts as copied. Main thread.
  bool takeHostValue(int paramIdx, float value);
  // After a state restore: the restored values count as written, and until the next pull so do
  // the values the ports had before, so that a state without port values (a preset of the chunk
  // alone) is not undone by ports the host left as they were.
  void restored(const frame::Plugin& plugin);

 private:
  std::vector<const float*> mPorts;
  // The value last copied from or written through each port.
  std::unique_ptr<std::atomic<float>[]> mLast;
  // Until the next pull after a restore, each port's last value from before it; NaN otherwise.
  std::unique_ptr<std::atomic<float>[]> mBeforeRestore;
};

}  // namespace reelstop::lv2
