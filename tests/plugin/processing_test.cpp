// Block processing: the grid a spin-up lands on, the idle record, empty blocks and channels.
#include <gtest/gtest.h>

#include "plugin_harness.h"

namespace reelstop::test {
namespace {

constexpr double kRate = 48000.0;

TEST(Processing, ASpinUpWhileTheSongPlaysLandsOnTheSnapGridToTheSample) {
  Instance instance;
  instance.host.configure(kRate, 512, 2);
  frame::ITimeInfo& transport = instance.host.transport();
  transport = {120.0, 4, 4, true, 0.0, 0.0};
  const double beatsPerSample = 120.0 / 60.0 / kRate;
  auto advance = [&](int frames) {
    instance.play(frames);
    transport.mPPQPos += frames * beatsPerSample;
    transport.mLastBar = std::floor(transport.mPPQPos / 4.0) * 4.0;
  };
  for (int b = 0; b < 20; ++b) advance(512);
  instance.note(37, true);
  for (int b = 0; b < 30; ++b) advance(512);
  instance.note(211, false);
  const long release = instance.position + 211;
  for (int b = 0; b < 60; ++b) advance(512);
  // Back on the live signal for good from the sample where the spin-up ends.
  long landed = static_cast<long>(instance.left.size());
  while (landed > release && instance.left[static_cast<size_t>(landed - 1)] == numbered(landed - 3, 0)) --landed;
  const double landedBeat = static_cast<double>(landed) * beatsPerSample;  // the song started at sample 0, beat 0
  EXPECT_GT(landed, release + 7344);
  EXPECT_NEAR(landedBeat, std::round(landedBeat), beatsPerSample / 2) << "Snap 1/4: a whole beat, to the sample";
}

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
