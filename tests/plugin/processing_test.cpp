// Block processing: the idle record, empty blocks and channels, a reset under a held stop.
#include <gtest/gtest.h>

#include "plugin_harness.h"

namespace reelstop::test {
namespace {

constexpr double kRate = 48000.0;

TEST(Processing, TheRecordRestsAfterHalfASecondOfSilenceAndTurnsAgainOnOneSample) {
  Instance instance;
  instance.host.configure(kRate, 480, 2);
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
  instance.host.configure(kRate, 512, 2);
  instance.play(512);
  const int64_t seen = instance.plugin().editorLink().samplesSeen.load();
  const uint32_t blocks = instance.plugin().editorLink().blockCount.load();
  instance.play(0);
  EXPECT_EQ(instance.plugin().editorLink().samplesSeen.load(), seen);
  EXPECT_EQ(instance.plugin().editorLink().blockCount.load(), blocks + 1);

  Instance mono;
  mono.host.configure(kRate, 512, 2);
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
  instance.host.configure(kRate, 512, 2);
  instance.set(kStop, 1);
  instance.playBlocks(4);
  EXPECT_EQ(instance.plugin().control().stopsIssued(), 1);
  // A fresh engine plays, so the stop must be issued to it again.
  instance.host.configure(kRate, 512, 2);
  instance.playBlocks(1);
  EXPECT_EQ(instance.plugin().control().stopsIssued(), 2);
  EXPECT_TRUE(instance.plugin().control().isEngaged());
}

}  // namespace
}  // namespace reelstop::test
