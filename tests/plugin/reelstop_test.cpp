// Reelstop in the headless host: format changes, blocks, the idle record, the parameter displays,
// a reset under a held stop, and the development engine hot swap.
#include <gtest/gtest.h>

#include "host_fixture.h"
#include "plugin_harness.h"

namespace reelstop::test {
namespace {

TEST(Reelstop, PlaysThroughTwoSamplesLateAtEveryRate) {
  for (double rate : {44100.0, 48000.0, 96000.0}) {
    Instance instance;
    instance.host.configure(rate, 512, 2);
    EXPECT_EQ(instance.plugin().timing().sampleRate, rate);
    instance.playSeconds(0.2);
    EXPECT_EQ(instance.firstDeparture(), -1) << "the input, exactly two samples late";
    EXPECT_EQ(instance.host.latency(), 2);
  }
}

TEST(Processing, TheRecordRestsAfterHalfASecondOfSilenceAndTurnsAgainOnOneSample) {
  Instance instance;
  instance.host.configure(48000.0, 480, 2);
  instance.play(480);
  for (int b = 0; b < 49; ++b) instance.play(480, true);
  EXPECT_TRUE(instance.plugin().editorLink().active.load()) << "0.49 s of silence";
  instance.play(480, true);
  EXPECT_FALSE(instance.plugin().editorLink().active.load()) << "0.5 s of silence";
  const double resting = instance.plugin().editorLink().platterPhase.load();
  instance.play(480, true);
  EXPECT_EQ(instance.plugin().editorLink().platterPhase.load(), resting);
  std::vector<float> loud(480, 0.0f), quiet(480, 0.0f);
  loud[200] = 0.001f;
  float* inputs[2] = {loud.data(), quiet.data()};
  std::vector<float> out0(480), out1(480);
  float* outputs[2] = {out0.data(), out1.data()};
  instance.host.process(inputs, outputs, 480);
  EXPECT_TRUE(instance.plugin().editorLink().active.load());
  instance.play(480, true);
  EXPECT_GT(instance.plugin().editorLink().platterPhase.load(), resting) << "the record turns with the played tape";
}

TEST(Processing, AnEmptyBlockPublishesWithoutTouchingTheHistoryAndMonoFillsTheSecondOutput) {
  Instance instance;
  instance.host.configure(48000.0, 512, 2);
  instance.play(512);
  const int64_t seen = instance.plugin().editorLink().samplesSeen.load();
  const uint32_t blocks = instance.plugin().editorLink().blockCount.load();
  instance.play(0);
  EXPECT_EQ(instance.plugin().editorLink().samplesSeen.load(), seen);
  EXPECT_EQ(instance.plugin().editorLink().blockCount.load(), blocks + 1);

  Instance mono;
  mono.host.configure(48000.0, 512, 2);
  mono.plugin().SetChannelsConnected(1, 2);
  std::vector<float> in(64, 0.5f), out0(64, 9.0f), out1(64, 9.0f);
  float* inputs[2] = {in.data(), nullptr};
  float* outputs[2] = {out0.data(), out1.data()};
  mono.host.process(inputs, outputs, 64);
  EXPECT_EQ(out0[10], 0.5f);
  for (float sample : out1) ASSERT_EQ(sample, 0.0f) << "the second output carries silence, not stale tape";
}

TEST(Processing, AResetReissuesAHeldStopToTheFreshEngine) {
  Instance instance;
  instance.host.configure(48000.0, 512, 2);
  instance.set(kStop, 1);
  instance.playBlocks(4);
  EXPECT_EQ(instance.plugin().control().stopsIssued(), 1);
  // A fresh engine plays, so the stop must be issued to it again.
  instance.host.configure(48000.0, 512, 2);
  instance.playBlocks(1);
  EXPECT_EQ(instance.plugin().control().stopsIssued(), 2);
  EXPECT_TRUE(instance.plugin().control().isEngaged());
}

TEST(Params, TimesCurvesAndPercentagesFormatAtTheirEdges) {
  Instance instance;
  auto shows = [&](int index, double value) {
    instance.param(index).Set(value);
    return instance.display(index);
  };
  EXPECT_EQ(shows(kStopTime, 999.4), "999 ms");
  EXPECT_EQ(shows(kStopTime, 999.6), "1000 ms");
  EXPECT_EQ(shows(kStopTime, 1000.0), "1.00 s");
  EXPECT_EQ(shows(kStopTime, 10000.0), "10.00 s");
  EXPECT_EQ(shows(kStopTime, 12.5), "13 ms") << "halves away from zero";
  EXPECT_EQ(shows(kStopCurve, 0.019), "linear");
  EXPECT_EQ(shows(kStopCurve, -0.019), "linear");
  EXPECT_EQ(shows(kStopCurve, -0.02), "-0.02");
  EXPECT_EQ(shows(kStartCurve, 0.555), "0.56");
  EXPECT_EQ(shows(kVarispeed, 33.5), "34%");
  EXPECT_EQ(shows(kScratch, -1.23456), "-1.23");

  instance.param(kStopTime).SetNormalized(0.5);
  EXPECT_EQ(instance.display(kStopTime), "800 ms");
  EXPECT_NEAR(instance.param(kStopTime).Value(), 800.0, 1e-9);
  EXPECT_NEAR(instance.param(kStartTime).ToNormalized(400.0), 0.412, 0.001);
}

// A data folder of the test's own with a development build in it.
class DevelopmentEngine : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    install(REELSTOP_ENGINE_LIBRARY);
  }
};

// Picked up by the 500 ms timer on its second poll, and played.
TEST_F(DevelopmentEngine, HotSwapsWhileThePlugInPlays) {
  Instance instance;
  instance.host.configure(48000.0, 512, 2);
  EXPECT_EQ(instance.plugin().engineHost().statusText(), "built-in engine");
  instance.playSeconds(0.9);  // the first poll only notes the file
  EXPECT_EQ(instance.plugin().engineHost().statusText(), "built-in engine");
  EXPECT_EQ(instance.firstDeparture(), -1);
  instance.playSeconds(0.2);  // loaded on the second; a new engine starts with an empty tape
  EXPECT_EQ(instance.plugin().engineHost().statusText().rfind("dev ", 0), 0u)
      << instance.plugin().engineHost().statusText();
  const long swapped = instance.firstDeparture();
  instance.playSeconds(0.2);
  EXPECT_EQ(instance.firstDeparture(swapped + 2), -1) << "the new engine plays the input two samples late";
}

TEST_F(DevelopmentEngine, ASwappedInEngineIsStoppedAgainWhenAStopIsHeld) {
  Instance instance;
  instance.host.configure(48000.0, 512, 2);
  instance.param(kStop).Set(1.0);
  instance.playSeconds(1.6);  // swapped in at one second, then a one-beat stop
  ASSERT_EQ(instance.plugin().engineHost().statusText().rfind("dev ", 0), 0u);
  EXPECT_EQ(instance.plugin().control().stopsIssued(), 2) << "the new engine plays until the stop is issued again";
  EXPECT_TRUE(instance.plugin().control().isEngaged());
  EXPECT_EQ(instance.plugin().editorLink().displaySpeed.load(), 0.0f);
}

}  // namespace
}  // namespace reelstop::test
