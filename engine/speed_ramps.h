// Stops and starts drawn as curves of ramp time t (0 at the call, 1 at the ramp's end): the plain
// power ramp and the Bezier ramp. Audio thread: pure arithmetic, no allocation.
#pragma once

#include <algorithm>
#include <cmath>

namespace reelstop {

struct RampShape {
  double easeIn;   // 0..1 of the ramp: how long the old speed holds before the new one takes hold
  double easeOut;  // 0..1 of the ramp: how gently the ramp lands on its final speed
  bool pitch;      // draw the curve in log2(speed + 0.06), even in musical pitch
};

// The speed leaves its value at the call along t^exponent, to standstill or to normal speed.
class PowerRamp {
 public:
  void begin(double fromSpeed, double curve, bool towardsPlaying);

  double speedAt(double t) const {
    if (!mTowardsPlaying) return t >= 1.0 ? 0.0 : mFrom * (1.0 - std::pow(t, mExponent));
    return mFrom + (1.0 - mFrom) * std::pow(std::min(1.0, t), mExponent);
  }

 private:
  double mFrom = 1.0;
  double mExponent = 1.0;
  bool mTowardsPlaying = false;
};

// A cubic Bezier curve of speed (or of pitch) over ramp time, its inner control points set by the
// ease-in and ease-out.
class BezierRamp {
 public:
  // The first inner control point continues the present trend of the speed (accel, per sample),
  // so a ramp that interrupts another one bends away from it without a kink.
  void begin(const RampShape& shape, bool towardsPlaying, double speed, double accel, double rampSamples);

  // Per sample: the search for the curve parameter starts from the last sample's.
  double speedAt(double t);

  // Samples the head falls behind the live signal while a start plays; speeds above 1 make up
  // nothing.
  double lostSamples() const;

  // Moves the second control point so a tape `lag` samples behind ends its start a whole number
  // of grid steps behind: the closing crossfade then jumps in rhythm.
  void settleOnGrid(double lag, double grid);

 private:
  friend class EngineProbe;  // the tests' read-only view

  double curveSpeed(double t, double& guess) const;

  double mX1 = 0.0;
  double mX2 = 1.0;
  double mY0 = 0.0;
  double mY1 = 0.0;
  double mY2 = 0.0;
  double mY3 = 0.0;
  bool mPitch = false;
  bool mTowardsPlaying = false;
  double mLength = 1.0;  // samples
  double mGuess = 0.0;   // curve parameter of the last sample: where the next search starts
};

}  // namespace reelstop
