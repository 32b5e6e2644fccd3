// How far the platter can move in a number of steps under any brake or motor up to a strength,
// widened for the rounding of the runs.
#include "platter_bounds.h"

#include <cmath>

#include "platter_model.h"

namespace reelstop {
namespace {

constexpr double kLargestUnskippableStep = 0.006;  // a smaller speed change cannot jump the arrival band

// Whether no motor of pull up to `pull` can step over the arrival band, wider than any smaller
// speed change. Seen from the side the platter starts on, the acceleration towards the band
// moves from its start towards targets of at most `pull`, so after n steps it is at most
// pull + (toward - pull)(1 - response)^n: below the band's width at once, or after a decay during
// which the speed must stay clear of the band. The platter only reaches the far side through
// the band, where it arrives.
bool cannotJumpBand(double speed, double accel, double response, double pull) {
  const double width = kLargestUnskippableStep * (1.0 - 1e-6);  // room for rounding on the way
  const double toward = speed < 1.0 ? accel : -accel;
  if (!(pull < width)) return false;
  if (toward < width) return true;
  const double decaySteps = std::ceil(std::log((width - pull) / (toward - pull)) / std::log1p(-response)) + 2.0;
  const double travel = (decaySteps * pull + (toward - pull) / response) * (1.0 + 1e-6) + 1e-6;
  return travel < std::fabs(1.0 - speed) - 2.0 * kArrivalTolerance;
}

constexpr double kWiden = 1.0 + 1e-6;  // room for rounding in the bounds below

// How far the speed can move in n steps, at most, when the platter's inertia lets the
// acceleration change by at most response (strength + |accel|) a step towards targets of at most
// `strength`: n |accel| + response (strength + |accel|) n (n + 1) / 2, widened for rounding.
double heavyTravel(double speed, double accel, double response, double strength, double n) {
  const double start = std::fabs(accel);
  return (n * start + response * (strength + start) * n * (n + 1.0) / 2.0) * kWiden +
         n * 1e-14 * (std::fabs(speed) + 2.0);
}

// A motor run from (speed, accel) over n steps under any pull up to `pull`, seen from the side it
// starts on: until it reaches the band the motor asks for at least 0 and at most
// A = min(pull, widest gap / motorSamples), so with q = 1 - response the acceleration after k
// steps lies between q^k toward and q^k toward + (1 - q^k) A. A platter thrown away from normal
// speed thus first drifts further off by at most -toward q / (1 - q), and after k steps has come
// back at most toward S_k + A (k - S_k), S_k the sum of q^j for j = 1 .. k.
struct DirectedRun {
  double n;
  double response;
  double gap;
  double toward;
  double keptAll;                  // q / (1 - q), the sum of q^j for j >= 1
  double rounding;                 // how far the runs' rounding may take the speed from the real one
  double asked;                    // A, widened
  double keptLeast, keptMost;      // S_n
  double unkeptLeast, unkeptMost;  // n - S_n

  DirectedRun(double speed, double accel, double responsePerStep, double motorSamples, double steps, double pull)
      : n(steps),
        response(responsePerStep),
        gap(std::fabs(1.0 - speed)),
        toward(speed < 1.0 ? accel : -accel),
        keptAll((1.0 - responsePerStep) / responsePerStep),
        rounding(n * 1e-15 * (std::fabs(toward) + pull) / response +
                 n * 1e-14 * (std::fabs(speed) + gap + std::fabs(toward) * keptAll + 2.0)) {
    const double widestGap = (gap + std::fmax(0.0, -toward) * keptAll) * kWiden + rounding;
    asked = std::fmin(pull, widestGap / motorSamples) * kWiden;
    const double kept = keptAll * -std::expm1(n * std::log1p(-response));
    keptLeast = kept * (1.0 - 1e-12);
    keptMost = std::fmin(n, kept * (1.0 + 1e-12));
    // n - S_n <= response n (n + 1) / 2, as 1 - q^k <= k response.
    unkeptLeast = std::fmax(0.0, n - keptMost) / kWiden;
    unkeptMost = std::fmin(n - keptLeast, response * n * (n + 1.0) / 2.0) * kWiden;
  }

  // How far towards normal speed the platter can have moved after n steps, at most, and so after
  // any fewer: the bound, 0 at the start, is increasing or convex in the steps.
  double travel() const {
    const double back = asked * unkeptMost + (toward >= 0.0 ? toward * keptMost * kWiden : toward * keptLeast);
    return std::fmax(0.0, back) + rounding;
  }

  // The least sum of the speed gaps after steps 1 .. n: n gap less the sum of the bounds above,
  // where the sum of S_k is keptAll (n - S_n) and that of k - S_k at most
  // response n (n + 1) (n + 2) / 6.
  double summedGapLeast() const {
    const double triangle = n * (n + 1.0) / 2.0;
    const double keptSumMost = std::fmin(triangle, keptAll * unkeptMost * kWiden);
    const double keptSumLeast = keptAll * unkeptLeast / kWiden;
    const double unkeptSumMost = std::fmin(triangle - keptSumLeast, response * triangle * (n + 2.0) / 3.0) * kWiden;
    const double towardSum = toward >= 0.0 ? toward * keptSumMost * kWiden : toward * keptSumLeast;
    return n * (gap - rounding) - towardSum - asked * unkeptSumMost;
  }
};

}  // namespace

// Whether no brake up to `decel` can bring the platter to rest within `steps` steps.
bool cannotStop(double speed, double accel, double response, int64_t steps, double decel) {
  return speed - heavyTravel(speed, accel, response, decel, static_cast<double>(steps)) > 0.0;
}

// Whether no motor of pull up to `pull` can bring the platter to normal speed within `steps`
// steps: the platter is too heavy, or the motor too weak. The acceleration after k steps is the
// first one weighted (1 - response)^k plus what the motor asked for, at most the gap over
// motorSamples, so with T the furthest the speed moves,
// T <= |accel| / response + n (|gap| + T) / motorSamples.
bool cannotArrive(double speed, double accel, double response, double motorSamples, int64_t steps, double pull) {
  const auto n = static_cast<double>(steps);
  const double gap = std::fabs(1.0 - speed);
  double travel = std::fmin(heavyTravel(speed, accel, response, pull, n),
                            DirectedRun(speed, accel, response, motorSamples, n, pull).travel());
  if (n * kWiden < motorSamples) {
    const double share = n * kWiden / motorSamples;
    const double weak = (std::fabs(accel) / response + share * gap) / (1.0 - share);
    travel = std::fmin(travel, weak * kWiden + n * 1e-14 * (std::fabs(speed) + 2.0));
  }
  return gap - travel > kArrivalTolerance * kWiden;
}

// The largest pull, among highest and its halves, below which a stronger motor never does
// worse; 0 if none.
double monotoneCeiling(double speed, double accel, double response, double highest) {
  constexpr int kTries = 8;
  double pull = highest;
  for (int i = 0; i < kTries; ++i, pull /= 2.0) {
    if (cannotJumpBand(speed, accel, response, pull)) return pull;
  }
  return 0.0;
}

// Whether every motor run of pull up to `pull` builds up a lag beyond lagBound within `steps`
// steps. Each step adds the speed gap to the lag, rounded to the lag's places: at most 2^-12 off
// below 2^40. Over any first n steps in which the platter cannot arrive, the gaps sum to at least
// summedGapLeast; later steps may take away no more than rounding, under 2^-50 of the lag a step,
// which over fewer than 2^40 steps leaves more than 1 - 2^-10 of it.
bool lagBeyond(double speed, double accel, double response, double motorSamples, int64_t steps, double pull,
               double lagBound) {
  constexpr double kLongestRun = 1099511627776.0;  // 2^40 steps
  constexpr double kRoundingPerStep = 1.0 / 4096.0;
  constexpr double kKeptAfter = 1.0 - 1.0 / 1024.0;
  constexpr int kTries = 12;  // first n: all the steps and their halves
  if (!(speed < 1.0 && response > 0.0 && lagBound < kLongestRun / 2.0) || static_cast<double>(steps) >= kLongestRun) {
    return false;
  }
  const double beyond = lagBound * (1.0 + 1e-6) + 1.0;
  double n = static_cast<double>(steps);
  for (int i = 0; i < kTries && n >= 1.0; ++i, n = std::floor(n / 2.0)) {
    const DirectedRun run(speed, accel, response, motorSamples, n, pull);
    if (!(run.gap - run.travel() > kArrivalTolerance * kWiden)) continue;
    if ((run.summedGapLeast() - n * kRoundingPerStep) * kKeptAfter > beyond) return true;
  }
  return false;
}

}  // namespace reelstop
