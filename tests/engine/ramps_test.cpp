// Stops and starts along power and Bezier curves, the SpinUp cut, and ramps interrupting ramps.
#include <gtest/gtest.h>

#include <limits>

#include "engine_harness.h"

namespace reelstop::test {
namespace {

void stopAtOnce(Engine& engine) {
  rs_engage(engine.handle, 1, 0.0);
  engine.skip(2);
}

TEST(PlainRamps, StopAndStartFollowTheirPowerCurves) {
  Engine engine;
  rs_engage(engine.handle, 4, 0.0);
  EXPECT_EQ(engine.speeds(4), (std::vector<double>{0.75, 0.5, 0.25, 0.0}));
  EXPECT_EQ(engine.state(), EngineState::Stopped);
  EXPECT_EQ(engine.speeds(1)[0], 0.0);

  // From standstill the head restarts on the live position and falls behind while it rises.
  rs_release(engine.handle, 0, 8, 0.0);
  EXPECT_EQ(rs_lag(engine.handle), 0.0);
  const auto rising = engine.speeds(7);
  for (size_t i = 0; i < 7; ++i) EXPECT_DOUBLE_EQ(rising[i], static_cast<double>(i + 1) / 8.0);
  EXPECT_DOUBLE_EQ(rs_lag(engine.handle), 7 - 28 / 8.0);
  EXPECT_EQ(engine.probe().fadeRemaining(), 0) << "a short start cuts only after its last sample";
  engine.skip(1);
  EXPECT_EQ(engine.state(), EngineState::Playing);
  EXPECT_EQ(rs_lag(engine.handle), 0.0);
  EXPECT_EQ(engine.probe().fadeRemaining(), engine.probe().fadeLength());

  // Curve +1 holds the speed then drops (exponent 3); curve -1 brakes hard then coasts.
  rs_engage(engine.handle, 10, 1.0);
  EXPECT_DOUBLE_EQ(engine.speeds(1)[0], 1.0 - 0.001);
  engine.skip(9);
  rs_release(engine.handle, 2, 10, -1.0);  // any mode but 1 is a SpinUp
  EXPECT_EQ(engine.probe().ramp(), RampLaw::Power);
  EXPECT_DOUBLE_EQ(engine.speeds(1)[0], std::cbrt(0.1));

  for (double tooShort : {0.0, -5.0, 0.4, std::numeric_limits<double>::quiet_NaN()}) {
    Engine brief;
    rs_engage(brief.handle, tooShort, 0.0);
    EXPECT_EQ(brief.probe().rampLength(), 1.0);
    EXPECT_EQ(brief.speeds(1)[0], 0.0);
    EXPECT_EQ(brief.state(), EngineState::Stopped);
  }
}

TEST(PlainRamps, ALongSpinUpCrossfadesToTheLiveSignalOverItsLastFadeLength) {
  Engine engine;
  stopAtOnce(engine);
  rs_release(engine.handle, 0, 4800, 0.0);
  engine.skip(4800 - 720 - 1);
  EXPECT_GT(rs_lag(engine.handle), 1000.0);
  engine.skip(1);
  EXPECT_EQ(rs_lag(engine.handle), 0.0);
  EXPECT_EQ(engine.probe().fadeRemaining(), 720);
  EXPECT_EQ(engine.state(), EngineState::Starting) << "the speed ramp runs on under the cut";
  engine.skip(719);
  EXPECT_EQ(engine.state(), EngineState::Starting);
  engine.skip(1);
  EXPECT_EQ(engine.state(), EngineState::Playing);
  EXPECT_EQ(engine.probe().fadeRemaining(), 0) << "the cut ends with the ramp, no second crossfade";
}

TEST(BezierRamps, SpeedAndPitchCurvesLandOnTheirEndSpeeds) {
  Engine linear;
  stopAtOnce(linear);
  rs_release_shaped(linear.handle, 0, 1000, 0.0, 0.0, 0.0);
  EXPECT_NEAR(linear.probe().bezierLostSamples(), 500.0, 1e-4) << "a linear rise from 0 loses half the ramp";
  const auto rising = linear.speeds(999);
  for (size_t i = 0; i < 999; ++i) ASSERT_NEAR(rising[i], static_cast<double>(i + 1) / 1000.0, 1e-6);
  EXPECT_NEAR(rs_lag(linear.handle), 500.0, 1.0);

  Engine pitch;
  rs_engage_shaped(pitch.handle, 1, 100, 0.2, 0.3);
  EXPECT_DOUBLE_EQ(pitch.probe().bezierY0(), std::log2(1.06));
  EXPECT_DOUBLE_EQ(pitch.probe().bezierY3(), -4.058893689053568);
  const auto falling = pitch.speeds(100);
  EXPECT_GT(falling[0], 0.99);
  for (size_t i = 1; i < 100; ++i) ASSERT_LE(falling[i], falling[i - 1]);
  EXPECT_EQ(falling.back(), 0.0);
  EXPECT_GT(falling[98], 0.0);

  // A tape scratched backwards has no pitch: its ramp is drawn in speed from where it is.
  Engine backwards;
  rs_begin_scratch(backwards.handle);
  rs_set_scratch_target(backwards.handle, -20000);
  backwards.skip(200);
  const double reverse = rs_speed(backwards.handle);
  ASSERT_LT(reverse, -1.0);
  rs_engage_shaped(backwards.handle, 1, 2000, 0.0, 0.5);
  EXPECT_FALSE(backwards.probe().bezierInPitch());
  EXPECT_EQ(backwards.probe().bezierY0(), reverse);
  const auto stopping = backwards.speeds(2000);
  EXPECT_EQ(stopping[0], 0.0) << "a stop never runs backwards";
  EXPECT_EQ(backwards.state(), EngineState::Stopped);
}

// A stop pressed during a start (and the reverse) must take over and come to rest.
TEST(Ramps, EveryStopAndStartTakesOverHalfWayAndComesToRest) {
  const std::vector<std::function<void(rs_handle, double)>> stops = {
      [](rs_handle h, double L) { rs_engage(h, L, 0.5); },
      [](rs_handle h, double L) { rs_engage_shaped(h, 0, L, 0.3, 0.3); },
      [](rs_handle h, double L) { rs_engage_shaped(h, 1, L, 0.3, 0.3); },
      [](rs_handle h, double L) { rs_engage_platter(h, L, 65, 85); },
  };
  const std::vector<std::function<void(rs_handle, double)>> starts = {
      [](rs_handle h, double L) { rs_release(h, 0, L, -0.5); },
      [](rs_handle h, double L) { rs_release(h, 1, L, 0.0); },
      [](rs_handle h, double L) { rs_release_shaped(h, 0, L, 0.3, 0.3, 0.0); },
      [](rs_handle h, double L) { rs_release_shaped(h, 1, L, 0.3, 0.3, 6000.0); },
      [](rs_handle h, double L) { rs_release_platter(h, L, 65, 85, 0.0); },
      [](rs_handle h, double L) { rs_release_platter(h, L, 26.5, 50, 6000.0); },
  };
  for (size_t s = 0; s < stops.size(); ++s) {
    for (size_t r = 0; r < starts.size(); ++r) {
      Engine engine;
      stops[s](engine.handle, 9600);
      engine.skip(4800);
      starts[r](engine.handle, 9600);
      engine.skip(4800);
      stops[s](engine.handle, 9600);
      ASSERT_EQ(engine.state(), EngineState::Stopping) << s << "," << r;
      EXPECT_LT(largestStep(engine, 9600), 0.03) << "click in stop " << s << " after start " << r;
      ASSERT_EQ(engine.state(), EngineState::Stopped) << s << "," << r;
      starts[r](engine.handle, 9600);
      EXPECT_LT(largestStep(engine, 9600 + 720), 0.03) << "click in start " << r << " after stop " << s;
      ASSERT_EQ(engine.state(), EngineState::Playing) << s << "," << r;
      EXPECT_EQ(rs_lag(engine.handle), 0.0) << "left out of sync by start " << r;
    }
  }
}

}  // namespace
}  // namespace reelstop::test
