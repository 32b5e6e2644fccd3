// The built-in demo signal: a deterministic stereo groove of drums, bass and a chord pad.
// Clear hits and sustained tones make stops, scratches and spin-ups easy to hear.
#pragma once

#include "audio_stream.h"

namespace reelstop::offline {

constexpr double kDemoTempoBpm = 120.0;
constexpr int kDemoRateHz = 48000;
constexpr double kDemoSeconds = 8.0;

// Four-bar loop of A minor, F, C, G in 4/4 at tempoBpm, repeated to fill the length.
Audio makeDemoGroove(int sampleRateHz, double seconds, double tempoBpm);

}  // namespace reelstop::offline
