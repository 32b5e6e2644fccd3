// Finding the Bezier parameter of a ramp time without 24 evaluations a sample.
#include "bezier_curve.h"

#include <cmath>

namespace reelstop {
namespace {

constexpr double kSteps = 16777216.0;  // 2^24: the resolution of the halving search
constexpr double kStep = 1.0 / kSteps;
constexpr int kMaxIterations = 64;  // each failed Newton step at least halves the bracket
constexpr double kNewtonTolerance = kStep / 64.0;

double bezierXSlope(double s, double x1, double x2) {
  const double u = 1.0 - s;
  return 3.0 * u * u * x1 + 6.0 * u * s * (x2 - x1) + 3.0 * s * s * (1.0 - x2);
}

// x(s) is monotone for inner points in [0, 1]; Newton inside a shrinking bracket, halving
// whenever a step would leave it.
double solveRamp(double t, double x1, double x2, double s) {
  double lo = 0.0;
  double hi = 1.0;
  for (int i = 0; i < kMaxIterations; ++i) {
    const double f = bezierX(s, x1, x2) - t;
    (f < 0.0 ? lo : hi) = s;
    const double slope = bezierXSlope(s, x1, x2);
    double next = slope > 0.0 ? s - f / slope : (lo + hi) / 2.0;
    if (!(next > lo && next < hi)) next = (lo + hi) / 2.0;
    const bool settled = std::fabs(next - s) < kNewtonTolerance;
    s = next;
    if (settled) break;
  }
  return s;
}

bool before(double k, double t, double x1, double x2) { return bezierX(k * kStep, x1, x2) < t; }

}  // namespace

double bezierParameter(double t, double x1, double x2, double& guess) {
  const double start = guess >= 0.0 && guess <= 1.0 ? guess : t;
  const double root = solveRamp(t, x1, x2, start);
  guess = root;
  // The halving search ends in the step [k, k + 1] / 2^24 whose left end is the last grid point
  // before t (k = 0 when there is none; the ends 0 and 1 are never tested).
  double k = std::floor(root * kSteps);
  if (k < 0.0) k = 0.0;
  if (k > kSteps - 1.0) k = kSteps - 1.0;
  while (k > 0.0 && !before(k, t, x1, x2)) k -= 1.0;
  while (k < kSteps - 1.0 && before(k + 1.0, t, x1, x2)) k += 1.0;
  return (k + 0.5) * kStep;
}

}  // namespace reelstop
