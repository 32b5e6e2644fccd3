// The offline host's transport: song position, last bar line, tempo and running state per block.
#include "transport.h"

#include <cmath>

namespace reelstop::offline {
namespace {
constexpr double kBarLineToleranceBars = 1e-9;
}

Transport::Transport(const TransportSettings& settings) : mSettings(settings), mAnchorBeats(settings.startBeats) {}

void Transport::setTempo(double bpm) {
  reanchor();
  mSettings.tempoBpm = bpm;
}

void Transport::setPlaying(bool playing) {
  reanchor();
  mSettings.playing = playing;
}

double Transport::positionBeats() const {
  // Counted from the anchor rather than summed per block, so thousands of blocks add no drift.
  if (!mSettings.playing || !mSettings.tempoBpm) return mAnchorBeats;
  return mAnchorBeats + static_cast<double>(mFramesSinceAnchor) * *mSettings.tempoBpm / 60.0 / mSettings.sampleRateHz;
}

void Transport::reanchor() {
  mAnchorBeats = positionBeats();
  mFramesSinceAnchor = 0;
}

frame::ITimeInfo Transport::blockInfo() const {
  frame::ITimeInfo info;
  info.mNumerator = mSettings.meterNumerator;
  info.mDenominator = mSettings.meterDenominator;
  info.mTransportIsRunning = mSettings.playing;
  if (mSettings.tempoBpm) {
    const double barBeats = mSettings.meterNumerator * 4.0 / mSettings.meterDenominator;
    info.mTempo = *mSettings.tempoBpm;
    info.mPPQPos = positionBeats();
    // A position a rounding error short of a bar line is on it.
    info.mLastBar = std::floor(info.mPPQPos / barBeats + kBarLineToleranceBars) * barBeats;
  }
  return info;
}

void Transport::advance(int nFrames) { mFramesSinceAnchor += nFrames; }

}  // namespace reelstop::offline
