// The platter solvers. A stronger brake or motor never does worse, so a candidate weaker than one
// known to fail fails, and one stronger than one known to succeed succeeds. A closed-form
// prediction of the threshold names the two ends the halving should close in on; simulated side
// by side, they settle almost every candidate of the 28 halvings without a simulation of its own.
#include "platter_solver.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "platter_model.h"

namespace reelstop {
namespace {

constexpr int kPlatterBisections = 28;
constexpr double kArrivalTolerance = 0.003;        // speed within this of 1.0 counts as arrived
constexpr double kLargestStepCount = 4.0e18;       // keeps absurd ramp lengths a defined integer
constexpr double kLargestUnskippableStep = 0.006;  // a smaller speed change cannot jump the arrival band

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// What exact simulations have shown so far.
class Evidence {
 public:
  // 1: fails, 0: succeeds, -1: unknown.
  int judge(double strength) const {
    if (strength <= strongestFailing_) return 1;
    if (strength >= weakestSucceeding_) return 0;
    return -1;
  }
  void add(double strength, bool fails) {
    if (fails) {
      strongestFailing_ = std::max(strongestFailing_, strength);
    } else {
      weakestSucceeding_ = std::min(weakestSucceeding_, strength);
    }
  }

 private:
  double strongestFailing_ = -kInfinity;
  double weakestSucceeding_ = kInfinity;
};

struct Interval {
  double lo;
  double hi;
  double middle() const { return (lo + hi) / 2.0; }
};

// The interval left after 27 halvings of [0, highest] judged by `fails`; its middle is the 28th
// candidate, the solver's result.
template <typename Fails>
Interval halve(double highest, Fails fails) {
  Interval left{0.0, highest};
  for (int i = 1; i < kPlatterBisections; ++i) {
    const double mid = left.middle();
    (fails(mid) ? left.lo : left.hi) = mid;
  }
  return left;
}

// The two strengths to simulate first: the ends of the interval that halving would leave if the
// prediction were exact. When the simulations agree with it, every candidate of the real halving
// lies at or beyond one of them and needs no simulation of its own.
Interval predictedEnds(double predicted, double highest) {
  return halve(highest, [predicted](double strength) { return strength < predicted; });
}

// The brake has stopped the platter within n steps exactly when acceleration and speed are both
// at or below 0 after n steps: once they are, the brake keeps them there.
template <size_t K>
std::array<bool, K> brakesFail(const std::array<double, K>& decel, double speed, double accel, double response,
                               int64_t steps) {
  std::array<double, K> v;
  std::array<double, K> a;
  v.fill(speed);
  a.fill(accel);
  for (int64_t step = 0; step < steps; ++step) {
    for (size_t k = 0; k < K; ++k) {
      a[k] = a[k] + (-decel[k] - a[k]) * response;
      v[k] = v[k] + a[k];
    }
  }
  std::array<bool, K> fail;
  for (size_t k = 0; k < K; ++k) fail[k] = !(a[k] <= 0.0 && v[k] <= 0.0);
  return fail;
}

struct MotorRun {
  double pull;
  int64_t limit;  // steps simulated at most
  bool arrived = false;
  double lagSamples = 0.0;
};

// Motor runs side by side, each until it arrives or reaches its limit.
template <size_t K>
void runMotors(std::array<MotorRun, K>& runs, double speed, double accel, double response, double motorSamples) {
  std::array<double, K> v;
  std::array<double, K> a;
  v.fill(speed);
  a.fill(accel);
  int64_t longest = 0;
  size_t running = 0;
  for (const MotorRun& run : runs) {
    longest = std::max(longest, run.limit);
    running += run.limit > 0 ? 1 : 0;
  }
  for (int64_t step = 1; step <= longest && running > 0; ++step) {
    for (size_t k = 0; k < K; ++k) {
      MotorRun& run = runs[k];
      if (run.arrived || step > run.limit) continue;
      const double asked = std::clamp((1.0 - v[k]) / motorSamples, -run.pull, run.pull);
      a[k] = a[k] + (asked - a[k]) * response;
      v[k] = v[k] + a[k];
      run.lagSamples = run.lagSamples + 1.0 - std::min(v[k], 1.0);
      if (std::fabs(1.0 - v[k]) <= kArrivalTolerance) run.arrived = true;
      if (run.arrived || step == run.limit) --running;
    }
  }
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
               [&](double decel) {
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
  const double highest = 64.0 / rampSamples;
  Evidence evidence;
  auto simulate = [&](double pull) {
    std::array<MotorRun, 1> run{MotorRun{pull, steps}};
    runMotors(run, speed, accel, response, motorSamples);
    evidence.add(pull, !run[0].arrived);
    return !run[0].arrived;
  };
  // Without a jump over the arrival band, a stronger motor always arrives sooner.
  const bool monotone = std::max(std::fabs(accel), highest) < kLargestUnskippableStep;
  const double predicted = monotone ? predictMotorThreshold(speed, accel, response, motorSamples, steps, highest)
                                    : std::numeric_limits<double>::quiet_NaN();
  MotorRun lagRun{0.0, maxSteps};
  if (!std::isnan(predicted)) {
    // The final candidate, if the prediction holds, runs for its lag beside the two probes.
    const Interval ends = predictedEnds(predicted, highest);
    std::array<MotorRun, 3> runs{MotorRun{ends.lo, steps}, MotorRun{ends.hi, steps},
                                 MotorRun{ends.middle(), withLag ? maxSteps : 0}};
    runMotors(runs, speed, accel, response, motorSamples);
    for (size_t k = 0; k < 2; ++k) evidence.add(runs[k].pull, !runs[k].arrived);
    lagRun = runs[2];
  }
  const Interval left = halve(highest, [&](double pull) {
    const int known = monotone ? evidence.judge(pull) : -1;
    return known >= 0 ? known == 1 : simulate(pull);
  });
  MotorSolution solution{left.middle(), 0.0};
  if (withLag) {
    if (lagRun.pull != solution.limit || lagRun.limit != maxSteps) {
      std::array<MotorRun, 1> run{MotorRun{solution.limit, maxSteps}};
      runMotors(run, speed, accel, response, motorSamples);
      lagRun = run[0];
    }
    solution.lagSamples = lagRun.lagSamples;
  }
  return solution;
}

}  // namespace reelstop
