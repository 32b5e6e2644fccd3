// Tempo state and the four timing functions.
#include "grid_timing.h"

#include <algorithm>
#include <cmath>

#include "choices.h"

namespace reelstop {
namespace {

constexpr double kBarSecondsWithoutTempo = 1.8;
constexpr double kGridTolerance = 1e-9;
constexpr double kWholeSampleTolerance = 1e-6;

// value + k * step for the smallest whole k >= 0 that reaches least, counted a step at a time; a
// target absurdly far off jumps there at once, so no transport can stall the audio thread.
double stepUntil(double value, double step, double least) {
  constexpr int kCountedSteps = 1024;
  for (int i = 0; i < kCountedSteps && least > value; ++i) value += step;
  if (least > value) value += std::ceil((least - value) / step) * step;
  return value;
}

// A length meant to end on a grid line that falls on a whole sample must not miss it by a
// rounding error: the engine ends a ramp on the first whole sample at or past its length.
double onWholeSample(double samples) {
  const double whole = std::round(samples);
  return std::fabs(samples - whole) < kWholeSampleTolerance ? whole : samples;
}

}  // namespace

void GridTiming::readTransport(const frame::ITimeInfo& transport, bool standalone) {
  // A tempo or position that is not a finite number is treated as none: it would poison every
  // length computed from it.
  if (transport.mTempo > 0.0 && std::isfinite(transport.mTempo)) {
    hostTempo = !standalone;
    tempo = std::max(transport.mTempo, 1.0);
  } else {
    hostTempo = false;
  }
  if (transport.mNumerator > 0 && transport.mDenominator > 0) {
    beatsPerBar = transport.mNumerator * 4.0 / transport.mDenominator;
  }
  if (transport.mTransportIsRunning) {
    const bool hasPosition = transport.mPPQPos != -1.0 && std::isfinite(transport.mPPQPos);
    songPlaying = hasPosition;
    if (hasPosition) {
      blockPpq = transport.mPPQPos;
      const bool hasBar = transport.mLastBar != -1.0 && std::isfinite(transport.mLastBar);
      barStartPpq = hasBar ? transport.mLastBar : 0.0;
    }
  } else {
    songPlaying = false;
  }
}

double GridTiming::samplesPerTurn(int turn) const {
  const double bar = hostTempo ? samplesPerBeat() * beatsPerBar : kBarSecondsWithoutTempo * sampleRate;
  return chosen(kTurnChoices, turn).count * bar;
}

double GridTiming::rampSamples(double timeMs, int sync) const {
  double seconds = timeMs / 1000.0;
  if (sync > 0) seconds = chosen(kSyncChoices, sync).beats(beatsPerBar) * 60.0 / tempo;
  return std::min(seconds, 10.0) * sampleRate;
}

double GridTiming::snapGridBeats(int snap) const { return chosen(kSnapChoices, snap).beats(beatsPerBar); }

double GridTiming::reentryGridBeats(int snap) const { return songPlaying ? snapGridBeats(snap) : 0.0; }

double GridTiming::autoStopSamples(int offset, int snap) const {
  double beats = 1.0;
  if (songPlaying && snapGridBeats(snap) > 0.0) {
    const double pos = offset * beatsPerSample() + blockPpq;
    // The whole beat, counted from the bar line, nearest to one beat after the stop begins, and
    // at least half a beat away.
    const double nearest = std::round(1.0 + pos - barStartPpq) + barStartPpq;
    beats = stepUntil(nearest, 1.0, pos + 0.5 - kGridTolerance) - pos;
    return std::min(onWholeSample(beats / beatsPerSample()), rampCapSamples());
  }
  return std::min(beats / beatsPerSample(), rampCapSamples());
}

double GridTiming::startSamplesOnGrid(int offset, double length, double minimum, int snap) const {
  double beats = std::max(length, minimum) * beatsPerSample();
  const double grid = songPlaying ? snapGridBeats(snap) : 0.0;
  if (grid > 0.0) {
    const double pos = offset * beatsPerSample() + blockPpq;
    // The grid line nearest the requested end, but never less than half the requested length.
    const double nearest = std::round((beats + pos - barStartPpq) / grid) * grid + barStartPpq;
    beats = stepUntil(nearest, grid, beats * 0.5 + pos - kGridTolerance) - pos;
    beats = stepUntil(beats, grid, minimum * beatsPerSample());
    return std::min(onWholeSample(beats / beatsPerSample()), rampCapSamples());
  }
  return std::min(beats / beatsPerSample(), rampCapSamples());
}

}  // namespace reelstop
