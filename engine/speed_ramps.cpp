// Stops and starts drawn as curves of time: plain power ramps and Bezier ramps.
#include <algorithm>
#include <cmath>

#include "bezier_curve.h"
#include "ramp_math.h"
#include "tape_engine.h"

namespace reelstop {
namespace {

constexpr double kLn2 = 0.69314718055994530942;
constexpr double kPitchOffset = 0.06;  // log2(speed + 0.06) stays finite at standstill
constexpr int kShapeLagPoints = 512;

// Curve -1 .. +1 becomes the exponent 1/3 .. 3 of the power ramps.
double curveToExponent(double curve) { return std::pow(3.0, heldIn(curve, -1.0, 1.0, 0.0)); }

}  // namespace

bool TapeEngine::silentStop() const {
  return state == EngineState::Stopped || (state == EngineState::Stopping && isSilent(speed));
}

void TapeEngine::setUpPowerRamp(double rampSamples, double curve) {
  startSpeed = speed;
  rampLength = usableRampLength(rampSamples);
  rampElapsed = 0.0;
  curveExponent = curveToExponent(curve);
  platter = false;
  shaped = false;
}

void TapeEngine::engage(double rampSamples, double curve) {
  if (state == EngineState::Stopping || state == EngineState::Stopped) return;
  setUpPowerRamp(rampSamples, curve);
  state = EngineState::Stopping;
}

void TapeEngine::release(double rampSamples, double curve, StartMode mode) {
  if (state == EngineState::Playing || state == EngineState::Starting) return;
  startMode = mode;
  cutStarted = false;
  setUpPowerRamp(rampSamples, curve);
  if (mode == StartMode::CatchUp) {
    setUpCatchUp();
  } else if (silentStop()) {
    readPos = livePos();  // a silent tape restarts at the live signal
  }
  state = EngineState::Starting;
}

void TapeEngine::engageShaped(double rampSamples, const RampShape& shape) {
  if (state == EngineState::Stopping || state == EngineState::Stopped) return;
  rampLength = usableRampLength(rampSamples);
  rampElapsed = 0.0;
  shaped = true;
  platter = false;
  setUpBezier(shape, false);
  state = EngineState::Stopping;
}

void TapeEngine::releaseShaped(double rampSamples, const RampShape& shape, double grid) {
  if (state == EngineState::Playing || state == EngineState::Starting) return;
  startMode = StartMode::SpinUp;
  cutStarted = false;
  rampLength = usableRampLength(rampSamples);
  rampElapsed = 0.0;
  shaped = true;
  platter = false;
  setUpBezier(shape, true);
  if (silentStop()) {
    readPos = livePos() - (hasGrid(grid) ? gridRestartOffset(shapeLag(), grid) : 0.0);
  } else if (hasGrid(grid)) {
    alignSettle(livePos() - readPos, grid);
  }
  state = EngineState::Starting;
}

// The first inner control point continues the present trend of the speed, so a ramp that
// interrupts another one bends away from it without a kink; the last two land flat.
void TapeEngine::setUpBezier(const RampShape& shape, bool towardsPlaying) {
  bezX1 = shape.easeIn < 0.0 ? 0.0 : std::min(1.0, shape.easeIn);
  bezX2 = shape.easeOut < 0.0 ? 1.0 : 1.0 - std::min(1.0, shape.easeOut);
  pitchDomain = speed >= 0.0 && shape.pitch;
  double slopeFactor = 1.0;  // d(curve value) / d(speed) at the present speed
  if (pitchDomain) {
    const double base = std::max(0.0, speed) + kPitchOffset;
    bezY0 = std::log2(base);
    slopeFactor = 1.0 / (base * kLn2);
    bezY3 = towardsPlaying ? std::log2(1.0 + kPitchOffset) : std::log2(kPitchOffset);
  } else {
    bezY0 = speed;
    bezY3 = towardsPlaying ? 1.0 : 0.0;
  }
  bezY2 = bezY3;
  const double quarterHeight = std::fabs(bezY3 - bezY0) / 4.0;
  const double slope = std::clamp(rampLength * bezX1 * accel * slopeFactor, -quarterHeight, quarterHeight);
  bezY1 = bezY0 + slope;
}

double TapeEngine::plainRampSpeed() const {
  const double t = (rampElapsed + 1.0) / rampLength;
  if (state == EngineState::Stopping) {
    return t >= 1.0 ? 0.0 : startSpeed * (1.0 - std::pow(t, curveExponent));
  }
  return startSpeed + (1.0 - startSpeed) * std::pow(std::min(1.0, t), curveExponent);
}

double TapeEngine::bezierRampSpeed() {
  const double t = (rampElapsed + 1.0) / rampLength;
  if (state == EngineState::Stopping) {
    return t >= 1.0 ? 0.0 : std::max(0.0, bezierSpeedAt(t, bezGuess));
  }
  return bezierSpeedAt(std::min(1.0, t), bezGuess);
}

// Speed of the Bezier ramp at ramp time t; `guess` carries the curve parameter from one call to
// the next, so a ramp that moves on by one sample finds its new parameter in a step or two.
double TapeEngine::bezierSpeedAt(double t, double& guess) const {
  const double s = bezierParameter(t, bezX1, bezX2, guess);
  const double y = bezierY(s, bezY0, bezY1, bezY2, bezY3);
  return pitchDomain ? std::exp2(y) - kPitchOffset : y;
}

// Samples the head falls behind the live signal while the Bezier start plays; speeds above 1
// make up nothing.
double TapeEngine::shapeLag() const {
  double lost = 0.0;
  double guess = 0.0;
  for (int i = 0; i < kShapeLagPoints; ++i) {
    const double t = (i + 0.5) / kShapeLagPoints;
    lost += 1.0 - std::min(1.0, bezierSpeedAt(t, guess));
  }
  return lost * rampLength / kShapeLagPoints;
}

}  // namespace reelstop
