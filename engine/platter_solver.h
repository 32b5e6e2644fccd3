// Solves the brake or motor strength that makes a weighted platter ramp take a given length.
// Audio thread: pure arithmetic on scalars, no allocation.
#pragma once

#include <cstdint>

namespace reelstop {

struct MotorSolution {
  double limit;       // the motor's largest acceleration, speed per sample
  double lagSamples;  // samples the tape falls behind the live signal on the way up
};

// Simulation steps allowed for a ramp of rampSamples before a run counts as never arriving.
int64_t platterMaxSteps(double rampSamples);

// Deceleration of a brake that brings the platter from (speed, accel) to rest within rampSamples.
double solvePlatterBrake(double speed, double accel, double response, double rampSamples);

// Largest motor acceleration that brings the platter from (speed, accel) to normal speed
// within rampSamples, and the lag that start builds up.
MotorSolution solvePlatterMotor(double speed, double accel, double response, double motorSamples, double rampSamples);

}  // namespace reelstop
