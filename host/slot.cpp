// Tearing down a slot in dependency order: the engine needs its library, the library its file.
#include "slot.h"

#include <dlfcn.h>

#include <cstdio>

namespace reelstop {

Slot::~Slot() {
  if (engine != nullptr) api.destroy(engine);
  if (library != nullptr) dlclose(library);
  if (!tempPath.empty()) std::remove(tempPath.c_str());
}

}  // namespace reelstop
