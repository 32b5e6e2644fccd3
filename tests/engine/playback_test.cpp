// The tape at playing speed: delay, channels, sizes, varispeed and its catch-up, the lag limit.
#include <gtest/gtest.h>

#include <limits>
#include <random>

#include "engine_harness.h"

namespace reelstop::test {
namespace {

TEST(Playback, PassesInputThroughExactlyTwoSamplesLateAtAnyBlockSize) {
  std::mt19937 random(7);
  std::uniform_real_distribution<float> sample(-1.0f, 1.0f);
  for (int engineChannels : {1, 2}) {
    for (int blockFrames : {1, 7, 64, 512, 1000}) {
      Engine engine(engineChannels);
      const int blockChannels = engineChannels + 1;  // the extra channel must come out silent
      std::vector<std::vector<float>> input(static_cast<size_t>(blockChannels), std::vector<float>(4000));
      for (auto& channel : input)
        for (float& s : channel) s = sample(random);
      auto output = input;
      for (int start = 0; start < 4000; start += blockFrames) {
        std::vector<float*> io;
        for (auto& channel : output) io.push_back(channel.data() + start);
        rs_process(engine.handle, io.data(), blockChannels, std::min(blockFrames, 4000 - start));
      }
      for (int c = 0; c < blockChannels; ++c) {
        for (int i = 0; i < 4000; ++i) {
          const auto channel = static_cast<size_t>(c);
          const float expected = c < engineChannels && i >= 2 ? input[channel][static_cast<size_t>(i - 2)] : 0.0f;
          ASSERT_EQ(output[channel][static_cast<size_t>(i)], expected)
              << "channel " << c << " sample " << i << " block " << blockFrames;
        }
      }
      EXPECT_EQ(rs_lag(engine.handle), 0.0);
      EXPECT_EQ(rs_speed(engine.handle), 1.0);
    }
  }
}

TEST(Playback, SizesTheTapeForTwentySecondsAndTheCrossfadeForFifteenMilliseconds) {
  struct Expected {
    double rate;
    double maxLag;
    int fadeLength;
  };
  for (const Expected& e :
       {Expected{44100, 1048512, 662}, Expected{48000, 1048512, 720}, Expected{96000, 2097088, 1440}}) {
    Engine engine(2, e.rate);
    EXPECT_EQ(engine.probe().tapeSamples(), 2 * (static_cast<size_t>(e.maxLag) + 64)) << e.rate;
    EXPECT_EQ(engine.probe().maxLag(), e.maxLag) << e.rate;
    EXPECT_EQ(engine.probe().fadeLength(), e.fadeLength) << e.rate;
  }
}

TEST(Playback, UnusableCreationArgumentsGiveAWorkingEngine) {
  for (double rate :
       {0.0, -44100.0, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
    Engine engine(1, rate);
    ASSERT_NE(engine.handle, nullptr);
    EXPECT_EQ(engine.probe().sampleRate(), 48000.0) << rate;
    std::vector<float> out;
    engine.run(
        6, [](long i) { return static_cast<float>(i + 1); }, [&](float s) { out.push_back(s); });
    EXPECT_EQ(out, (std::vector<float>{0, 0, 1, 2, 3, 4})) << "rate " << rate;
    EXPECT_EQ(rs_lag(engine.handle), 0.0);
  }
  Engine tiny(1, 0.5);  // the ring must still leave the head behind the live position
  EXPECT_GT(tiny.probe().maxLag(), 0.0);

  Engine noChannels(-3, 48000.0);
  ASSERT_NE(noChannels.handle, nullptr);
  float left[4] = {1, 2, 3, 4}, right[4] = {5, 6, 7, 8};
  float* io[2] = {left, right};
  rs_process(noChannels.handle, io, 2, 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(left[i] + right[i], 0.0f);
  rs_process(noChannels.handle, io, 2, 0);
  rs_process(noChannels.handle, io, 2, -5);
  EXPECT_EQ(rs_lag(noChannels.handle), 0.0);
}

TEST(Playback, NonFiniteInputNeverReachesTheOutput) {
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const std::vector<float> input = {0.25f, nan, inf, -inf, 3e38f, -3e38f, 1e30f, -1e-30f, 0.5f, 0.0f};
  const std::vector<float> expected = {0, 0, 0.25f, 0, 0, 0, 1e30f, -1e30f, 1e30f, -1e-30f};
  Engine engine;
  std::vector<float> out;
  engine.run(
      10, [&](long i) { return input[static_cast<size_t>(i)]; }, [&](float s) { out.push_back(s); });
  EXPECT_EQ(out, expected);

  // A slow head interpolates across the poisoned stretch; a stopped head stands on it.
  Engine slow;
  rs_set_varispeed(slow.handle, 0.3);
  bool allFinite = true;
  auto poisoned = [&](long i) { return i % 97 == 0 ? nan : (i % 89 == 0 ? inf : tone(i)); };
  auto check = [&](float s) { allFinite = allFinite && std::isfinite(s); };
  slow.run(20000, poisoned, check);
  rs_engage(slow.handle, 300, 0.0);
  slow.run(20000, poisoned, check);
  EXPECT_TRUE(allFinite);
}

TEST(Playback, VarispeedDragsTheTapeAndTheCatchUpLandsWithoutPassingTheLivePosition) {
  Engine engine;
  rs_set_varispeed(engine.handle, 0.5);
  const auto dragging = engine.speeds(24000);
  EXPECT_LT(dragging[0], 1.0);
  EXPECT_GT(dragging[0], 0.99);  // 30 ms then 10 ms smoothing: no jump
  EXPECT_NEAR(dragging.back(), 0.5, 1e-6);
  const double lag = rs_lag(engine.handle);
  rs_set_varispeed(engine.handle, 0.5);
  engine.skip(1000);
  EXPECT_NEAR(rs_lag(engine.handle) - lag, 500.0, 0.01);

  rs_set_varispeed(engine.handle, 1.0);
  double fastest = 0.0;
  double smallestLag = 1e9;
  long landedAt = -1;
  for (long i = 0; i < 10 * 48000 && landedAt < 0; ++i) {
    fastest = std::max(fastest, engine.speeds(1)[0]);
    smallestLag = std::min(smallestLag, rs_lag(engine.handle));
    if (rs_lag(engine.handle) == 0.0) landedAt = i;
  }
  ASSERT_GE(landedAt, 0) << "the tape never caught up";
  EXPECT_GT(fastest, 1.5);
  EXPECT_LE(fastest, 2.0);
  EXPECT_GE(smallestLag, 0.0);
  // Back in sync: the very input, two samples late.
  engine.skip(4800);
  const long toneFrom = engine.fed;
  engine.run(4800, tone, [&](float out) {
    ASSERT_EQ(out, engine.fed - 3 >= toneFrom ? tone(engine.fed - 3) : 0.0f);
    ASSERT_EQ(rs_lag(engine.handle), 0.0);
    ASSERT_NEAR(rs_speed(engine.handle), 1.0, 1e-9);
  });

  rs_set_varispeed(engine.handle, 0.1);
  EXPECT_EQ(engine.probe().varispeed(), 0.25);
  rs_set_varispeed(engine.handle, 2.0);
  EXPECT_EQ(engine.probe().varispeed(), 1.0);
  rs_set_varispeed(engine.handle, std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(engine.probe().varispeed(), 1.0);
}

TEST(Playback, TheLagLimitJumpsWithACrossfadeWhilePlayingAndSilentlyWhenStopped) {
  constexpr double kLowRate = 8000.0;  // a short tape keeps the test quick
  Engine dragged(1, kLowRate);
  const double maxLag = dragged.probe().maxLag();
  rs_set_varispeed(dragged.handle, 0.25);
  double lagBefore = 0.0;
  while (rs_lag(dragged.handle) >= lagBefore) {
    lagBefore = rs_lag(dragged.handle);
    dragged.skip(1);
    ASSERT_LE(rs_lag(dragged.handle), maxLag + 1.0);
  }
  EXPECT_NEAR(rs_lag(dragged.handle), maxLag / 2.0, 1.0);
  EXPECT_EQ(dragged.probe().fadeRemaining(), dragged.probe().fadeLength());

  Engine stopped(1, kLowRate);
  rs_engage(stopped.handle, 1, 0.0);
  double loudest = 0.0;
  lagBefore = 0.0;
  stopped.run(static_cast<long>(maxLag) + 10, tone, [&](float s) {
    loudest = std::max(loudest, static_cast<double>(std::fabs(s)));
    const double lag = rs_lag(stopped.handle);
    if (lag < lagBefore) {
      EXPECT_EQ(lag, 0.0);
      EXPECT_EQ(stopped.probe().fadeRemaining(), 0);
    }
    lagBefore = lag;
  });
  EXPECT_EQ(loudest, 0.0);
  EXPECT_LT(rs_lag(stopped.handle), 100.0);
}

}  // namespace
}  // namespace reelstop::test
