// EngineApi: the eighteen entry points of one tape engine, built in or loaded from a library.
// Audio thread: calls through a filled table are the engine's own (allocation-free but for
// create and destroy); filling a table (builtInApi, bindApi) is main thread only.
#pragma once

#include <cstdint>

#include "reelstop_engine.h"

namespace reelstop {

// The interface version of reelstop_engine.h that this host calls.
constexpr int32_t kEngineAbiVersion = RS_ABI_VERSION;

// A declarator cannot be parenthesised.
#define RS_TABLE_ENTRY(name) decltype(&rs_##name) name = nullptr;  // NOLINT(bugprone-macro-parentheses)
struct EngineApi {
  RS_ENTRY_POINTS(RS_TABLE_ENTRY)
};
#undef RS_TABLE_ENTRY

// The table of the engine linked into this process.
EngineApi builtInApi();

// Fills the table from a dlopen handle in table order; false when rs_abi_version is missing or
// does not report kEngineAbiVersion, or when any other entry is missing (the table may then be
// partly filled).
bool bindApi(void* library, EngineApi& api);

}  // namespace reelstop
