// The weighted platter (brake and motor acting through inertia) and the scratching hand's spring.
// Audio thread: every method is free of allocation; begin solves the platter on the spot.
#pragma once

#include <algorithm>

namespace reelstop {

struct PlatterFeel {
  double inertiaMs;  // time constant of the platter's acceleration following brake or motor
  double motorMs;    // the motor asks for the acceleration that closes the speed gap in this time
};

constexpr double kMaxScratchSpeed = 6.0;

// The acceleration follows what brake or motor asks for with the platter's inertia; the strength
// is solved at the start so the ramp takes the length asked for.
class PlatterRamp {
 public:
  void beginBrake(const PlatterFeel& feel, double sampleRate, double speed, double accel, double rampSamples);
  // Returns the lag the start builds up on its way to normal speed when withLag is set, else 0:
  // finding it costs a simulation of its own. A lag sure to exceed lagBound comes back infinite.
  double beginMotor(const PlatterFeel& feel, double sampleRate, double speed, double accel, double rampSamples,
                    bool withLag, double lagBound);

  // The speed after `speed`, reached with the last change `accel`, at ramp time t.
  double speedAfter(double speed, double accel, double t) const {
    if (mBraking) {
      // A braked platter at rest stays at rest: the step that stopped it is no push to carry on.
      if (!(speed > 0.0)) return 0.0;
      const double candidate = speed + accel + (-mLimit - accel) * mResponse;
      return candidate > 0.0 && t < 1.0 ? candidate : 0.0;
    }
    const double asked = std::clamp((1.0 - speed) / mMotorSamples, -mLimit, mLimit);
    return speed + accel + (asked - accel) * mResponse;
  }

 private:
  friend class EngineProbe;  // the tests' read-only view

  void setFeel(const PlatterFeel& feel, double sampleRate);

  bool mBraking = false;
  double mLimit = 0.0;  // speed per sample: brake deceleration, or the motor's largest pull
  double mResponse = 1.0;
  double mMotorSamples = 1.0;
};

// A critically damped spring with a 12 ms time constant pulls the head towards the hand, never
// past the live position nor further back than the tape reaches.
class ScratchSpring {
 public:
  void prepare(double sampleRate);
  void begin(double head) {
    mOrigin = head;
    mTarget = head;
  }
  void setTarget(double offsetSamples) { mTarget = mOrigin + offsetSamples; }

  double speedAfter(double speed, double head, double now, double maxLag) const {
    const double floor = now - maxLag;
    const double target = mTarget < floor ? floor : std::min(now, mTarget);
    const double w = mOmega;
    const double pull = w * w * (target - head) - 2.0 * w * speed;
    return std::clamp(speed + pull, -kMaxScratchSpeed, kMaxScratchSpeed);
  }

 private:
  friend class EngineProbe;  // the tests' read-only view

  double mOrigin = 0.0;
  double mTarget = 0.0;
  double mOmega = 0.0;  // per sample
};

}  // namespace reelstop
