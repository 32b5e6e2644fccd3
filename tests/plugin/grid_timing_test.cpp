// Stop and spin-up lengths from tempo, meter, song position and grid.
#include "grid_timing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "choices.h"

namespace reelstop::test {
namespace {

const int kSnapFree = choiceIndex(kSnapChoices, "Free");
const int kSnapSixteenth = choiceIndex(kSnapChoices, "1/16");
const int kSnapQuarter = choiceIndex(kSnapChoices, "1/4");
const int kSnapBar = choiceIndex(kSnapChoices, "1 bar");
const int kSyncSixteenth = choiceIndex(kSyncChoices, "1/16");
const int kSyncOneBar = choiceIndex(kSyncChoices, "1 bar");
const int kSyncFourBars = choiceIndex(kSyncChoices, "4 bars");
const int kTurnOneBar = choiceIndex(kTurnChoices, "1 bar");
const int kTurnTwoBars = choiceIndex(kTurnChoices, "2 bars");

frame::ITimeInfo playingAt(double ppq, double tempo = 120.0, int numerator = 4, int denominator = 4) {
  return {tempo, numerator, denominator, true, ppq, 0.0};
}

GridTiming timingFor(const frame::ITimeInfo& transport) {
  GridTiming timing;
  timing.readTransport(transport, false);
  return timing;
}

TEST(GridTiming, SyncedLengthsFollowTempoAndMeterUpToTheTenSecondCap) {
  GridTiming timing = timingFor(playingAt(0.0));
  EXPECT_EQ(timing.rampSamples(800.0, 0), 38400.0);
  EXPECT_EQ(timing.rampSamples(800.0, kSyncSixteenth), 6000.0);
  EXPECT_EQ(timing.rampSamples(800.0, kSyncFourBars), 384000.0);
  EXPECT_EQ(timing.rampSamples(10000.0, 0), 480000.0);
  timing.readTransport(playingAt(0.0, 120.0, 6, 8), false);
  EXPECT_EQ(timing.rampSamples(800.0, kSyncOneBar), 72000.0) << "6/8 has three beats to the bar";
  timing.readTransport(playingAt(0.0, 30.0), false);
  EXPECT_EQ(timing.rampSamples(800.0, kSyncFourBars), 480000.0) << "32 seconds are capped at 10";
  timing.readTransport(playingAt(0.0, 0.5), false);
  EXPECT_EQ(timing.tempo, 1.0);

  // Without a host tempo the last one stays, and a bar counts as 1.8 seconds for the record.
  timing.readTransport({}, false);
  EXPECT_FALSE(timing.hostTempo);
  EXPECT_EQ(timing.tempo, 1.0);
  EXPECT_EQ(timing.samplesPerTurn(kTurnOneBar), 86400.0);
  timing.readTransport(playingAt(0.0), true);
  EXPECT_FALSE(timing.hostTempo) << "a stand-alone application's tempo is not a host's";
  timing.readTransport(playingAt(0.0), false);
  EXPECT_EQ(timing.samplesPerTurn(kTurnTwoBars), 192000.0);
}

TEST(GridTiming, AutomaticStopsEndOnAWholeBeatWhileTheSongPlays) {
  EXPECT_NEAR(timingFor(playingAt(3.9)).autoStopSamples(0, kSnapQuarter), 1.1 * 24000, 1e-6);
  EXPECT_NEAR(timingFor(playingAt(4.2)).autoStopSamples(0, kSnapQuarter), 0.8 * 24000, 1e-6);
  EXPECT_NEAR(timingFor(playingAt(4.2)).autoStopSamples(0, kSnapSixteenth), 0.8 * 24000, 1e-6)
      << "the grid size only switches the alignment on";
  EXPECT_NEAR(timingFor(playingAt(3.0)).autoStopSamples(12000, kSnapQuarter), 1.5 * 24000, 1e-6)
      << "half a beat into the block: from beat 3.5, one beat on rounds (away from zero) to beat 5";
  EXPECT_EQ(timingFor(playingAt(3.9)).autoStopSamples(0, kSnapFree), 24000.0);
  frame::ITimeInfo stopped = playingAt(3.9);
  stopped.mTransportIsRunning = false;
  EXPECT_EQ(timingFor(stopped).autoStopSamples(0, kSnapQuarter), 24000.0);
}

TEST(GridTiming, SpinUpsEndOnTheSnapGridAndNeverShrinkBelowHalfOrTheMinimum) {
  EXPECT_NEAR(timingFor(playingAt(3.0)).startSamplesOnGrid(0, 24000, 0, kSnapBar), 1.0 * 24000, 1e-6);
  EXPECT_NEAR(timingFor(playingAt(2.2)).startSamplesOnGrid(0, 24000, 0, kSnapBar), 1.8 * 24000, 1e-6);
  EXPECT_NEAR(timingFor(playingAt(0.9)).startSamplesOnGrid(0, 24000, 0, kSnapBar), 3.1 * 24000, 1e-6);
  EXPECT_NEAR(timingFor(playingAt(0.0)).startSamplesOnGrid(0, 1000, 30000, kSnapQuarter), 48000, 1e-6)
      << "whole grid steps until the minimum is met";
  EXPECT_EQ(timingFor(playingAt(0.9)).startSamplesOnGrid(0, 1000, 7344, kSnapFree), 7344.0);
  EXPECT_EQ(timingFor(playingAt(0.9)).startSamplesOnGrid(0, 900000, 0, kSnapFree), 480000.0);

  // A song position without a bar line counts the grid from the start of the song.
  frame::ITimeInfo noBar = playingAt(6.5);
  noBar.mLastBar = -1.0;
  GridTiming timing = timingFor(noBar);
  EXPECT_EQ(timing.barStartPpq, 0.0);
  EXPECT_EQ(timing.reentryGridBeats(kSnapBar), 4.0);
  EXPECT_EQ(timing.reentryGridBeats(kSnapFree), 0.0);
}

TEST(GridTiming, ATransportThatIsNotANumberOrAbsurdNeverStallsOrPoisonsALength) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  GridTiming timing = timingFor(playingAt(8.0));
  timing.readTransport({nan, 4, 4, true, nan, nan}, false);
  EXPECT_EQ(timing.tempo, 120.0);
  EXPECT_FALSE(timing.songPlaying);
  EXPECT_EQ(timing.blockPpq, 8.0);
  for (double position : {1e300, -1e300, 4.5e15}) {
    timing.readTransport(playingAt(position, 1e9), false);
    const double stop = timing.autoStopSamples(511, kSnapSixteenth);
    const double start = timing.startSamplesOnGrid(511, 1e6, 4e5, kSnapSixteenth);
    EXPECT_TRUE(std::isfinite(stop) && stop <= 480000.0) << position;
    EXPECT_TRUE(std::isfinite(start) && start <= 480000.0) << position;
  }
}

}  // namespace
}  // namespace reelstop::test
