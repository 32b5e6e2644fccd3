// Progress: the bar on standard error while rendering.
// Shown only when a person watches a terminal, so that logs and pipes stay clean. Main thread only.
#pragma once

#include <cstdint>

namespace reelstop::offline {

class Progress {
 public:
  Progress(int64_t totalFrames, bool enabled);
  void update(int64_t framesDone);
  // Clears the bar.
  void finish();

 private:
  int64_t mTotalFrames;
  bool mEnabled;
  int mShownPercent = -1;
};

}  // namespace reelstop::offline
