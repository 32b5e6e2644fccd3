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
  return {&rs_abi_version,
          &rs_build_id,
          &rs_latency,
          &rs_create,
          &rs_destroy,
          &rs_process,
          &rs_engage,
          &rs_release,
          &rs_set_varispeed,
          &rs_begin_scratch,
          &rs_set_scratch_target,
          &rs_is_scratching,
          &rs_speed,
          &rs_lag,
          &rs_engage_shaped,
          &rs_release_shaped,
          &rs_engage_platter,
          &rs_release_platter};
}

bool bindApi(void* library, EngineApi& api) {
  // A library of another interface version may give the same names other meanings: check first.
  if (!bindEntry(library, "rs_abi_version", api.abi_version) || api.abi_version() != kEngineAbiVersion) return false;
  return bindEntry(library, "rs_build_id", api.build_id) && bindEntry(library, "rs_latency", api.latency) &&
         bindEntry(library, "rs_create", api.create) && bindEntry(library, "rs_destroy", api.destroy) &&
         bindEntry(library, "rs_process", api.process) && bindEntry(library, "rs_engage", api.engage) &&
         bindEntry(library, "rs_release", api.release) && bindEntry(library, "rs_set_varispeed", api.set_varispeed) &&
         bindEntry(library, "rs_begin_scratch", api.begin_scratch) &&
         bindEntry(library, "rs_set_scratch_target", api.set_scratch_target) &&
         bindEntry(library, "rs_is_scratching", api.is_scratching) && bindEntry(library, "rs_speed", api.speed) &&
         bindEntry(library, "rs_lag", api.lag) && bindEntry(library, "rs_engage_shaped", api.engage_shaped) &&
         bindEntry(library, "rs_release_shaped", api.release_shaped) &&
         bindEntry(library, "rs_engage_platter", api.engage_platter) &&
         bindEntry(library, "rs_release_platter", api.release_platter);
}

}  // namespace reelstop
