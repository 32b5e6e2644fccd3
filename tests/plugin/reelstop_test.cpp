// Reelstop in the headless host: format changes, blocks, and the development engine hot swap.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "plugin_harness.h"

namespace reelstop::test {
namespace {

namespace fs = std::filesystem;

// Plays whole 512-frame blocks for about `seconds`.
void play(Instance& instance, double seconds) {
  instance.playBlocks(static_cast<int>(seconds * instance.plugin().GetSampleRate() / 512));
}

TEST(Reelstop, PlaysThroughTwoSamplesLateAtEveryRate) {
  for (double rate : {44100.0, 48000.0, 96000.0}) {
    Instance instance;
    instance.host.configure(rate, 512, 2);
    EXPECT_EQ(instance.plugin().timing().sampleRate, rate);
    play(instance, 0.2);
    EXPECT_EQ(instance.firstDeparture(), -1) << "the input, exactly two samples late";
    EXPECT_EQ(instance.host.latency(), 2);
  }
}

TEST(Reelstop, ReadsTheHostTransportEveryBlock) {
  Instance instance;
  instance.host.configure(48000.0, 64, 2);
  instance.host.transport() = {90.0, 6, 8, true, 7.5, 6.0};
  std::vector<float> a(64), b(64);
  float* io[2] = {a.data(), b.data()};
  instance.host.process(io, io, 64);
  const GridTiming& timing = instance.plugin().timing();
  EXPECT_EQ(timing.tempo, 90.0);
  EXPECT_EQ(timing.beatsPerBar, 3.0);
  EXPECT_TRUE(timing.songPlaying);
  EXPECT_EQ(timing.blockPpq, 7.5);
  EXPECT_EQ(timing.barStartPpq, 6.0);
  EXPECT_NEAR(instance.plugin().rampSamples(kStopTime, kStopSync), 38400.0, 1e-9);
}

// A data folder of the test's own with a development build in it.
class DevelopmentEngine : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(mkdtemp(folder), nullptr);
    setenv("XDG_DATA_HOME", folder, 1);
    setenv("TMPDIR", folder, 1);
    fs::create_directories(fs::path(folder) / "Reelstop" / "dev");
    fs::copy_file(REELSTOP_ENGINE_LIBRARY, fs::path(folder) / "Reelstop" / "dev" / "reelstop_engine.so");
  }
  void TearDown() override {
    unsetenv("XDG_DATA_HOME");
    unsetenv("TMPDIR");
    fs::remove_all(folder);
  }
  char folder[32] = "/tmp/reelstop-plugin-XXXXXX";
};

// Picked up by the 500 ms timer on its second poll, and played.
TEST_F(DevelopmentEngine, HotSwapsWhileThePlugInPlays) {
  Instance instance;
  instance.host.configure(48000.0, 512, 2);
  EXPECT_EQ(instance.plugin().engineHost().statusText(), "built-in engine");
  play(instance, 0.9);  // the first poll only notes the file
  EXPECT_EQ(instance.plugin().engineHost().statusText(), "built-in engine");
  EXPECT_EQ(instance.firstDeparture(), -1);
  play(instance, 0.2);  // loaded on the second; a new engine starts with an empty tape
  EXPECT_EQ(instance.plugin().engineHost().statusText().rfind("dev ", 0), 0u)
      << instance.plugin().engineHost().statusText();
  const long swapped = instance.firstDeparture();
  play(instance, 0.2);
  EXPECT_EQ(instance.firstDeparture(swapped + 2), -1) << "the new engine plays the input two samples late";
}

TEST_F(DevelopmentEngine, ASwappedInEngineIsStoppedAgainWhenAStopIsHeld) {
  Instance instance;
  instance.host.configure(48000.0, 512, 2);
  instance.param(kStop).Set(1.0);
  play(instance, 1.6);  // swapped in at one second, then a one-beat stop
  ASSERT_EQ(instance.plugin().engineHost().statusText().rfind("dev ", 0), 0u);
  EXPECT_EQ(instance.plugin().stopsIssued(), 2) << "the new engine plays until the stop is issued again";
  EXPECT_TRUE(instance.plugin().isEngaged());
  EXPECT_EQ(instance.plugin().displaySpeed.load(), 0.0f);
}

}  // namespace
}  // namespace reelstop::test
