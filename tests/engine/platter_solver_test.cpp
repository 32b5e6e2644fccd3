// The fast platter solvers against the plain halvings: bit-identical brakes, motors and lags.
#include "platter_solver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "engine_harness.h"
#include "platter_reference.h"

namespace reelstop::test {
namespace {

double responseFor(double inertiaMs) { return 1.0 - std::exp(-1.0 / (std::max(inertiaMs, 0.1) * 0.001 * kRate)); }

struct Start {
  double speed, accel;
};

// Standing, playing, slowing down, scratching backwards and forwards, crawling, inside the band.
const Start kStarts[] = {{0.0, 0.0},   {1.0, 0.0},   {0.55, -2e-5}, {-2.5, 4e-4},
                         {3.0, -1e-4}, {0.01, 1e-6}, {0.999, 0.0},  {0.3, 0.002}};

void expectSolverMatches(double rampSamples, double inertiaMs, double motorMs, const Start& s) {
  const double response = responseFor(inertiaMs);
  const double motorSamples = std::max(1.0, 0.001 * motorMs * kRate);
  {
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
}

void expectSolversMatch(double rampSamples, double inertiaMs, double motorMs) {
  for (const Start& s : kStarts) expectSolverMatches(rampSamples, inertiaMs, motorMs, s);
}

TEST(PlatterSolver, MatchesThePlainHalvingsBitForBit) {
  for (double rampSamples : {1.0, 2.5, 7.0, 100.0, 1000.0, 4800.0, 24000.0}) {
    for (double inertiaMs : {0.1, 26.5, 65.0, 400.0, 60000.0}) {
      for (double motorMs : {1.0, 50.0, 85.0, 600000.0}) expectSolversMatch(rampSamples, inertiaMs, motorMs);
    }
  }
}

TEST(PlatterSolver, MatchesThePlainHalvingsForRandomStartsAndFeels) {
  std::mt19937 random(1207);
  auto uniform = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(random); };
  for (int i = 0; i < 500; ++i) {
    const Start start{uniform(-3.0, 3.0), uniform(-1e-3, 1e-3)};
    expectSolverMatches(std::exp(uniform(0.0, std::log(30000.0))), uniform(0.0, 300.0), uniform(0.0, 400.0), start);
  }
}

TEST(PlatterSolver, MatchesThePlainHalvingsOnTenAndTwentySecondRamps) {
  expectSolversMatch(480000.0, 65.0, 85.0);
  expectSolversMatch(960000.0, 26.5, 50.0);
}

// The engine renders its platter ramps from the solved limits: the curve of the plain limit.
TEST(PlatterSolver, RenderedCurvesFollowThePlainLimits) {
  Engine engine;
  engine.skip(100);
  rs_engage_platter(engine.handle, 24000, 65, 85);
  const double response = responseFor(65);
  const double brake = referenceBrake(1.0, 0.0, response, 24000);
  double speed = 1.0, accel = 0.0;
  const auto stopping = engine.speeds(24000);
  for (size_t i = 0; i < 24000; ++i) {
    const double candidate = speed + accel + (-brake - accel) * response;
    const double expected = candidate > 0.0 && i + 1 < 24000 ? candidate : 0.0;
    ASSERT_EQ(stopping[i], expected) << "sample " << i;
    accel = expected - speed;
    speed = expected;
  }
  engine.skip(10);
  rs_release_platter(engine.handle, 24000, 65, 85, 6000);
  const double motorSamples = 0.085 * kRate;
  const MotorSolution motor = referenceMotor(0.0, 0.0, response, motorSamples, 24000);
  const double offset = std::ceil(motor.lagSamples / 6000) * 6000 - motor.lagSamples;
  EXPECT_EQ(rs_lag(engine.handle), offset) << "the restart uses the plain lag estimate";
  const auto starting = engine.speeds(23999);
  speed = 0.0;  // standing still since the stop
  accel = 0.0;
  for (size_t i = 0; i < 23999; ++i) {
    const double asked = std::clamp((1.0 - speed) / motorSamples, -motor.limit, motor.limit);
    const double expected = speed + accel + (asked - accel) * response;
    ASSERT_EQ(starting[i], expected) << "sample " << i;
    accel = expected - speed;
    speed = expected;
  }
}

}  // namespace
}  // namespace reelstop::test
