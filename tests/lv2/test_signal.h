// The test signal: deterministic noise within +-0.5, different in every sample and channel, so
// any move of the tape head shows, and far enough from full scale that no host clips it.
#pragma once

#include <cstdint>

#include "wav_file.h"

namespace reelstop::lv2::test {

inline float noiseSample(int64_t frame, int channel) {
  if (frame < 0) return 0.0f;
  // A 32-bit integer hash of frame and channel, scaled into +-0.5.
  auto x = static_cast<uint32_t>(frame * 2 + channel) * 0x9E3779B1u;
  x ^= x >> 15;
  x *= 0x85EBCA77u;
  x ^= x >> 13;
  return static_cast<float>(x) / 4294967296.0f - 0.5f;
}

// `frames` of the noise from frame `from`, in `channels` channels.
inline Signal noise(int channels, int frames, int64_t from = 0) {
  Signal signal(static_cast<size_t>(channels), std::vector<float>(static_cast<size_t>(frames)));
  for (int c = 0; c < channels; ++c) {
    for (int i = 0; i < frames; ++i) signal[static_cast<size_t>(c)][static_cast<size_t>(i)] = noiseSample(from + i, c);
  }
  return signal;
}

}  // namespace reelstop::lv2::test
