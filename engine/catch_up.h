// The CatchUp landing: a start that glides the head back onto the live signal instead of cutting
// to it, its lag a cubic of ramp time. Audio thread: pure arithmetic, no allocation.
#pragma once

#include <algorithm>

namespace reelstop {

class CatchUpLanding {
 public:
  // A landing from `startLag` samples behind at `startSpeed` over rampSamples. Returns the lag it
  // starts from: startLag, or the largest lag the landing can absorb without running faster than 2.
  double begin(double startSpeed, double rampSamples, double startLag);

  // Cubic lag from (start lag, start speed) at t = 0 to (0, speed 1) at t = 1.
  double lagAt(double t) const {
    const double u = 1.0 - t;
    return std::max(0.0, mLag * (1.0 + 2.0 * t) * u * u + mSlope * t * u * u);
  }

  double speedAt(double t) const {
    const double lagChange = mLag * (6.0 * t * t - 6.0 * t) + mSlope * (3.0 * t * t - 4.0 * t + 1.0);
    return 1.0 - lagChange / mLength;
  }

 private:
  double mLag = 0.0;
  double mSlope = 0.0;   // samples of lag lost per unit of ramp time at t = 0
  double mLength = 1.0;  // samples
};

}  // namespace reelstop
