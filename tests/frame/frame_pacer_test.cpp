// The window's frame count: 60 a second whatever the host's idle rate, at most four at once.
#include "frame_pacer.h"

#include <gtest/gtest.h>

namespace frame {
namespace {

TEST(FramePacer, CountsTheSixtiethsElapsedAtAnyCallingRateAndAtMostFourAfterAStall) {
  using std::chrono::milliseconds;
  FramePacer pacer;
  FramePacer::Clock::time_point now{};
  EXPECT_EQ(pacer.Due(now), 1) << "the first call draws";
  EXPECT_EQ(pacer.Due(now + milliseconds(5)), 0) << "too soon";
  // A host calling 30 times a second: two frames a call, 60 a second in all.
  int frames = 0;
  for (int call = 1; call <= 30; ++call) frames += pacer.Due(now + call * milliseconds(1000) / 30);
  EXPECT_NEAR(frames, 60, 1);
  now += milliseconds(1500);
  EXPECT_EQ(pacer.Due(now), FramePacer::kMostSteps) << "no burst after a stall";
  EXPECT_EQ(pacer.Due(now + milliseconds(1)), 0) << "the frames missed are dropped, not owed";
  EXPECT_EQ(pacer.Due(now + FramePacer::kPeriod + milliseconds(1)), 1);
}

}  // namespace
}  // namespace frame
