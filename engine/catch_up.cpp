// Bringing a start back to the live signal: the CatchUp landing curve and grid alignment.
#include <algorithm>
#include <cmath>

#include "ramp_math.h"
#include "tape_engine.h"

namespace reelstop {
namespace {

constexpr int kLandingCheckPoints = 64;
constexpr double kSettleLowestX2 = 0.02;
constexpr double kSettleHighestX2 = 0.98;
constexpr int kSettleBisections = 18;

}  // namespace

// Cubic lag from (alignLag, start speed) at t = 0 to (0, speed 1) at t = 1.
double TapeEngine::landingLag(double t) const {
  const double u = 1.0 - t;
  return std::max(0.0, alignLag * (1.0 + 2.0 * t) * u * u + alignSlope * t * u * u);
}

double TapeEngine::landingSpeed(double t) const {
  const double lagChange = alignLag * (6.0 * t * t - 6.0 * t) + alignSlope * (3.0 * t * t - 4.0 * t + 1.0);
  return 1.0 - lagChange / rampLength;
}

void TapeEngine::setUpCatchUp() {
  const double L = rampLength;
  alignSlope = (1.0 - startSpeed) * L;
  const bool fromLive = silentStop();
  const double startLag = fromLive ? 0.0 : livePos() - readPos;

  // The largest starting lag the curve can absorb: at each candidate the landing speed
  // 1 - lag'(t) / L reaches exactly 2.0.
  double largestLag = 1e300;
  for (int k = 1; k < kLandingCheckPoints; ++k) {
    const double t = static_cast<double>(k) / kLandingCheckPoints;
    const double candidate = (L + alignSlope * (3.0 * t * t - 4.0 * t + 1.0)) / (6.0 * t - 6.0 * t * t);
    largestLag = std::min(largestLag, candidate);
  }
  largestLag = std::max(0.0, largestLag);

  if (startLag > largestLag) {
    jumpHead(livePos() - largestLag);
    alignLag = largestLag;
    return;
  }
  alignLag = startLag;
  if (fromLive) readPos = livePos();
}

// How far behind the live position a silent tape restarts, so that after losing
// lagDuringStart on the way up it ends a whole number of grid steps behind.
double TapeEngine::gridRestartOffset(double lagDuringStart, double grid) const {
  const double offset = std::ceil(lagDuringStart / grid) * grid - lagDuringStart;
  return lagDuringStart + offset > maxLag ? 0.0 : offset;
}

// Moves the Bezier start's second control point so the moving tape ends its start a whole
// number of grid steps behind: the closing crossfade then jumps in rhythm.
void TapeEngine::alignSettle(double lag, double grid) {
  const double kept = bezX2;
  auto endLag = [this, lag](double x2) {
    bezX2 = x2;
    return shapeLag() + lag;
  };
  const double highest = endLag(kSettleHighestX2);
  const double lowest = endLag(kSettleLowestX2);
  const double target = std::round(endLag(kept) / grid) * grid;
  if (lowest > target || target > highest || target <= 0.0) return;  // endLag(kept) restored bezX2

  double lo = kSettleLowestX2;
  double hi = kSettleHighestX2;
  for (int i = 0; i < kSettleBisections; ++i) {
    const double mid = (lo + hi) / 2.0;
    (endLag(mid) < target ? lo : hi) = mid;
  }
  bezX2 = (lo + hi) / 2.0;
}

}  // namespace reelstop
