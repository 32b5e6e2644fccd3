// Real-arithmetic predictions of where the platter solvers' thresholds lie. They only choose which
// strengths are simulated exactly first; every decision still comes from an exact simulation.
// Audio thread: pure arithmetic on scalars, no allocation.
#pragma once

#include <cstdint>

namespace reelstop {

// A motor start has arrived once its speed is within this of normal speed.
constexpr double kArrivalTolerance = 0.003;

// A prediction of the strength at which brake or motor just makes it within the ramp: weaker
// fails, stronger succeeds. +infinity: nothing up to the search's highest strength succeeds;
// 0: everything succeeds; NaN: no prediction for this start.
double predictBrakeThreshold(double speed, double accel, double response, int64_t steps);
double predictMotorThreshold(double speed, double accel, double response, double motorSamples, int64_t steps,
                             double highest);

}  // namespace reelstop
