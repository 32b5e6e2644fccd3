// The CatchUp landing's set-up: how much lag a landing of a given length can take back.
#include "catch_up.h"

namespace reelstop {
namespace {

constexpr int kLandingCheckPoints = 64;

}  // namespace

double CatchUpLanding::begin(double startSpeed, double rampSamples, double startLag) {
  const double L = rampSamples;
  mLength = L;
  mSlope = (1.0 - startSpeed) * L;

  // The largest starting lag the curve can absorb: at each candidate the landing speed
  // 1 - lag'(t) / L reaches exactly 2.0.
  double largestLag = 1e300;
  for (int k = 1; k < kLandingCheckPoints; ++k) {
    const double t = static_cast<double>(k) / kLandingCheckPoints;
    const double candidate = (L + mSlope * (3.0 * t * t - 4.0 * t + 1.0)) / (6.0 * t - 6.0 * t * t);
    largestLag = std::min(largestLag, candidate);
  }
  largestLag = std::max(0.0, largestLag);
  mLag = startLag > largestLag ? largestLag : startLag;
  return mLag;
}

}  // namespace reelstop
