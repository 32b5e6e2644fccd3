// The offline host's transport: song position, bar lines and the changes the timeline makes.
#include "transport.h"

#include <gtest/gtest.h>

namespace reelstop::offline {
namespace {

TEST(TransportTest, PositionAndBarLinesFollowTempoMeterAndRunning) {
  // 120 BPM at 48 kHz: 24000 frames a beat. 6/8: a bar of 3 quarter notes.
  Transport transport({48000.0, 120.0, 6, 8, true, 2.0});
  frame::ITimeInfo info = transport.blockInfo();
  EXPECT_EQ(info.mTempo, 120.0);
  EXPECT_EQ(info.mNumerator, 6);
  EXPECT_EQ(info.mDenominator, 8);
  EXPECT_TRUE(info.mTransportIsRunning);
  EXPECT_EQ(info.mPPQPos, 2.0);
  EXPECT_EQ(info.mLastBar, 0.0);
  for (int block = 0; block < 24; ++block) transport.advance(1000);  // one beat in uneven blocks
  info = transport.blockInfo();
  EXPECT_DOUBLE_EQ(info.mPPQPos, 3.0);
  EXPECT_EQ(info.mLastBar, 3.0) << "a position on a bar line is in that bar";

  transport.setPlaying(false);
  transport.advance(24000);
  EXPECT_DOUBLE_EQ(transport.blockInfo().mPPQPos, 3.0) << "a stopped transport moved";
  transport.setPlaying(true);
  transport.setTempo(60.0);
  transport.advance(48000);
  info = transport.blockInfo();
  EXPECT_DOUBLE_EQ(info.mPPQPos, 4.0);
  EXPECT_EQ(info.mTempo, 60.0);

  Transport noClock({48000.0, std::nullopt, 4, 4, true, 0.0});
  noClock.advance(48000);
  info = noClock.blockInfo();
  EXPECT_EQ(info.mTempo, 0.0);
  EXPECT_EQ(info.mPPQPos, -1.0);
  EXPECT_EQ(info.mLastBar, -1.0);
}

}  // namespace
}  // namespace reelstop::offline
