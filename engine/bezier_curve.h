// The Bezier ramp curve: ramp time x(s) and value y(s) of its parameter s, and the fast search
// for the s that belongs to a ramp time.
// Audio thread: pure arithmetic, no allocation.
#pragma once

namespace reelstop {

// Ramp time of the curve with inner control points at x1 and x2, for curve parameter s.
inline double bezierX(double s, double x1, double x2) {
  const double u = 1.0 - s;
  return 3.0 * u * u * s * x1 + 3.0 * u * s * s * x2 + s * s * s;
}

inline double bezierY(double s, double y0, double y1, double y2, double y3) {
  const double u = 1.0 - s;
  return u * u * u * y0 + 3.0 * u * u * s * y1 + 3.0 * u * s * s * y2 + s * s * s * y3;
}

// The s of ramp time t exactly as 24 halvings of [0, 1] find it: the middle of the 2^-24 step in
// which x(s) reaches t. Newton's method from `guess` finds the step, two evaluations confirm it;
// `guess` returns the root, a good start for the next, slightly later t.
double bezierParameter(double t, double x1, double x2, double& guess);

}  // namespace reelstop
