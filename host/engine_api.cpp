// Filling the engine function table: from this process's engine or from a loaded library.
#include "engine_api.h"

#include <dlfcn.h>

namespace reelstop {

namespace {

template <typename Function>
bool bindEntry(void* library, const char* name, Function& entry) {
  entry = reinterpret_cast<Function>(dlsym(library, name));
  return entry != nullptr;
}

}  // namespace

EngineApi builtInApi() {
  EngineApi api;
#define RS_BUILT_IN_ENTRY(name) api.name = &rs_##name;
  RS_ENTRY_POINTS(RS_BUILT_IN_ENTRY)
#undef RS_BUILT_IN_ENTRY
  return api;
}

bool bindApi(void* library, EngineApi& api) {
  // A library of another interface version may give the same names other meanings: check first.
  if (!bindEntry(library, "rs_abi_version", api.abi_version) || api.abi_version() != kEngineAbiVersion) return false;
  bool bound = true;
#define RS_LIBRARY_ENTRY(name) bound = bound && bindEntry(library, "rs_" #name, api.name);
  RS_ENTRY_POINTS(RS_LIBRARY_ENTRY)
#undef RS_LIBRARY_ENTRY
  return bound;
}

}  // namespace reelstop
