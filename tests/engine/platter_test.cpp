// The weighted platter's motor arriving on time, its brake from a record moving backwards (its
// other curves are in the sweep), and the scratching hand's spring and clamps.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine_harness.h"

namespace reelstop::test {
namespace {

TEST(Platter, MotorArrivesAtNormalSpeedAfterExactlyTheRampLength) {
  for (double rampSamples : {24000.0, 4000.0}) {
    Engine engine;
    rs_engage(engine.handle, 1, 0.0);
    engine.skip(10);
    rs_release_platter(engine.handle, rampSamples, 65, 85, 0.0);
    EXPECT_EQ(rs_lag(engine.handle), 0.0) << "a silent tape restarts on the live position";
    const auto speeds = engine.speeds(static_cast<long>(rampSamples) - 1);
    if (rampSamples > 4 * 3120) {  // time enough for the inertia to let the motor arrive
      EXPECT_NEAR(speeds.back(), 1.0, 0.01);
    }
    EXPECT_EQ(engine.state(), EngineState::Starting);
    engine.skip(1);
    EXPECT_EQ(engine.state(), EngineState::Playing);
    EXPECT_EQ(rs_speed(engine.handle), 1.0);
    EXPECT_EQ(rs_lag(engine.handle), 0.0);
  }
  // Too heavy to stop, too weak to arrive: the ramps still end on time.
  Engine heavy;
  rs_engage_platter(heavy.handle, 2400, 60000, 85);
  heavy.skip(2400);
  EXPECT_EQ(heavy.state(), EngineState::Stopped);
  rs_release_platter(heavy.handle, 2400, 65, 600000, 0.0);
  heavy.skip(2400);
  EXPECT_EQ(heavy.state(), EngineState::Playing);
  EXPECT_EQ(rs_speed(heavy.handle), 1.0);
}

// A hand that pulled the record back and let go while a note still holds the tape: the brake
// finds it crawling backwards and slowing, and it must come to rest, not drift off forwards.
TEST(Platter, ABrakeFromARecordSettlingBackwardsLeavesItAtRest) {
  Engine engine;
  engine.skip(4800);
  rs_begin_scratch(engine.handle);
  rs_set_scratch_target(engine.handle, -3000.0);
  engine.skip(9000);  // the spring has nearly settled: crawling backwards, slowing down
  ASSERT_LT(rs_speed(engine.handle), 0.0);
  ASSERT_GT(engine.probe().accel(), 0.0);
  rs_engage_platter(engine.handle, 14400, 26.5, 50.0);
  const auto speeds = engine.speeds(14400);
  EXPECT_EQ(*std::max_element(speeds.begin(), speeds.end()), 0.0) << "at rest from the first sample";
  EXPECT_EQ(engine.state(), EngineState::Stopped);
}

TEST(Scratch, TheHandPullsTheHeadWithinTheTapeAndAtMostSixTimesNormalSpeed) {
  Engine engine;
  rs_begin_scratch(engine.handle);
  EXPECT_EQ(rs_is_scratching(engine.handle), 1) << "scratching starts before any audio";
  rs_set_scratch_target(engine.handle, 1e6);  // ahead of the live signal
  for (int i = 0; i < 4800; ++i) {
    engine.skip(1);
    ASSERT_GE(rs_lag(engine.handle), 0.0);
    ASSERT_LE(rs_speed(engine.handle), 1.0);
  }
  EXPECT_LT(rs_lag(engine.handle), 0.025 * kRate) << "the spring follows the live signal within 25 ms";

  double fastest = 0.0;
  for (int swing = 0; swing < 40; ++swing) {
    rs_set_scratch_target(engine.handle, swing % 2 == 0 ? -200000.0 : 0.0);
    for (double s : engine.speeds(2400)) fastest = std::max(fastest, std::fabs(s));
  }
  EXPECT_EQ(fastest, kMaxScratchSpeed);

  rs_set_scratch_target(engine.handle, -1e9);  // further back than the tape reaches
  engine.skip(48000 * 5);
  const double maxLag = engine.probe().maxLag();
  for (int i = 0; i < 48000; ++i) {
    engine.skip(1);
    ASSERT_LE(rs_lag(engine.handle), maxLag + 1.0);
    ASSERT_GE(rs_speed(engine.handle), 0.0);
  }
  EXPECT_NEAR(rs_lag(engine.handle), maxLag, 1.0);
  EXPECT_EQ(engine.state(), EngineState::Scratching);
}

}  // namespace
}  // namespace reelstop::test
