// The --help text of reelstop-render.
#pragma once

#include <cstdio>

namespace reelstop::offline {

void printUsage(std::FILE* out);

}  // namespace reelstop::offline
