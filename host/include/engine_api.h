// EngineApi: the eighteen entry points of one tape engine, built in or loaded from a library.
// Audio thread: calls through a filled table are the engine's own (allocation-free but for
// create and destroy); filling a table (builtInApi, bindApi) is main thread only.
#pragma once

#include <cstdint>

#include "reelstop_engine.h"

namespace reelstop {

// The interface version of reelstop_engine.h that this host calls.
constexpr int32_t kEngineAbiVersion = 3;

struct EngineApi {
  decltype(&rs_abi_version) abi_version = nullptr;
  decltype(&rs_build_id) build_id = nullptr;
  decltype(&rs_latency) latency = nullptr;
  decltype(&rs_create) create = nullptr;
  decltype(&rs_destroy) destroy = nullptr;
  decltype(&rs_process) process = nullptr;
  decltype(&rs_engage) engage = nullptr;
  decltype(&rs_release) release = nullptr;
  decltype(&rs_set_varispeed) set_varispeed = nullptr;
  decltype(&rs_begin_scratch) begin_scratch = nullptr;
  decltype(&rs_set_scratch_target) set_scratch_target = nullptr;
  decltype(&rs_is_scratching) is_scratching = nullptr;
  decltype(&rs_speed) speed = nullptr;
  decltype(&rs_lag) lag = nullptr;
  decltype(&rs_engage_shaped) engage_shaped = nullptr;
  decltype(&rs_release_shaped) release_shaped = nullptr;
  decltype(&rs_engage_platter) engage_platter = nullptr;
  decltype(&rs_release_platter) release_platter = nullptr;
};

// The table of the engine linked into this process.
EngineApi builtInApi();

// Fills the table from a dlopen handle in table order; false when rs_abi_version is missing or
// does not report kEngineAbiVersion, or when any other entry is missing (the table may then be
// partly filled).
bool bindApi(void* library, EngineApi& api);

}  // namespace reelstop
