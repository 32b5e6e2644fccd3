// Pure helpers shared by the speed laws: the output level and argument guards.
#pragma once

#include <algorithm>
#include <cmath>

namespace reelstop {

// Smoothstep of |speed| over 0..6 %: the tape fades out towards standstill and is silent there.
inline double tapeLevel(double speed) {
  const double magnitude = std::fabs(speed);
  if (magnitude >= 0.06) return 1.0;  // the common case, without the division's latency
  const double g = std::min(1.0, magnitude / 0.06);
  return g * g * (3.0 - 2.0 * g);
}

inline bool isSilent(double speed) { return tapeLevel(speed) < 0.0001; }

// max(value, floor) that also maps NaN to the floor, so no argument can poison the engine.
inline double atLeast(double value, double floor) { return value >= floor ? value : floor; }

// Ramp lengths below one sample, NaN or infinite, count as one sample: an endless ramp would
// make the platter solvers simulate forever on the audio thread.
inline double usableRampLength(double samples) { return std::isfinite(samples) && samples >= 1.0 ? samples : 1.0; }

// A grid of 0 or less, or one that is not finite, means no grid.
inline bool hasGrid(double grid) { return std::isfinite(grid) && grid > 0.0; }

// Clamp that maps NaN to `fallback`.
inline double heldIn(double value, double lo, double hi, double fallback) {
  if (std::isnan(value)) return fallback;
  return std::clamp(value, lo, hi);
}

}  // namespace reelstop
