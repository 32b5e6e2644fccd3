// Pure helpers shared by the speed laws: the output level, argument guards, the Bezier curve.
#pragma once

#include <algorithm>
#include <cmath>

namespace reelstop {

// Smoothstep of |speed| over 0..6 %: the tape fades out towards standstill and is silent there.
inline double tapeLevel(double speed) {
  const double g = std::min(1.0, std::fabs(speed) / 0.06);
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

// Ramp time of a Bezier point with inner control points at x1 and x2, for curve parameter s.
inline double bezierX(double s, double x1, double x2) {
  const double u = 1.0 - s;
  return 3.0 * u * u * s * x1 + 3.0 * u * s * s * x2 + s * s * s;
}

inline double bezierY(double s, double y0, double y1, double y2, double y3) {
  const double u = 1.0 - s;
  return u * u * u * y0 + 3.0 * u * u * s * y1 + 3.0 * u * s * s * y2 + s * s * s * y3;
}

}  // namespace reelstop
