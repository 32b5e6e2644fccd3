// The fast platter solvers against the plain halvings at the lengths the sweep leaves out: ramps of
// a few samples, random starts and feels, and a twenty-second ramp.
#include "platter_solver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "engine_harness.h"
#include "platter_reference.h"

namespace reelstop::test {
namespace {

struct Start {
  double speed, accel;
};

double responseFor(double inertiaMs) { return 1.0 - std::exp(-1.0 / (std::max(inertiaMs, 0.1) * 0.001 * kRate)); }

void expectSolverMatches(double rampSamples, double inertiaMs, double motorMs, const Start& s) {
  const double response = responseFor(inertiaMs);
  const double motorSamples = std::max(1.0, 0.001 * motorMs * kRate);
  const std::string where = "L " + std::to_string(rampSamples) + " inertia " + std::to_string(inertiaMs) + " motor " +
                            std::to_string(motorMs) + " from " + std::to_string(s.speed);
  EXPECT_EQ(solvePlatterBrake(s.speed, s.accel, response, rampSamples),
            referenceBrake(s.speed, s.accel, response, rampSamples))
      << where;
  const MotorSolution fast = solvePlatterMotor(s.speed, s.accel, response, motorSamples, rampSamples, true);
  const MotorSolution plain = referenceMotor(s.speed, s.accel, response, motorSamples, rampSamples);
  EXPECT_EQ(fast.limit, plain.limit) << where;
  EXPECT_EQ(fast.lagSamples, plain.lagSamples) << where;
  EXPECT_EQ(solvePlatterMotor(s.speed, s.accel, response, motorSamples, rampSamples, false).limit, plain.limit)
      << where;
}

TEST(PlatterSolver, MatchesThePlainHalvingsBitForBit) {
  // Standing, playing, slowing down, scratching backwards and forwards, crawling, inside the band.
  const Start starts[] = {{0.0, 0.0},   {1.0, 0.0},   {0.55, -2e-5}, {-2.5, 4e-4},
                          {3.0, -1e-4}, {0.01, 1e-6}, {0.999, 0.0},  {0.3, 0.002}};
  for (double rampSamples : {1.0, 2.5, 7.0, 100.0, 1000.0, 4800.0}) {
    for (double inertiaMs : {0.1, 26.5, 65.0, 400.0, 60000.0}) {
      for (double motorMs : {1.0, 50.0, 85.0, 600000.0}) {
        for (const Start& s : starts) expectSolverMatches(rampSamples, inertiaMs, motorMs, s);
      }
    }
  }
  for (const Start& s : starts) expectSolverMatches(960000.0, 26.5, 50.0, s);

  std::mt19937 random(1207);
  auto uniform = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(random); };
  for (int i = 0; i < 500; ++i) {
    const Start start{uniform(-3.0, 3.0), uniform(-1e-3, 1e-3)};
    expectSolverMatches(std::exp(uniform(0.0, std::log(30000.0))), uniform(0.0, 300.0), uniform(0.0, 400.0), start);
  }
}

// Platters thrown away from normal speed: the motor first loses ground while the throw dies
// out. The throws straddle the one beyond which even the strongest motor misses (about 51 at the
// longer ramp), and reach past where a bound shows it without a run.
TEST(PlatterSolver, MatchesThePlainHalvingsForPlattersThrownAway) {
  const double response = responseFor(65.0);
  const double motorSamples = 0.085 * kRate;
  int arrives = 0;
  int misses = 0;
  for (double rampSamples : {3000.0, 24000.0}) {
    const double strongest = 64.0 / rampSamples;
    for (double speed : {-0.5, 0.4, 1.6}) {
      for (double throwSpeed : {2.0, 20.0, 40.0, 49.0, 50.0, 51.5, 53.0, 56.0, 60.0, 80.0}) {
        // The throw moves the platter throwSpeed further away before it dies out.
        const double away = throwSpeed * response / (1.0 - response);
        const Start s{speed, speed < 1.0 ? -away : away};
        expectSolverMatches(rampSamples, 65.0, 85.0, s);
        const MotorSolution plain = referenceMotor(s.speed, s.accel, response, motorSamples, rampSamples);
        (plain.limit < strongest * (1.0 - 1e-8) ? arrives : misses) += 1;
      }
    }
  }
  EXPECT_GT(arrives, 0);
  EXPECT_GT(misses, 0);
}

// Heavy platters and weak motors over long ramps, where the runs hold their pull for most of the
// way, leave it, and cross or miss the arrival band.
TEST(PlatterSolver, MatchesThePlainHalvingsForHeavyPlattersAndWeakMotors) {
  for (double rampSamples : {300.0, 48000.0}) {
    for (const Start& s : {Start{0.0, 0.0}, Start{0.5, 1e-5}, Start{-0.2, -5e-3}, Start{2.5, 3e-4}}) {
      expectSolverMatches(rampSamples, 1.0e6, 85.0, s);
      expectSolverMatches(rampSamples, 65.0, 600000.0, s);
      expectSolverMatches(rampSamples, 2500.0, 5000.0, s);
    }
  }
}

SettledSteps settledStepByStep(double speed, double accel, double lag, int64_t count) {
  for (int64_t i = 0; i < count; ++i) {
    speed = speed + accel;
    lag = lag + 1.0 - std::min(speed, 1.0);
  }
  return {speed, lag};
}

void expectSettledStepsMatch(double speed, double accel, double lag, int64_t count) {
  const SettledSteps plain = settledStepByStep(speed, accel, lag, count);
  const SettledSteps fast = settledSteps(speed, accel, lag, count);
  const std::string where = "speed " + std::to_string(speed) + " accel " + std::to_string(accel) + " lag " +
                            std::to_string(lag) + " count " + std::to_string(count);
  EXPECT_EQ(fast.speed, plain.speed) << where;
  EXPECT_EQ(fast.lagSamples, plain.lagSamples) << where;
}

TEST(PlatterSolver, SettledStepsAddSpeedAndLagAsStepByStep) {
  std::mt19937 random(4711);
  auto uniform = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(random); };
  for (int i = 0; i < 300; ++i) {
    const double accel = (i % 3 == 0 ? -1.0 : 1.0) * std::exp(uniform(std::log(1e-12), std::log(1e-3)));
    const double lag = i % 5 == 0 ? uniform(0.0, 2.0) : std::exp(uniform(0.0, std::log(1e8)));
    expectSettledStepsMatch(uniform(-2.0, 3.0), accel, lag, static_cast<int64_t>(uniform(1.0, 200000.0)));
  }
  // Across normal speed, and through binades of speed and lag.
  expectSettledStepsMatch(0.9, 1e-6, 5.0, 300000);
  expectSettledStepsMatch(1.2, -1e-6, 3.0e6, 300000);
  expectSettledStepsMatch(0.01, 3e-6, 1000.0, 1000000);
  expectSettledStepsMatch(-0.3, 2e-6, 1020.0, 500000);
  expectSettledStepsMatch(0.5, 0.0, 1000.0, 100000);
  // Lags beyond 2^53, where adding 1 rounds.
  expectSettledStepsMatch(1.5, -1e-7, std::ldexp(1.0, 53) + 2.0, 100);
  expectSettledStepsMatch(1.5, -1e-7, 3.0e16, 100);
}

// A lag of about 1000 has places of 2^-43; a gap 1 - v = 1/4 + 2^-44 lies halfway between two of
// them, and steps that are multiples of 2^-43 keep it there, so every step rounds to even; others
// come back to halfway every few steps.
TEST(PlatterSolver, SettledStepsRoundHalfwayLagsToEven) {
  const double halfway = 0.75 - std::ldexp(1.0, -44);
  for (double accel :
       {std::ldexp(1.0, -30), std::ldexp(1.0, -30) + std::ldexp(1.0, -44), std::ldexp(1.0, -30) + std::ldexp(1.0, -46),
        std::ldexp(1.0, -30) + std::ldexp(3.0, -53), std::ldexp(1.0, -40), 0.0}) {
    for (double lag : {1000.0, 1000.0 + std::ldexp(1.0, -43), 1023.9}) {
      expectSettledStepsMatch(halfway, accel, lag, 20000);
      expectSettledStepsMatch(halfway - std::ldexp(1.0, -40), accel, lag, 20000);
    }
  }
}

}  // namespace
}  // namespace reelstop::test
