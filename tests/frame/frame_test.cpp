// The frame's services: chunks, the MIDI queue, parameters, timers and editor gestures.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>

#include "frame/headless_host.h"
#include "frame/ibyte_chunk.h"
#include "frame/imidi.h"
#include "frame/iparam.h"
#include "frame/resources.h"
#include "frame/timer.h"

namespace frame {
namespace {

TEST(IByteChunk, ReadsBackWhatWasPutAndRefusesAnyReadPastTheEnd) {
  IByteChunk chunk;
  const int32_t version = 7;
  const double value = 0.15;
  chunk.Put(&version);
  EXPECT_EQ(chunk.Put(&value), 12);
  int32_t readVersion = 0;
  double readValue = 0.0;
  EXPECT_EQ(chunk.Get(&readVersion, 0), 4);
  EXPECT_EQ(chunk.Get(&readValue, 4), 12);
  EXPECT_EQ(readVersion, 7);
  EXPECT_EQ(readValue, 0.15);
  for (int pos : {-1, 5, 12, std::numeric_limits<int>::max(), std::numeric_limits<int>::min()}) {
    EXPECT_EQ(chunk.Get(&readValue, pos), -1) << pos;
  }
  EXPECT_EQ(readValue, 0.15) << "a refused read leaves its target alone";
}

IMidiMsg note(int offset, uint8_t number) { return IMidiMsg{offset, 0x90, number, 100}; }

TEST(IMidiQueue, KeepsOffsetOrderWithEqualOffsetsInArrivalOrderAndShiftsAfterABlock) {
  IMidiQueue queue(256);
  EXPECT_EQ(queue.GetSize(), 512) << "room rounds up to whole 4096-byte pages";
  for (auto [offset, number] : {std::pair{30, 1}, {10, 2}, {30, 3}, {10, 4}, {600, 5}}) {
    queue.Add(note(offset, static_cast<uint8_t>(number)));
  }
  std::vector<int> order;
  while (!queue.Empty() && queue.Peek().mOffset < 512) {
    order.push_back(queue.Peek().NoteNumber());
    queue.Remove();
  }
  EXPECT_EQ(order, (std::vector<int>{2, 4, 1, 3}));
  queue.Flush(512);
  ASSERT_EQ(queue.ToDo(), 1);
  EXPECT_EQ(queue.Peek().mOffset, 88);

  for (int i = 0; i < 2000; ++i) queue.Add(note(i % 7, 9));  // grows past its room
  EXPECT_EQ(queue.ToDo(), 2001);
  int previous = -1;
  while (!queue.Empty()) {
    EXPECT_GE(queue.Peek().mOffset, previous);
    previous = queue.Peek().mOffset;
    queue.Remove();
  }
}

// Clamping, shapes and NaN from the host's plain values are exercised through the plug-in's own
// parameters; what only the frame decides is here.
TEST(IParam, EnumsRoundToTheNearestChoiceAndANormalisedNaNKeepsTheValue) {
  IParam time;
  time.InitDouble("Time", 800, 10, 10000, 0.1, "ms", 0, "", IParam::ShapePowCurve(3.6605601196153152));
  time.Set(123.456);
  EXPECT_EQ(time.FromNormalized(std::numeric_limits<double>::quiet_NaN()), 123.456);
  time.SetNormalized(std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(time.Value(), 123.456) << "continuous values are not rounded to their step";

  IParam ramp;
  ramp.InitEnum("Ramp", 4, {"a", "b", "c", "d", "e"});
  for (auto [set, expected] : {std::pair{2.5, 3.0}, {2.49, 2.0}, {-3.0, 0.0}}) {
    ramp.Set(set);
    EXPECT_EQ(ramp.Value(), expected) << set;
  }
  EXPECT_EQ(ramp.FromNormalized(0.6), 2.0);
}

TEST(Timer, TicksEveryPeriodOnTheClockOfItsScopeUntilStopped) {
  ManualTimerClock clock;
  int ticks = 0;
  std::unique_ptr<Timer> timer;
  {
    const TimerClock::Scope scope(clock);
    timer = Timer::Create([&](Timer&) { ++ticks; }, 500);
  }
  clock.Advance(499.0);
  EXPECT_EQ(ticks, 0);
  clock.Advance(1.0);
  EXPECT_EQ(ticks, 1);
  clock.Advance(1600.0);
  EXPECT_EQ(ticks, 4);
  timer->Stop();
  clock.Advance(5000.0);
  EXPECT_EQ(ticks, 4);

  int unscoped = 0;
  auto orphan = Timer::Create([&](Timer&) { ++unscoped; }, 500);
  clock.Advance(5000.0);
  EXPECT_EQ(unscoped, 0) << "a timer made outside any wrapper's scope is not on this clock";
}

// A plug-in with one parameter that remembers what it was told about changes.
class Probe : public Plugin {
 public:
  explicit Probe(const InstanceInfo& info) : Plugin(info, Config{1}) {
    GetParam(0)->InitDouble("Gain", 0.5, 0.0, 1.0, 0.01);
  }
  void ProcessBlock(float**, float**, int) override {}
  void OnParamChangeUI(int paramIdx, EParamSource source) override { told.push_back({paramIdx, source}); }
  std::vector<std::pair<int, EParamSource>> told;
};

TEST(Resources, AFolderBesideTheProgramIsFoundWhereverItRunsFrom) {
  const std::filesystem::path self = FolderBesideProgram("frame_tests");
  EXPECT_TRUE(self.is_absolute()) << self;
  EXPECT_TRUE(std::filesystem::is_regular_file(self)) << self << ": the test program lies beside itself";
  const std::filesystem::path resources = FolderBesideProgram("resources");
  EXPECT_EQ(resources.parent_path(), self.parent_path());
  EXPECT_EQ(resources.filename(), "resources");
}

TEST(Plugin, EditorChangesReachTheHostInsideTheirGestureAndRestoresReachTheEditor) {
  HeadlessHost host([](const InstanceInfo& info) { return std::make_unique<Probe>(info); });
  auto& probe = static_cast<Probe&>(host.plugin());
  probe.BeginInformHostOfParamChangeFromUI(0);
  probe.SendParameterValueFromUI(0, 0.25);
  probe.EndInformHostOfParamChangeFromUI(0);
  EXPECT_EQ(probe.GetParam(0)->Value(), 0.25);
  ASSERT_EQ(host.gestures().size(), 2u);
  EXPECT_TRUE(host.gestures()[0].begin);
  EXPECT_FALSE(host.gestures()[1].begin);
  host.setParameter(0, 1.0);
  IByteChunk chunk = host.saveState();
  EXPECT_EQ(host.restoreState(chunk), 8);
  EXPECT_EQ(host.recalls(), 1);
  EXPECT_EQ(probe.told, (std::vector<std::pair<int, EParamSource>>{{0, kUI}, {0, kHost}, {0, kPresetRecall}}));
}

}  // namespace
}  // namespace frame
