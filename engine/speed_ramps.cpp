// Stops and starts drawn as curves of time: plain power ramps and Bezier ramps.
#include "speed_ramps.h"

#include "bezier_curve.h"
#include "ramp_math.h"

namespace reelstop {
namespace {

constexpr double kLn2 = 0.69314718055994530942;
constexpr double kPitchOffset = 0.06;  // log2(speed + 0.06) stays finite at standstill
constexpr int kShapeLagPoints = 512;
constexpr double kSettleLowestX2 = 0.02;
constexpr double kSettleHighestX2 = 0.98;
constexpr int kSettleBisections = 18;

// Curve -1 .. +1 becomes the exponent 1/3 .. 3 of the power ramps.
double curveToExponent(double curve) { return std::pow(3.0, heldIn(curve, -1.0, 1.0, 0.0)); }

}  // namespace

void PowerRamp::begin(double fromSpeed, double curve, bool towardsPlaying) {
  mFrom = fromSpeed;
  mExponent = curveToExponent(curve);
  mTowardsPlaying = towardsPlaying;
}

// The last two control points land flat; the first inner one bends at most a quarter of the
// curve's height, so a fast trend cannot overshoot.
void BezierRamp::begin(const RampShape& shape, bool towardsPlaying, double speed, double accel, double rampSamples) {
  mTowardsPlaying = towardsPlaying;
  mLength = rampSamples;
  mX1 = shape.easeIn < 0.0 ? 0.0 : std::min(1.0, shape.easeIn);
  mX2 = shape.easeOut < 0.0 ? 1.0 : 1.0 - std::min(1.0, shape.easeOut);
  mPitch = speed >= 0.0 && shape.pitch;
  double slopeFactor = 1.0;  // d(curve value) / d(speed) at the present speed
  if (mPitch) {
    const double base = std::max(0.0, speed) + kPitchOffset;
    mY0 = std::log2(base);
    slopeFactor = 1.0 / (base * kLn2);
    mY3 = towardsPlaying ? std::log2(1.0 + kPitchOffset) : std::log2(kPitchOffset);
  } else {
    mY0 = speed;
    mY3 = towardsPlaying ? 1.0 : 0.0;
  }
  mY2 = mY3;
  const double quarterHeight = std::fabs(mY3 - mY0) / 4.0;
  const double slope = std::clamp(mLength * mX1 * accel * slopeFactor, -quarterHeight, quarterHeight);
  mY1 = mY0 + slope;
}

// `guess` carries the curve parameter from one call to the next, so a ramp that moves on by one
// sample finds its new parameter in a step or two.
double BezierRamp::curveSpeed(double t, double& guess) const {
  const double s = bezierParameter(t, mX1, mX2, guess);
  const double y = bezierY(s, mY0, mY1, mY2, mY3);
  return mPitch ? std::exp2(y) - kPitchOffset : y;
}

double BezierRamp::speedAt(double t) {
  if (!mTowardsPlaying) return t >= 1.0 ? 0.0 : std::max(0.0, curveSpeed(t, mGuess));
  return curveSpeed(std::min(1.0, t), mGuess);
}

double BezierRamp::lostSamples() const {
  double lost = 0.0;
  double guess = 0.0;
  for (int i = 0; i < kShapeLagPoints; ++i) {
    const double t = (i + 0.5) / kShapeLagPoints;
    lost += 1.0 - std::min(1.0, curveSpeed(t, guess));
  }
  return lost * mLength / kShapeLagPoints;
}

void BezierRamp::settleOnGrid(double lag, double grid) {
  const double kept = mX2;
  auto endLag = [this, lag](double x2) {
    mX2 = x2;
    return lostSamples() + lag;
  };
  const double highest = endLag(kSettleHighestX2);
  const double lowest = endLag(kSettleLowestX2);
  const double target = std::round(endLag(kept) / grid) * grid;
  if (lowest > target || target > highest || target <= 0.0) return;  // endLag(kept) restored mX2

  double lo = kSettleLowestX2;
  double hi = kSettleHighestX2;
  for (int i = 0; i < kSettleBisections; ++i) {
    const double mid = (lo + hi) / 2.0;
    (endLag(mid) < target ? lo : hi) = mid;
  }
  mX2 = (lo + hi) / 2.0;
}

}  // namespace reelstop
