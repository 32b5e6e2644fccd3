// Stops and starts from notes, "Stop" and the hand, at exact samples and with the right lengths.
#include <gtest/gtest.h>

#include "engine_probe.h"
#include "plugin_harness.h"

namespace reelstop::test {
namespace {

// A short linear stop: the head leaves the live signal, visibly, on the sample after it begins.
void useLinearStops(Instance& instance) {
  instance.host.configure(48000.0, 512, 2);
  instance.set(kAuto, 0);
  instance.set(kRamp, choiceIndex(kRampChoices, "Linear"));
  instance.set(kStopTime, 10);
}

TEST(Control, ANoteStopsTheTapeAtItsOwnSampleWhereverItArrives) {
  struct Case {
    int offset;
    long departs;
  };
  // In the block, past the block (kept for the next one), and before it (taken as 0).
  for (const Case& c : {Case{100, 613}, Case{600, 1113}, Case{-40, 513}}) {
    Instance instance;
    useLinearStops(instance);
    instance.play(512);
    instance.note(c.offset, true);
    instance.playBlocks(3);
    EXPECT_EQ(instance.firstDeparture(), c.departs) << "note at offset " << c.offset;
    EXPECT_TRUE(instance.plugin().control().isEngaged());
  }
}

TEST(Control, HeldNotesTriggerAndStopHoldTheTape) {
  Instance instance;
  useLinearStops(instance);
  instance.note(10, true, 60);
  instance.note(20, true, 64);
  instance.note(30, false, 60);
  instance.play(512);
  EXPECT_TRUE(instance.plugin().control().isEngaged()) << "one of two notes still held";
  instance.host.sendMidi({50, 0xB0, 123, 0});  // all notes off
  instance.play(512);
  EXPECT_FALSE(instance.plugin().control().isEngaged());
  EXPECT_EQ(instance.plugin().control().startsIssued(), 1);

  instance.set(kMidiTrigger, 0);
  instance.note(0, true);
  instance.play(512);
  EXPECT_FALSE(instance.plugin().control().isEngaged()) << "counted, but the trigger is off";
  instance.set(kMidiTrigger, 1);
  instance.play(512);
  EXPECT_TRUE(instance.plugin().control().isEngaged()) << "the held note stops the tape at the next block";

  instance.set(kStop, 1);
  instance.note(5, false);
  instance.note(6, false);  // a note-off with nothing held stays at 0
  instance.play(512);
  EXPECT_TRUE(instance.plugin().control().isEngaged()) << "\"Stop\" holds through the note-off";
  instance.set(kStop, 0);
  instance.play(512);
  EXPECT_FALSE(instance.plugin().control().isEngaged());
}

// Two regions retriggering one pitch, stray note-offs and hanging notes: what is held is a set of
// keys, not a count of messages.
TEST(Control, NotesAreHeldByKeyNotCountedByMessage) {
  Instance instance;
  useLinearStops(instance);
  Reelstop& plugin = instance.plugin();
  instance.note(10, true, 60);
  instance.note(20, true, 60);
  instance.note(30, false, 60);
  instance.play(512);
  EXPECT_FALSE(plugin.control().isEngaged()) << "a key pressed twice is released by one note-off";
  EXPECT_EQ(plugin.control().startsIssued(), 1);

  instance.note(0, true, 60);
  instance.note(10, false, 64);               // a key never pressed
  instance.host.sendMidi({20, 0x90, 67, 0});  // velocity 0: a note-off, of a key never pressed
  instance.play(512);
  EXPECT_TRUE(plugin.control().isEngaged()) << "stray note-offs leave the held key held";
  EXPECT_EQ(plugin.control().startsIssued(), 1);

  instance.host.sendMidi({0, 0x93, 60, 100});  // the same note on channel 4 is another key
  instance.note(10, false, 60);
  instance.play(512);
  EXPECT_TRUE(plugin.control().isEngaged()) << "channel 4 still holds its key";
  instance.host.sendMidi({0, 0x83, 60, 0});
  instance.play(512);
  EXPECT_FALSE(plugin.control().isEngaged());
  EXPECT_EQ(plugin.control().stopsIssued(), 2);
  EXPECT_EQ(plugin.control().startsIssued(), 2);
}

// Samples from a release until the start has landed back on the live signal.
long startLength(Instance& instance) {
  long samples = 0;
  do {
    instance.play(1);
    ++samples;
  } while (!(instance.lag() == 0.0 && instance.speed() == 1.0) && samples < 1000000);
  return samples;
}

TEST(Control, AutoReleasesTakeTheirLengthFromTheHoldAndThePlatterMinimum) {
  Instance instance;
  instance.host.configure(48000.0, 512, 2);
  instance.host.transport().mTempo = 120.0;
  instance.note(0, true);
  instance.play(100);
  instance.note(0, false);
  EXPECT_EQ(startLength(instance), 7344) << "a tap asks for 3000 samples, the platter needs 153 ms";

  instance.playBlocks(20);
  instance.note(0, true);
  instance.playBlocks(60);  // held for longer than the one-beat stop
  instance.note(0, false);
  EXPECT_EQ(startLength(instance), 24000) << "a long hold returns in one beat";
}

TEST(Control, ScratchAutomationMovesTheHeldTapeByTurnsOfTheRecord) {
  Instance instance;
  instance.host.configure(48000.0, 512, 2);
  const EngineProbe tape(instance.engine().engine);
  instance.set(kStop, 1);
  instance.playBlocks(60);  // the automatic stop lasts one beat
  instance.set(kScratch, 0.005);
  instance.play(512);
  EXPECT_EQ(tape.state(), EngineState::Stopped) << "within the dead band nothing scratches";
  instance.set(kScratch, 0.5);
  instance.play(512);
  ASSERT_EQ(tape.state(), EngineState::Scratching);
  EXPECT_EQ(tape.scratchOffset(), 0.0);
  instance.set(kScratch, 0.75);
  instance.play(512);
  EXPECT_DOUBLE_EQ(tape.scratchOffset(), instance.plugin().editorLink().samplesPerTurn.load() / 4);
  instance.set(kStop, 0);
  instance.play(512);
  EXPECT_EQ(tape.state(), EngineState::Starting) << "the end of the scratch starts the tape";
}

TEST(Control, TheHandStopsScratchesAndReleasesAndClosingTheEditorLetsGo) {
  Instance instance;
  instance.host.configure(48000.0, 512, 2);
  instance.plugin().editorLink().handDown.store(true);
  instance.play(512);
  EXPECT_TRUE(instance.plugin().control().isEngaged());
  instance.plugin().editorLink().scratchAngle.store(-1.0);
  instance.plugin().editorLink().scratching.store(true);
  instance.play(512);
  EXPECT_EQ(instance.engine().api.is_scratching(instance.engine().engine), 1);
  instance.plugin().OnUIClose();
  EXPECT_FALSE(instance.plugin().editorLink().scratching.load());
  EXPECT_FALSE(instance.plugin().editorLink().handDown.load());
  instance.play(512);
  EXPECT_FALSE(instance.plugin().control().isEngaged());
  EXPECT_EQ(instance.engine().api.is_scratching(instance.engine().engine), 0);
}

}  // namespace
}  // namespace reelstop::test
