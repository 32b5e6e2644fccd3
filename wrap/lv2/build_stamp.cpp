// The build stamp: compiled once and linked into both binaries, so they agree exactly when they
// come from the same build.
#include <cstdio>

#include "editor_boundary.h"

namespace reelstop::lv2 {

BuildStamp buildStamp() {
  BuildStamp stamp{};
  std::snprintf(stamp.data(), stamp.size(), "reelstop %s %s %s", REELSTOP_BUILD_TOKEN, __DATE__, __TIME__);
  return stamp;
}

}  // namespace reelstop::lv2
