// The platter solvers. A stronger brake or motor never does worse, so a candidate weaker than one
// known to fail fails, and one stronger than one known to succeed succeeds. A closed-form
// prediction of the threshold names the two ends the halving should close in on; simulated side
// by side, they settle almost every candidate of the 28 halvings without a simulation of its own.
#include "platter_solver.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>

#include "platter_model.h"

namespace reelstop {
namespace {

constexpr int kPlatterBisections = 28;
constexpr double kArrivalTolerance = 0.003;        // speed within this of 1.0 counts as arrived
constexpr double kLargestStepCount = 4.0e18;       // keeps absurd ramp lengths a defined integer
constexpr double kLargestUnskippableStep = 0.006;  // a smaller speed change cannot jump the arrival band

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// What exact simulations have shown so far, for strengths up to a ceiling below which a stronger
// brake or motor never does worse.
class Evidence {
 public:
  explicit Evidence(double ceiling = kInfinity) : ceiling_(ceiling) {}
  // 1: fails, 0: succeeds, -1: unknown.
  int judge(double strength) const {
    if (strength > ceiling_) return -1;
    if (strength <= strongestFailing_) return 1;
    if (strength >= weakestSucceeding_) return 0;
    return -1;
  }
  void add(double strength, bool fails) {
    if (strength > ceiling_) return;
    if (fails) {
      strongestFailing_ = std::max(strongestFailing_, strength);
    } else {
      weakestSucceeding_ = std::min(weakestSucceeding_, strength);
    }
  }

 private:
  double ceiling_;
  double strongestFailing_ = -kInfinity;
  double weakestSucceeding_ = kInfinity;
};

struct Interval {
  double lo;
  double hi;
  double middle() const { return (lo + hi) / 2.0; }
};

// The interval left after 27 halvings of [0, highest] judged by `fails(candidate, interval,
// last)`; its middle is the 28th candidate, the solver's result. `last` marks the 27th halving.
template <typename Fails>
Interval halve(double highest, Fails fails) {
  Interval left{0.0, highest};
  for (int i = 1; i < kPlatterBisections; ++i) {
    const double mid = left.middle();
    (fails(mid, left, i + 1 == kPlatterBisections) ? left.lo : left.hi) = mid;
  }
  return left;
}

// The two strengths to simulate first: the ends of the interval that halving would leave if the
// prediction were exact. When the simulations agree with it, every candidate of the real halving
// lies at or beyond one of them and needs no simulation of its own.
Interval predictedEnds(double predicted, double highest) {
  return halve(highest, [predicted](double strength, const Interval&, bool) { return strength < predicted; });
}

// Adds c to v up to `count` times, v = v + c each time as a run does, stopping before an
// addition that would take v beyond `bound` (above it for c > 0, below it for c < 0); returns the
// additions made. Inside one binade every addition rounds c to the same multiple of the binade's
// spacing (unless c lies exactly halfway between two), so runs of additions are made at once;
// crossings into another binade, and zero, are single additions.
int64_t addRepeatedly(double& v, double c, int64_t count, double bound) {
  constexpr double kUnits = 9007199254740992.0;  // 2^53: spacings in a binade [2^e, 2^(e+1)) and one more
  int64_t done = 0;
  while (done < count) {
    const double next = v + c;
    if (c > 0.0 ? next > bound : next < bound) break;
    if (next == v) return count;  // too small to move v: nothing changes any more
    int exponent = 0;
    std::frexp(v, &exponent);
    const double spacing = std::ldexp(1.0, exponent - 53);
    const double units = std::fabs(v) / spacing;  // in [2^52, 2^53) for a normal v
    const double inUnits = c / spacing;
    const bool tie = inUnits - std::floor(inUnits) == 0.5;
    const double d = next - v;  // exact inside the binade
    int64_t run = 0;
    if (v != 0.0 && !tie && units >= kUnits / 2.0 && (next > 0.0) == (v > 0.0)) {
      const double stepUnits = std::fabs(d) / spacing;
      // Each exact sum must stay a unit inside the binade for the same rounding.
      const double room = (v > 0.0) == (c > 0.0) ? kUnits - 2.0 - units : units - kUnits / 2.0 - 2.0;
      const double byBound = std::floor((bound - v) / d);
      run = static_cast<int64_t>(
          std::fmin(std::fmin(std::floor(room / stepUnits), byBound), static_cast<double>(count - done)));
      while (run > 0 &&
             (c > 0.0 ? v + static_cast<double>(run) * d > bound : v + static_cast<double>(run) * d < bound)) {
        --run;
      }
    }
    if (run > 1) {
      v = v + static_cast<double>(run) * d;
      done += run;
    } else {
      v = next;
      ++done;
    }
  }
  return done;
}

// The brake has stopped the platter within n steps exactly when acceleration and speed are both
// at or below 0 after n steps: once they are, the brake keeps them there. Once a step leaves the
// acceleration as it was, it never changes again, and the speed only adds it.
template <size_t K>
std::array<bool, K> brakesFail(const std::array<double, K>& decel, double speed, double accel, double response,
                               int64_t steps) {
  std::array<double, K> v;
  std::array<double, K> a;
  std::array<int64_t, K> taken{};
  v.fill(speed);
  a.fill(accel);
  for (size_t running = K; running > 0;) {
    running = 0;
    for (size_t k = 0; k < K; ++k) {
      if (taken[k] >= steps) continue;
      ++running;
      const double next = a[k] + (-decel[k] - a[k]) * response;
      const bool settled = next == a[k];
      a[k] = next;
      v[k] = v[k] + a[k];
      ++taken[k];
      if (settled) taken[k] += addRepeatedly(v[k], a[k], steps - taken[k], a[k] > 0.0 ? kInfinity : -kInfinity);
    }
  }
  std::array<bool, K> fail;
  for (size_t k = 0; k < K; ++k) fail[k] = !(a[k] <= 0.0 && v[k] <= 0.0);
  return fail;
}

// Doubles in their order as integers: negative ones below -0.0, which sits with +0.0.
int64_t orderKey(double x) {
  int64_t bits = 0;
  std::memcpy(&bits, &x, sizeof bits);
  return bits < 0 ? -(bits & std::numeric_limits<int64_t>::max()) : bits;
}

double fromOrderKey(int64_t key) {
  const uint64_t bits = key < 0 ? static_cast<uint64_t>(-key) | (uint64_t{1} << 63) : static_cast<uint64_t>(key);
  double x = 0.0;
  std::memcpy(&x, &bits, sizeof x);
  return x;
}

// The smallest double in (lo, hi] at which `holds`, for a predicate false at lo, true at hi and
// monotone between: a bisection over the doubles in order.
template <typename Holds>
double firstDoubleHolding(double lo, double hi, Holds holds) {
  int64_t below = orderKey(lo);
  int64_t at = orderKey(hi);
  while (at - below > 1) {
    const int64_t mid = below + (at - below) / 2;
    (holds(fromOrderKey(mid)) ? at : below) = mid;
  }
  return fromOrderKey(at);
}

// The motor asks for clamp((1 - v) / M, -pull, pull). The division rounds monotonically, so the
// clamp is exactly +pull for every gap 1 - v at or above a threshold, and -pull at or below its
// negative; only gaps in between need the division, which otherwise sits on every step's chain.
struct MotorLaw {
  double pull = 0.0;
  double motorSamples = 1.0;
  double reach = 0.0;  // the smallest gap the division takes to pull or beyond

  // Speeds between which the pull is held at +pull (below) or -pull (above) and the platter has
  // not arrived: at most `below`, at least `above`.
  double below = 0.0;
  double above = 0.0;

  MotorLaw() = default;
  MotorLaw(double pullLimit, double motor) : pull(pullLimit), motorSamples(motor), reach(pullLimit * motor) {
    if (pull > 0.0) {
      while (reach / motorSamples < pull) reach = std::nextafter(reach, kInfinity);
      for (double less = std::nextafter(reach, 0.0); less / motorSamples >= pull; less = std::nextafter(less, 0.0)) {
        reach = less;
      }
    }
    const double held = reach > kArrivalTolerance ? reach : std::nextafter(kArrivalTolerance, kInfinity);
    const double wide = 2.0 * held + 2.0;
    below = std::nextafter(firstDoubleHolding(1.0 - wide, 1.0, [held](double v) { return !(1.0 - v >= held); }),
                           -kInfinity);
    above = firstDoubleHolding(1.0, 1.0 + wide, [held](double v) { return 1.0 - v <= -held; });
  }
  double asked(double gap) const {
    if (!(std::fabs(gap) >= reach)) return gap / motorSamples;
    return gap > 0.0 ? pull : -pull;
  }
};

struct MotorRun {
  double pull;
  int64_t limit;     // steps simulated at most
  bool lag = false;  // whether the lag is wanted: every step is then simulated
  bool arrived = false;
  int64_t taken = 0;  // steps simulated
  double lagSamples = 0.0;

  // Whether the motor misses a ramp of `steps` whole steps; known once limit >= steps.
  bool fails(int64_t steps) const { return !arrived || taken > steps; }
};

// Motor runs side by side, each until it arrives or reaches its limit. Once a step with the pull
// held leaves the acceleration as it was, the speed only adds it until the pull lets go; a run
// that does not count its lag skips those steps at once.
template <size_t K>
void runMotors(std::array<MotorRun, K>& runs, double speed, double accel, double response, double motorSamples) {
  std::array<double, K> v;
  std::array<double, K> a;
  std::array<double, K> lag{};
  std::array<int64_t, K> taken{};
  std::array<int64_t, K> until;  // the last step each run counts: its limit, or its arrival
  std::array<MotorLaw, K> laws{};
  v.fill(speed);
  a.fill(accel);
  for (size_t k = 0; k < K; ++k) {
    until[k] = runs[k].limit;
    laws[k] = MotorLaw(runs[k].pull, motorSamples);
  }
  for (size_t running = K; running > 0;) {
    running = 0;
    for (size_t k = 0; k < K; ++k) {
      if (taken[k] >= until[k]) continue;
      ++running;
      const MotorLaw& law = laws[k];
      const double gap = 1.0 - v[k];
      const double next = a[k] + (law.asked(gap) - a[k]) * response;
      const bool settled = next == a[k] && std::fabs(gap) >= law.reach;
      a[k] = next;
      v[k] = v[k] + a[k];
      ++taken[k];
      lag[k] = lag[k] + 1.0 - std::min(v[k], 1.0);
      if (std::fabs(1.0 - v[k]) <= kArrivalTolerance) {
        runs[k].arrived = true;
        until[k] = taken[k];
      } else if (settled && !runs[k].lag && (gap > 0.0 ? v[k] <= law.below : v[k] >= law.above)) {
        taken[k] += addRepeatedly(v[k], a[k], until[k] - taken[k], gap > 0.0 ? law.below : law.above);
      }
    }
  }
  for (size_t k = 0; k < K; ++k) {
    runs[k].taken = taken[k];
    runs[k].lagSamples = lag[k];
  }
}

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

// Whole steps a ramp may take: "more steps than rampSamples" means more than this many.
int64_t rampSteps(double rampSamples) { return static_cast<int64_t>(std::min(rampSamples, kLargestStepCount)); }

}  // namespace

int64_t platterMaxSteps(double rampSamples) {
  const double steps = std::trunc(4.0 * rampSamples) + 8.0;
  if (!(steps >= 1.0)) return 1;
  return static_cast<int64_t>(std::min(steps, kLargestStepCount));
}

double solvePlatterBrake(double speed, double accel, double response, double rampSamples) {
  const int64_t steps = rampSteps(rampSamples);
  const double highest = std::max(std::fabs(speed), 0.05) * 64.0 / rampSamples;
  Evidence evidence;
  const double predicted = predictBrakeThreshold(speed, accel, response, steps);
  if (!std::isnan(predicted)) {
    const Interval ends = predictedEnds(predicted, highest);
    const std::array<double, 2> probes{ends.lo, ends.hi};
    const std::array<bool, 2> fail = brakesFail(probes, speed, accel, response, steps);
    for (size_t k = 0; k < 2; ++k) evidence.add(probes[k], fail[k]);
  }
  return halve(highest,
               [&](double decel, const Interval&, bool) {
                 const int known = evidence.judge(decel);
                 if (known >= 0) return known == 1;
                 const bool fails = brakesFail(std::array<double, 1>{decel}, speed, accel, response, steps)[0];
                 evidence.add(decel, fails);
                 return fails;
               })
      .middle();
}

MotorSolution solvePlatterMotor(double speed, double accel, double response, double motorSamples, double rampSamples,
                                bool withLag) {
  const int64_t steps = rampSteps(rampSamples);
  const int64_t maxSteps = platterMaxSteps(rampSamples);
  const int64_t lagSteps = withLag ? maxSteps : 0;
  const double highest = 64.0 / rampSamples;
  const double ceiling = monotoneCeiling(speed, accel, response, highest);
  Evidence evidence(ceiling);
  // Runs already made, for candidates above the ceiling and for the final candidate's lag.
  std::array<MotorRun, 3> recent{};
  auto remembered = [&](double pull) -> const MotorRun* {
    for (const MotorRun& run : recent) {
      if (run.limit > 0 && run.pull == pull) return &run;
    }
    return nullptr;
  };
  auto run = [&](const std::array<MotorRun, 3>& runs) {
    recent = runs;
    runMotors(recent, speed, accel, response, motorSamples);
    for (const MotorRun& done : recent) {
      if (done.limit >= steps) evidence.add(done.pull, done.fails(steps));
    }
  };
  const double predicted = ceiling > 0.0 ? predictMotorThreshold(speed, accel, response, motorSamples, steps, highest)
                                         : std::numeric_limits<double>::quiet_NaN();
  if (!std::isnan(predicted)) {
    // The final candidate, if the prediction holds, runs for its lag beside the two probes.
    const Interval ends = predictedEnds(predicted, highest);
    run({MotorRun{ends.lo, steps}, MotorRun{ends.hi, steps}, MotorRun{ends.middle(), lagSteps, withLag}});
  }
  // An unsettled candidate runs beside the two that could follow it; on the last halving those
  // are the two possible results, so they run on for the lag.
  const Interval left = halve(highest, [&](double pull, const Interval& around, bool last) {
    const int known = evidence.judge(pull);
    if (known >= 0) return known == 1;
    const MotorRun* done = remembered(pull);
    if (done == nullptr || done->limit < steps) {
      const int64_t next = last ? lagSteps : steps;
      const bool lag = last && withLag;
      run({MotorRun{pull, steps}, MotorRun{(pull + around.hi) / 2.0, next, lag},
           MotorRun{(around.lo + pull) / 2.0, next, lag}});
      done = &recent[0];
    }
    return done->fails(steps);
  });
  MotorSolution solution{left.middle(), 0.0};
  if (withLag) {
    const MotorRun* done = remembered(solution.limit);
    if (done == nullptr || done->limit != maxSteps) {
      run({MotorRun{solution.limit, maxSteps, true}, MotorRun{}, MotorRun{}});
      done = &recent[0];
    }
    solution.lagSamples = done->lagSamples;
  }
  return solution;
}

}  // namespace reelstop
