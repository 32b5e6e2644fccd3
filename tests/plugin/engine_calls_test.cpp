// The engine commands behind every kind of ramp, read back from a stand-in engine that records
// each call with its arguments.
#include <gtest/gtest.h>

#include <cmath>

#include "fake_engine.h"
#include "host_fixture.h"
#include "plugin_harness.h"

namespace reelstop::test {
namespace {

using Kind = FakeEngineCall::Kind;

class EngineCalls : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    install(FAKE_HALF_LIBRARY);
    instance.host.configure(48000.0, 512, 2);
    instance.host.transport().mTempo = 120.0;  // 24000 samples a beat; the song is not playing
    instance.playSeconds(1.1);                 // the timer's second poll swaps the recorder in
    ASSERT_EQ(instance.plugin().engineHost().statusText(), "dev half");
  }
  const FakeEngineState& engine() {
    return *reinterpret_cast<const FakeEngineState*>(instance.plugin().engineHost().current().engine);
  }
  // Flips "Stop" and plays a block: exactly one command must come of it.
  FakeEngineCall toggle(bool stop) {
    const int before = engine().callCount;
    instance.set(kStop, stop ? 1.0 : 0.0);
    instance.play(512);
    EXPECT_EQ(engine().callCount, before + 1) << (stop ? "stop" : "start");
    return engine().calls[engine().callCount - 1];
  }

  Instance instance;
};

void expectCall(const FakeEngineCall& call, Kind kind, int32_t mode, std::initializer_list<double> values,
                const char* what) {
  EXPECT_EQ(call.kind, kind) << what;
  EXPECT_EQ(call.mode, mode) << what;
  size_t i = 0;
  for (const double value : values) EXPECT_EQ(call.values[i++], value) << what << ", argument " << i;
}

TEST_F(EngineCalls, EveryRampSendsItsOwnCallWithTheParametersItReads) {
  instance.set(kAuto, 0);
  instance.set(kStopTime, 250);   // 12000 samples
  instance.set(kStartTime, 100);  // 4800 samples
  instance.set(kStopCurve, 0.3);
  instance.set(kStartCurve, -0.4);
  instance.set(kStartMode, choiceIndex(kStartModeChoices, "Catch up"));
  instance.set(kEaseIn, 0.2);
  instance.set(kEaseOut, 0.7);
  instance.set(kLock, choiceIndex(kLockChoices, "1/8"));  // a 12000-sample grid
  instance.set(kWeight, 50);  // inertia 65 ms, motor 85 ms: a platter start of at least 14400 samples

  instance.set(kRamp, choiceIndex(kRampChoices, "Manual"));
  expectCall(toggle(true), Kind::kEngage, 0, {12000.0, 0.3}, "Manual stop");
  expectCall(toggle(false), Kind::kRelease, 1, {4800.0, -0.4}, "Manual start: its mode and curve");
  instance.set(kRamp, choiceIndex(kRampChoices, "Linear"));
  expectCall(toggle(true), Kind::kEngage, 0, {12000.0, 0.0}, "Linear stop");
  expectCall(toggle(false), Kind::kRelease, 0, {4800.0, 0.0}, "Linear start: a spin-up whatever the mode");
  instance.set(kRamp, choiceIndex(kRampChoices, "Bezier"));
  expectCall(toggle(true), Kind::kEngageShaped, 0, {12000.0, 0.2, 0.7}, "Bezier stop");
  expectCall(toggle(false), Kind::kReleaseShaped, 0, {4800.0, 0.7, 0.2, 12000.0}, "Bezier start: eases swapped");
  instance.set(kRamp, choiceIndex(kRampChoices, "Bezier pitch"));
  expectCall(toggle(true), Kind::kEngageShaped, 1, {12000.0, 0.2, 0.7}, "Bezier pitch stop");
  expectCall(toggle(false), Kind::kReleaseShaped, 1, {4800.0, 0.7, 0.2, 12000.0}, "Bezier pitch start");
  instance.set(kRamp, choiceIndex(kRampChoices, "Platter"));
  expectCall(toggle(true), Kind::kEngagePlatter, 0, {12000.0, 65.0, 85.0}, "Platter stop");
  expectCall(toggle(false), Kind::kReleasePlatter, 0, {14400.0, 65.0, 85.0, 12000.0},
             "Platter start: the platter minimum, and Lock");

  // "Auto" plays every ramp on the platter: a beat's stop, and a tap's start with no Lock grid.
  instance.set(kRamp, choiceIndex(kRampChoices, "Bezier"));
  instance.set(kAuto, 1);
  expectCall(toggle(true), Kind::kEngagePlatter, 0, {24000.0, 65.0, 85.0}, "Auto stop");
  expectCall(toggle(false), Kind::kReleasePlatter, 0, {14400.0, 65.0, 85.0, 0.0}, "Auto start");
}

TEST_F(EngineCalls, AllNotesOffStartsTheTapeAtItsOwnSample) {
  for (const int key : {60, 62, 64}) instance.note(0, true, static_cast<uint8_t>(key));
  instance.play(512);
  const int64_t blockStart = engine().framesProcessed;
  instance.host.sendMidi({300, 0xB0, 123, 0});
  instance.play(512);
  ASSERT_EQ(engine().calls[engine().callCount - 1].kind, Kind::kReleasePlatter);
  EXPECT_EQ(engine().calls[engine().callCount - 1].atFrame, blockStart + 300) << "three keys let go at once";
  instance.note(0, false, 62);
  instance.note(10, true, 62);
  instance.play(512);
  EXPECT_EQ(engine().calls[engine().callCount - 1].kind, Kind::kEngagePlatter) << "a cleared key is pressed afresh";
}

TEST_F(EngineCalls, TheHandScratchesByTurnsOfTheRecord) {
  instance.plugin().editorLink().handDown.store(true);
  instance.play(512);
  instance.plugin().editorLink().scratchAngle.store(1.0);
  instance.plugin().editorLink().scratching.store(true);
  instance.play(512);
  instance.plugin().editorLink().scratchAngle.store(1.0 + std::acos(-1.0) / 4);
  instance.play(512);
  const int count = engine().callCount;
  ASSERT_GE(count, 4);
  expectCall(engine().calls[count - 3], Kind::kBeginScratch, 0, {}, "the drag begins");
  expectCall(engine().calls[count - 2], Kind::kSetScratchTarget, 0, {0.0}, "where the drag began");
  EXPECT_DOUBLE_EQ(engine().calls[count - 1].values[0], instance.plugin().editorLink().samplesPerTurn.load() / 8)
      << "an eighth of a turn moves the tape an eighth of a turn's worth of song";
}

}  // namespace
}  // namespace reelstop::test
