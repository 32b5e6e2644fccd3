// The C interface's opaque handle is the address of its TapeEngine; these are the only casts
// between the two.
#pragma once

#include "reelstop_engine.h"
#include "tape_engine.h"

namespace reelstop {

inline TapeEngine* engineOf(rs_handle handle) { return reinterpret_cast<TapeEngine*>(handle); }

inline rs_handle handleOf(TapeEngine* engine) { return reinterpret_cast<rs_handle>(engine); }

}  // namespace reelstop
