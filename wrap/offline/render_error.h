// RenderError: a request reelstop-render refuses.
// main prints its message on one line and exits with status 2.
#pragma once

#include <stdexcept>

namespace reelstop::offline {

struct RenderError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

}  // namespace reelstop::offline
