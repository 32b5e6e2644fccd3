// Saved state: round trips, refusals and damaged or hostile chunks.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "plugin_harness.h"

namespace reelstop::test {
namespace {

constexpr int kStateBytes = 168;

frame::IByteChunk header(int32_t version, int32_t width = 0, int32_t height = 0, float scale = 0.0f) {
  frame::IByteChunk chunk;
  chunk.Put(&version);
  chunk.Put(&width);
  chunk.Put(&height);
  chunk.Put(&scale);
  return chunk;
}

std::vector<double> values(Instance& instance) {
  std::vector<double> all;
  for (int i = 0; i < kNumParams; ++i) all.push_back(instance.param(i).Value());
  return all;
}

TEST(State, RoundTripsAndRefusesForeignChunksWithoutChangingAnything) {
  Instance saved;
  saved.param(kStopTime).Set(1234.5);
  saved.param(kRamp).Set(2);
  saved.param(kWeight).Set(72.25);
  const frame::IByteChunk chunk = saved.host.saveState();

  Instance restored;
  EXPECT_EQ(restored.host.restoreState(chunk), kStateBytes);
  EXPECT_EQ(values(restored), values(saved));
  EXPECT_EQ(restored.host.saveState().Size(), kStateBytes);
  EXPECT_EQ(0, std::memcmp(restored.host.saveState().GetData(), chunk.GetData(), kStateBytes));

  Instance untouched;
  const std::vector<double> before = values(untouched);
  frame::IByteChunk version2 = header(2);
  for (int i = 0; i < kNumParams; ++i) version2.Put(&i);
  EXPECT_EQ(untouched.host.restoreState(version2), -1);
  frame::IByteChunk truncated = header(1);
  const frame::IByteChunk cutHeader(truncated.GetData(), 10);
  EXPECT_EQ(untouched.host.restoreState(cutHeader), -1);
  EXPECT_EQ(untouched.plugin().UnserializeState(chunk, -4), -1);
  EXPECT_EQ(untouched.host.restoreState(frame::IByteChunk()), -1);
  EXPECT_EQ(values(untouched), before);
  EXPECT_EQ(untouched.host.recalls(), 0);
}

TEST(State, ACutChunkRestoresWhatIsCompleteAndOutOfRangeValuesAreHeld) {
  Instance instance;
  frame::IByteChunk chunk = header(1, 630, 720, 1.5f);
  const double stored[] = {1.0, 20000.0, 3.0, -7.0, 5.0, 2.0};  // Stop, Stop Time, Stop Sync, Curve, Start...
  for (double value : stored) chunk.Put(&value);
  chunk.PutBytes("\x01\x02\x03", 3);  // half of the seventh value
  EXPECT_EQ(instance.host.restoreState(chunk), -1);
  EXPECT_EQ(instance.param(kStop).Value(), 1.0);
  EXPECT_EQ(instance.param(kStopTime).Value(), 10000.0);
  EXPECT_EQ(instance.param(kStopCurve).Value(), -1.0);
  EXPECT_EQ(instance.param(kStartTime).Value(), 10.0);
  EXPECT_EQ(instance.param(kStartSync).Value(), 2.0);
  EXPECT_EQ(instance.param(kStartCurve).Value(), 0.0) << "the cut value keeps its own";
  EXPECT_EQ(instance.param(kEaseOut).Value(), 0.45);
  // The editor size waits for the editor's next opening and is saved back unchanged.
  EXPECT_EQ(instance.plugin().EditorWidth(), 630);
  EXPECT_EQ(instance.plugin().EditorScale(), 1.5f);

  frame::IByteChunk stepped = header(1);
  for (int i = 0; i < kNumParams; ++i) {
    const double value = i == kRamp ? 2.6 : (i == kStop ? 0.5 : (i == kSnap ? 99.0 : 0.0));
    stepped.Put(&value);
  }
  EXPECT_EQ(instance.host.restoreState(stepped), kStateBytes);
  EXPECT_EQ(instance.display(kRamp), "Bezier pitch");
  EXPECT_EQ(instance.param(kStop).Value(), 1.0);
  EXPECT_EQ(instance.display(kSnap), "1 bar");
}

TEST(State, AnEditorSizeNoEditorCouldOpenAtIsPassedOverAndTheParametersStillRestore) {
  constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
  struct Size {
    int32_t width, height;
    float scale;
  };
  Instance instance;
  frame::IByteChunk usable = header(1, 630, 720, 1.5f);
  for (int i = 0; i < kNumParams; ++i) usable.PutBytes("\0\0\0\0\0\0\0\0", 8);
  ASSERT_EQ(instance.host.restoreState(usable), kStateBytes);
  for (const Size& hostile : {Size{-420, 480, 1.0f}, Size{420, 0, 1.0f}, Size{16385, 480, 1.0f}, Size{420, 480, kNaN},
                              Size{420, 480, std::numeric_limits<float>::infinity()}, Size{420, 480, 0.5f},
                              Size{420, 480, 2.5f}, Size{0, 0, 1.0f}, Size{420, 480, 0.0f}}) {
    frame::IByteChunk chunk = header(1, hostile.width, hostile.height, hostile.scale);
    const double stopTimeMs = 1234.0;
    for (int i = 0; i < kNumParams; ++i) {
      const double value = i == kStopTime ? stopTimeMs : instance.param(i).GetDefault();
      chunk.Put(&value);
    }
    instance.param(kStopTime).Set(800.0);
    EXPECT_EQ(instance.host.restoreState(chunk), kStateBytes) << hostile.width << "x" << hostile.height;
    EXPECT_EQ(instance.param(kStopTime).Value(), stopTimeMs) << "the parameters restore all the same";
    const frame::IByteChunk saved = instance.host.saveState();
    EXPECT_EQ(0, std::memcmp(saved.GetData(), usable.GetData(), 16))
        << hostile.width << "x" << hostile.height << " at " << hostile.scale << " replaced the kept size";
  }
  // The largest and smallest sizes an editor opens at are kept, and all zero means none.
  for (const Size& fine : {Size{16384, 16384, 2.0f}, Size{1, 1, 0.75f}, Size{0, 0, 0.0f}}) {
    instance.host.restoreState(header(1, fine.width, fine.height, fine.scale));
    EXPECT_EQ(instance.plugin().EditorWidth(), fine.width);
    EXPECT_EQ(instance.plugin().EditorHeight(), fine.height);
    EXPECT_EQ(instance.plugin().EditorScale(), fine.scale);
  }
}

TEST(State, HostileChunksNeverLeaveAParameterOutsideItsRange) {
  std::mt19937 random(168);
  const double nasty[] = {std::numeric_limits<double>::quiet_NaN(),
                          std::numeric_limits<double>::infinity(),
                          -std::numeric_limits<double>::infinity(),
                          1e308,
                          -1e308,
                          4.9e-324};
  Instance instance;
  for (int trial = 0; trial < 300; ++trial) {
    frame::IByteChunk chunk = header(1, static_cast<int32_t>(random()), static_cast<int32_t>(random()));
    for (int i = 0; i < kNumParams; ++i) {
      const double value = random() % 2 ? nasty[random() % 6] : static_cast<double>(static_cast<int32_t>(random()));
      chunk.Put(&value);
    }
    const frame::IByteChunk cut(chunk.GetData(), static_cast<int>(random() % (kStateBytes + 8)));
    instance.plugin().UnserializeState(cut, static_cast<int>(random() % 3) - 1);
    for (int i = 0; i < kNumParams; ++i) {
      const frame::IParam& p = instance.param(i);
      ASSERT_TRUE(p.Value() >= p.GetMin() && p.Value() <= p.GetMax()) << p.GetName() << " = " << p.Value();
    }
  }
}

}  // namespace
}  // namespace reelstop::test
