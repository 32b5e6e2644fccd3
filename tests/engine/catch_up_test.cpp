// Starts that return to the live signal seamlessly (CatchUp) or land on the musical grid.
#include <gtest/gtest.h>

#include "engine_harness.h"

namespace reelstop::test {
namespace {

// How far behind the live signal the start ends: where the outgoing head of the closing
// crossfade stands on the start's last sample.
double endLagOfStart(Engine& engine) {
  double endLag = 0.0;
  while (engine.state() == EngineState::Starting) {
    const EngineProbe tape = engine.probe();
    const bool cutting = tape.cutStarted() || tape.fadeRemaining() > 0;
    endLag = cutting ? tape.fadeLag() : rs_lag(engine.handle);
    engine.skip(1);
  }
  return endLag;
}

double wholeStepsOff(double lag, double grid) { return std::fabs(lag - std::round(lag / grid) * grid); }

TEST(CatchUp, FromStandstillRisesAsFourTMinusThreeTSquaredAndLandsWithoutACut) {
  constexpr double L = 9600;
  Engine engine;
  rs_engage(engine.handle, 1, 0.0);
  engine.skip(5);
  rs_release(engine.handle, 1, L, 0.0);
  EXPECT_EQ(rs_lag(engine.handle), 0.0);
  double fastest = 0.0;
  for (int i = 1; i <= L; ++i) {
    const double t = i / L;
    const double speed = engine.speeds(1)[0];
    ASSERT_NEAR(speed, 4 * t - 3 * t * t, 1e-12) << i;
    fastest = std::max(fastest, speed);
    if (i < L) {
      ASSERT_NEAR(rs_lag(engine.handle), L * t * (1 - t) * (1 - t), 1e-6) << i;
    }
    ASSERT_EQ(engine.probe().fadeRemaining(), 0) << "no crossfade at sample " << i;
  }
  EXPECT_NEAR(fastest, 4.0 / 3.0, 1e-6);
  EXPECT_EQ(engine.state(), EngineState::Playing);
  EXPECT_EQ(rs_lag(engine.handle), 0.0);
  EXPECT_EQ(engine.speeds(1)[0], 1.0);
}

TEST(CatchUp, ATapeTooFarBehindJumpsToTheLargestLagTheCurveCanAbsorb) {
  constexpr double L = 24000;
  Engine engine;
  rs_begin_scratch(engine.handle);
  rs_set_scratch_target(engine.handle, -30000);
  engine.skip(24000);
  const double startSpeed = rs_speed(engine.handle);
  ASSERT_NEAR(startSpeed, 0.0, 0.05);
  double largest = 1e300;
  for (int k = 1; k < 64; ++k) {
    const double t = k / 64.0;
    largest = std::min(largest, (L + (1 - startSpeed) * L * (3 * t * t - 4 * t + 1)) / (6 * t - 6 * t * t));
  }
  ASSERT_GT(rs_lag(engine.handle), largest);
  rs_release(engine.handle, 1, L, 0.0);
  EXPECT_NEAR(largest / L, 0.47, 0.01);
  EXPECT_DOUBLE_EQ(rs_lag(engine.handle), largest);
  EXPECT_EQ(engine.probe().fadeRemaining(), engine.probe().fadeLength());
  double fastest = 0.0;
  for (double s : engine.speeds(static_cast<long>(L))) fastest = std::max(fastest, s);
  EXPECT_LE(fastest, 2.0 + 1e-3);
  EXPECT_GT(fastest, 1.9);
  EXPECT_EQ(engine.state(), EngineState::Playing);
  EXPECT_EQ(rs_lag(engine.handle), 0.0);
}

TEST(GridAlignment, AStoppedTapeRestartsBehindTheLiveSignalToEndOnWholeSteps) {
  constexpr double kGrid = 12000;
  Engine bezier;
  rs_engage(bezier.handle, 1, 0.0);
  bezier.skip(5);
  rs_release_shaped(bezier.handle, 0, 10000, 0.0, 0.0, kGrid);  // shapeLag 5000
  EXPECT_NEAR(rs_lag(bezier.handle), 7000, 1e-3);
  EXPECT_NEAR(endLagOfStart(bezier), kGrid, 1.0);
  EXPECT_EQ(rs_lag(bezier.handle), 0.0);

  Engine platter;
  rs_engage(platter.handle, 1, 0.0);
  platter.skip(5);
  rs_release_platter(platter.handle, 24000, 65, 85, 5000);
  EXPECT_GT(rs_lag(platter.handle), 0.0);
  EXPECT_LT(wholeStepsOff(endLagOfStart(platter), 5000), 0.1);

  // A remainder that would take the end past the tape's reach is dropped.
  Engine longRamp;
  rs_engage(longRamp.handle, 1, 0.0);
  longRamp.skip(5);
  rs_release_shaped(longRamp.handle, 0, 2000000, 0.0, 0.0, 96000);
  EXPECT_EQ(rs_lag(longRamp.handle), 0.0);
}

TEST(GridAlignment, AMovingTapesBezierStartIsReshapedToEndOnWholeSteps) {
  constexpr double kGrid = 5000;  // the unshaped start would end 14458 behind
  Engine engine;
  rs_engage(engine.handle, 480000, 0.0);
  engine.skip(96000);
  const double lagBefore = rs_lag(engine.handle);
  ASSERT_GT(lagBefore, 5000);
  rs_release_shaped(engine.handle, 0, 48000, 0.3, 0.4, kGrid);
  EXPECT_EQ(rs_lag(engine.handle), lagBefore) << "a moving tape keeps its head";
  EXPECT_NE(engine.probe().bezierX2(), 0.6) << "the ramp was reshaped";
  EXPECT_LT(wholeStepsOff(endLagOfStart(engine), kGrid), 0.5);

  // Nothing to align to when the nearest whole number of steps is none.
  Engine nearlyLive;
  rs_engage(nearlyLive.handle, 48000, 0.0);
  nearlyLive.skip(100);
  rs_release_shaped(nearlyLive.handle, 0, 4800, 0.3, 0.4, 1e6);
  EXPECT_DOUBLE_EQ(nearlyLive.probe().bezierX2(), 0.6);

  // Platter starts of a moving tape and plain SpinUps ignore the grid.
  Engine platter;
  rs_begin_scratch(platter.handle);
  rs_set_scratch_target(platter.handle, -3000);
  platter.skip(4800);
  const double scratchLag = rs_lag(platter.handle);
  rs_release_platter(platter.handle, 24000, 65, 85, kGrid);
  EXPECT_EQ(rs_lag(platter.handle), scratchLag);
}

}  // namespace
}  // namespace reelstop::test
