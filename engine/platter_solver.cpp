// The platter solvers: bisection over brake or motor strength, each candidate simulated.
#include "platter_solver.h"

#include <algorithm>
#include <cmath>

namespace reelstop {
namespace {

constexpr int kPlatterBisections = 28;
constexpr double kArrivalTolerance = 0.003;   // speed within this of 1.0 counts as arrived
constexpr double kLargestStepCount = 4.0e18;  // keeps absurd ramp lengths a defined integer

struct Run {
  int64_t steps;  // including the arriving one; maxSteps + 1 when it never arrives
  double lagSamples;
};

int64_t brakeSteps(double v, double a, double decel, double response, int64_t maxSteps) {
  for (int64_t step = 1; step <= maxSteps; ++step) {
    a = a + (-decel - a) * response;
    v = v + a;
    if (a <= 0.0 && v <= 0.0) return step;
  }
  return maxSteps + 1;
}

Run motorRun(double v, double a, double pull, double response, double motorSamples, int64_t maxSteps) {
  double lag = 0.0;
  for (int64_t step = 1; step <= maxSteps; ++step) {
    const double asked = std::clamp((1.0 - v) / motorSamples, -pull, pull);
    a = a + (asked - a) * response;
    v = v + a;
    lag = lag + 1.0 - std::min(v, 1.0);
    if (std::fabs(1.0 - v) <= kArrivalTolerance) return {step, lag};
  }
  return {maxSteps + 1, lag};
}

}  // namespace

int64_t platterMaxSteps(double rampSamples) {
  const double steps = std::trunc(4.0 * rampSamples) + 8.0;
  if (!(steps >= 1.0)) return 1;
  return static_cast<int64_t>(std::min(steps, kLargestStepCount));
}

double solvePlatterBrake(double speed, double accel, double response, double rampSamples) {
  const int64_t maxSteps = platterMaxSteps(rampSamples);
  double lo = 0.0;
  double hi = std::max(std::fabs(speed), 0.05) * 64.0 / rampSamples;
  double decel = 0.0;
  for (int i = 0; i < kPlatterBisections; ++i) {
    decel = (lo + hi) / 2.0;
    const bool tooWeak = static_cast<double>(brakeSteps(speed, accel, decel, response, maxSteps)) > rampSamples;
    (tooWeak ? lo : hi) = decel;
  }
  return decel;
}

MotorSolution solvePlatterMotor(double speed, double accel, double response, double motorSamples, double rampSamples) {
  const int64_t maxSteps = platterMaxSteps(rampSamples);
  double lo = 0.0;
  double hi = 64.0 / rampSamples;
  MotorSolution solution{0.0, 0.0};
  for (int i = 0; i < kPlatterBisections; ++i) {
    solution.limit = (lo + hi) / 2.0;
    const Run run = motorRun(speed, accel, solution.limit, response, motorSamples, maxSteps);
    solution.lagSamples = run.lagSamples;
    const bool tooWeak = static_cast<double>(run.steps) > rampSamples;
    (tooWeak ? lo : hi) = solution.limit;
  }
  return solution;
}

}  // namespace reelstop
