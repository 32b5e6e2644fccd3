// Counts every allocation and release of the test process: linked into a test executable, it
// replaces the global operator new and delete, so a test can prove a stretch of code used neither.
#pragma once

namespace reelstop::test {

long allocationsSoFar();
long releasesSoFar();

}  // namespace reelstop::test
