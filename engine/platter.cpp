// Setting up the weighted platter: its feel in samples and the brake or motor strength.
#include "platter.h"

#include <cmath>

#include "platter_solver.h"
#include "ramp_math.h"

namespace reelstop {
namespace {

constexpr double kScratchSpringSeconds = 0.012;

}  // namespace

void PlatterRamp::setFeel(const PlatterFeel& feel, double sampleRate) {
  const double inertiaSamples = atLeast(feel.inertiaMs, 0.1) * 0.001 * sampleRate;
  mResponse = 1.0 - std::exp(-1.0 / inertiaSamples);
  mMotorSamples = atLeast(0.001 * feel.motorMs * sampleRate, 1.0);
}

void PlatterRamp::beginBrake(const PlatterFeel& feel, double sampleRate, double speed, double accel,
                             double rampSamples) {
  mBraking = true;
  setFeel(feel, sampleRate);
  mLimit = solvePlatterBrake(speed, accel, mResponse, rampSamples);
}

double PlatterRamp::beginMotor(const PlatterFeel& feel, double sampleRate, double speed, double accel,
                               double rampSamples, bool withLag, double lagBound) {
  mBraking = false;
  setFeel(feel, sampleRate);
  const MotorSolution motor = solvePlatterMotor(speed, accel, mResponse, mMotorSamples, rampSamples, withLag, lagBound);
  mLimit = motor.limit;
  return motor.lagSamples;
}

void ScratchSpring::prepare(double sampleRate) { mOmega = 1.0 / (kScratchSpringSeconds * sampleRate); }

}  // namespace reelstop
