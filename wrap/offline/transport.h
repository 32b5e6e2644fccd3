// Transport: the host's musical clock for each block.
// From the command line and the timeline's play, stop and tempo events. Without a tempo there
// is no song position (-1), as from a host without a musical clock. Main thread only (the
// offline host's one thread).
#pragma once

#include <cstdint>
#include <optional>

#include "frame/time_info.h"

namespace reelstop::offline {

struct TransportSettings {
  double sampleRateHz = 48000.0;
  std::optional<double> tempoBpm;
  int meterNumerator = 4;
  int meterDenominator = 4;
  bool playing = false;
  double startBeats = 0.0;  // song position of the first sample, quarter notes
};

class Transport {
 public:
  explicit Transport(const TransportSettings& settings);

  void setTempo(double bpm);
  void setPlaying(bool playing);

  // The record for the block starting now.
  frame::ITimeInfo blockInfo() const;
  // The block of nFrames has been played.
  void advance(int nFrames);

 private:
  double positionBeats() const;
  // Folds the frames played so far into the anchor, before the tempo or the running state changes.
  void reanchor();

  TransportSettings mSettings;
  double mAnchorBeats;             // song position when the tempo or running state last changed
  int64_t mFramesSinceAnchor = 0;  // frames played since then
};

}  // namespace reelstop::offline
