// Solves the brake or motor strength that makes a weighted platter ramp take a given length:
// 28 halvings of the strength, each candidate judged by simulating the platter. The results are
// those of simulating every candidate in full; most candidates are judged without a simulation.
// Audio thread: pure arithmetic on scalars, no allocation.
#pragma once

#include <cstdint>
#include <limits>

namespace reelstop {

struct MotorSolution {
  double limit;       // the motor's largest acceleration, speed per sample
  double lagSamples;  // samples the tape falls behind the live signal on the way up
};

// Simulation steps allowed for a ramp of rampSamples before a run counts as never arriving.
int64_t platterMaxSteps(double rampSamples);

// A run's steps once its acceleration has settled at `accel` with the pull held: `count` times
// speed = speed + accel and lag = lag + 1 - min(speed, 1), as a run makes them one by one.
struct SettledSteps {
  double speed;
  double lagSamples;
};
SettledSteps settledSteps(double speed, double accel, double lagSamples, int64_t count);

// Deceleration of a brake that brings the platter from (speed, accel) to rest within rampSamples.
double solvePlatterBrake(double speed, double accel, double response, double rampSamples);

// Largest motor acceleration that brings the platter from (speed, accel) to normal speed within
// rampSamples, and, when withLag is set, the lag that start builds up (0 otherwise: finding it
// costs a simulation of its own). A lag sure to lie beyond lagBound, where the caller has no use
// for its value, comes back as +infinity without that simulation.
MotorSolution solvePlatterMotor(double speed, double accel, double response, double motorSamples, double rampSamples,
                                bool withLag, double lagBound = std::numeric_limits<double>::infinity());

}  // namespace reelstop
