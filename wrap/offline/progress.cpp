// The terminal progress bar.
#include "progress.h"

#include <cstdio>
#include <string>

namespace reelstop::offline {
namespace {
constexpr int kBarWidth = 40;
}

Progress::Progress(int64_t totalFrames, bool enabled) : mTotalFrames(totalFrames), mEnabled(enabled) {}

void Progress::update(int64_t framesDone) {
  if (!mEnabled || mTotalFrames <= 0) return;
  const int percent = static_cast<int>(100 * framesDone / mTotalFrames);
  // Redrawn once per percent: a terminal write per block would cost more than the block.
  if (percent == mShownPercent) return;
  mShownPercent = percent;
  const int filled = percent * kBarWidth / 100;
  const std::string bar =
      std::string(static_cast<size_t>(filled), '#') + std::string(static_cast<size_t>(kBarWidth - filled), '.');
  std::fprintf(stderr, "\rrendering [%s] %3d%%", bar.c_str(), percent);
  std::fflush(stderr);
}

void Progress::finish() {
  if (mEnabled && mShownPercent >= 0) std::fprintf(stderr, "\r%*s\r", kBarWidth + 20, "");
}

}  // namespace reelstop::offline
