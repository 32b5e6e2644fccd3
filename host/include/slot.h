// Slot: one tape engine together with what keeps it alive (its table, library and private copy).
// Main thread only: slots are made and destroyed there; the audio thread only calls through the
// active slot's table and never destroys one.
#pragma once

#include <string>

#include "engine_api.h"

namespace reelstop {

struct Slot {
  EngineApi api;
  rs_handle engine = nullptr;  // null until created
  void* library = nullptr;     // dlopen handle; null for the built-in engine
  std::string tempPath;        // the library's private copy; empty for the built-in engine
  std::string label;           // "built-in <build id>" or "dev <build id>"

  Slot() = default;
  // Never throws: destroys the engine, closes the library, then removes the private copy.
  ~Slot();
  Slot(const Slot&) = delete;
  Slot& operator=(const Slot&) = delete;
};

}  // namespace reelstop
