// The platter solvers as plainly as they are defined: 28 halvings, every candidate simulated in
// full. The engine's fast solvers must give bit-identical results.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "platter_model.h"
#include "platter_solver.h"

namespace reelstop::test {

// Whether a run takes more steps than rampSamples is known once it has run floor(rampSamples) + 1
// steps; the halvings' decisions stop their simulations there.
inline int64_t decisiveSteps(double rampSamples, int64_t maxSteps) {
  return std::min(maxSteps, static_cast<int64_t>(std::floor(rampSamples)) + 1);
}

inline int64_t referenceBrakeSteps(double v, double a, double decel, double response, int64_t maxSteps) {
  for (int64_t step = 1; step <= maxSteps; ++step) {
    a = a + (-decel - a) * response;
    v = v + a;
    if (a <= 0.0 && v <= 0.0) return step;
  }
  return maxSteps + 1;
}

inline double referenceBrake(double speed, double accel, double response, double rampSamples) {
  const int64_t maxSteps = decisiveSteps(rampSamples, platterMaxSteps(rampSamples));
  double lo = 0.0, hi = std::max(std::fabs(speed), 0.05) * 64.0 / rampSamples, decel = 0.0;
  for (int i = 0; i < 28; ++i) {
    decel = (lo + hi) / 2.0;
    (static_cast<double>(referenceBrakeSteps(speed, accel, decel, response, maxSteps)) > rampSamples ? lo : hi) = decel;
  }
  return decel;
}

inline MotorSolution referenceMotor(double speed, double accel, double response, double motorSamples,
                                    double rampSamples) {
  const int64_t maxSteps = platterMaxSteps(rampSamples);
  double lo = 0.0, hi = 64.0 / rampSamples;
  MotorSolution solution{0.0, 0.0};
  for (int i = 0; i < 28; ++i) {
    solution.limit = (lo + hi) / 2.0;
    // The last candidate is the result: it runs on for its lag.
    const int64_t limit = i == 27 ? maxSteps : decisiveSteps(rampSamples, maxSteps);
    double v = speed, a = accel, lag = 0.0;
    int64_t steps = limit + 1;
    for (int64_t step = 1; step <= limit; ++step) {
      const double asked = std::clamp((1.0 - v) / motorSamples, -solution.limit, solution.limit);
      a = a + (asked - a) * response;
      v = v + a;
      lag = lag + 1.0 - std::min(v, 1.0);
      if (std::fabs(1.0 - v) <= kArrivalTolerance) {
        steps = step;
        break;
      }
    }
    solution.lagSamples = lag;
    (static_cast<double>(steps) > rampSamples ? lo : hi) = solution.limit;
  }
  return solution;
}

}  // namespace reelstop::test
