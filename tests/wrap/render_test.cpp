// End-to-end tests of reelstop-render: listings, a note stopping the tape at its sample, the state
// chunk saved and restored, and the factory presets; and its transport.
#include <cmath>
#include <cstring>
#include <map>
#include <sstream>

#include "frame/headless_host.h"
#include "presets.h"
#include "reelstop.h"
#include "render_harness.h"
#include "transport.h"

namespace reelstop::offline::test {
namespace {

constexpr int kLatencySamples = 2;

// The first frame at which the output is no longer the input delayed by the latency.
int64_t firstDeparture(const Sound& in, const Sound& out, float tolerance) {
  for (int64_t f = 0; f < out.frames(); ++f) {
    for (int c = 0; c < out.channels; ++c) {
      const float delayed = f < kLatencySamples ? 0.0f : in.at(f - kLatencySamples, c);
      if (std::fabs(out.at(f, c) - delayed) > tolerance) return f;
    }
  }
  return out.frames();
}

using RenderTest = RenderFolder;

// The demo's sound and format are in the recorded renders; here, the other things it prints.
TEST_F(RenderTest, ParametersListAndHelpPrints) {
  const RunResult list = run({"--list-params"});
  EXPECT_EQ(list.status, 0);
  int rows = 0;
  std::istringstream lines(list.out);
  for (std::string line; std::getline(lines, line);) {
    int index = -1;
    if (std::istringstream(line) >> index) ++rows;  // the header row starts with a word
  }
  EXPECT_EQ(rows, 19);
  EXPECT_NE(list.out.find("Stop Time"), std::string::npos);
  EXPECT_EQ(run({"--help"}).status, 0);
}

TEST_F(RenderTest, NoteOnStopsTheTapeAtItsSample) {
  const Sound in = sine(2, 48000);
  writeSound(path("in.wav"), in);
  const std::vector<std::string> linearStop = {"--block",  "256",   "--tempo",     "120",   "--set",
                                               "Auto=off", "--set", "Ramp=Linear", "--set", "Stop Time=500"};
  auto withEvent = [&](const std::string& event, const std::string& output) {
    std::vector<std::string> args = linearStop;
    args.insert(args.end(), {"--event", event, "in.wav", output});
    return run(args).status;
  };
  ASSERT_EQ(withEvent("12000 note-on", "samples.wav"), 0);
  const Sound out = readSound(path("samples.wav"));
  const int64_t departure = firstDeparture(in, out, 1e-6f);
  EXPECT_GE(departure, 12000) << "the stop began before its sample";
  EXPECT_LE(departure, 12000 + 8) << "the stop began late";

  // The same sample in seconds and in beats (120 BPM from song position 0).
  ASSERT_EQ(withEvent("0.25s note-on", "seconds.wav"), 0);
  ASSERT_EQ(withEvent("0.5b note-on", "beats.wav"), 0);
  EXPECT_EQ(readSound(path("seconds.wav")).samples, out.samples);
  EXPECT_EQ(readSound(path("beats.wav")).samples, out.samples);
}

TEST_F(RenderTest, TheDemoPlaysFromAnySongPositionAndARetriggeredNoteStillReleases) {
  // The default timeline's events before the first sample are left out, as those past the end are.
  const RunResult fromBeat4 = run({"--start", "4", "--seconds", "3", "late.wav"});
  EXPECT_EQ(fromBeat4.status, 0) << fromBeat4.err;
  const RunResult retriggered = run({"--seconds", "4", "--event", "1s note-on 60", "--event", "1.2s note-on 60",
                                     "--event", "1.5s note-off 60", "notes.wav"});
  EXPECT_EQ(retriggered.status, 0) << retriggered.err;
  EXPECT_NE(retriggered.out.find("1 stops and 1 starts issued"), std::string::npos) << retriggered.out;
}

TEST_F(RenderTest, SavedStateRestores) {
  writeSound(path("in.wav"), sine(2, 4800));
  // A plain value is stored as given, not as a trip through the normalised scale makes it.
  ASSERT_EQ(run({"--set", "Start Time=800", "--save-state", "exact.state", "in.wav", "exact.wav"}).status, 0);
  const std::string exact = readBytes(path("exact.state"));
  double startTimeMs = 0.0;
  ASSERT_EQ(exact.size(), 168u);
  std::memcpy(&startTimeMs, exact.data() + 16 + 8 * 4, sizeof startTimeMs);
  EXPECT_EQ(startTimeMs, 800.0);

  ASSERT_EQ(run({"--set", "Weight=70", "--save-state", "a.state", "in.wav", "a.wav"}).status, 0);
  ASSERT_EQ(run({"--load-state", "a.state", "--save-state", "b.state", "in.wav", "b.wav"}).status, 0);
  ASSERT_EQ(run({"--save-state", "default.state", "in.wav", "c.wav"}).status, 0);
  const std::string saved = readBytes(path("a.state"));
  EXPECT_EQ(saved.size(), 168u);
  EXPECT_EQ(readBytes(path("b.state")), saved) << "the loaded state did not come back unchanged";
  EXPECT_NE(readBytes(path("default.state")), saved) << "--set Weight=70 is not in the state";
}

TEST_F(RenderTest, PresetsEachIsASoundOfItsOwnAndTheSameAsSettingItsValues) {
  frame::HeadlessHost host([](const frame::InstanceInfo& info) { return std::make_unique<Reelstop>(info); });
  const std::vector<std::string> demo{"--seconds", "4"};
  auto render = [&](std::vector<std::string> args, const std::string& file) {
    args.insert(args.begin(), demo.begin(), demo.end());
    args.push_back(path(file));
    const RunResult result = run(args);
    EXPECT_EQ(result.status, 0) << result.err;
    return readBytes(path(file));
  };
  std::map<std::string, std::string> sounds{{"defaults", render({}, "defaults.wav")}};
  int index = 0;
  for (const Preset& preset : factoryPresets()) {
    const std::string file = "preset" + std::to_string(index++) + ".wav";
    const std::string sound = render({"--preset", preset.name}, file);
    for (const auto& [other, otherSound] : sounds)
      EXPECT_NE(sound, otherSound) << preset.name << " sounds like " << other;
    sounds[preset.name] = sound;

    // A preset is the whole table over the defaults: the same as setting every parameter, even
    // after another preset and a state that moved them all.
    std::vector<std::string> settings{"--preset", "Half-speed drag"};
    const std::vector<double> values = presetValues(host.plugin(), preset);
    for (size_t i = 0; i < values.size(); ++i) {
      settings.push_back("--set");
      settings.push_back(std::string(host.plugin().GetParam(static_cast<int>(i))->GetName()) + "=" +
                         std::to_string(values[i]));
    }
    EXPECT_EQ(render(settings, "set-" + file), sound) << preset.name;
  }
  EXPECT_GE(factoryPresets().size(), 8u);
  const RunResult listed = run({"--list-presets"});
  for (const Preset& preset : factoryPresets()) EXPECT_NE(listed.out.find(preset.name), std::string::npos);
}

TEST(Transport, PositionAndBarLinesFollowTempoMeterAndRunning) {
  // 120 BPM at 48 kHz: 24000 frames a beat. 6/8: a bar of 3 quarter notes.
  Transport transport({48000.0, 120.0, 6, 8, true, 2.0});
  frame::ITimeInfo info = transport.blockInfo();
  EXPECT_EQ(info.mTempo, 120.0);
  EXPECT_EQ(info.mNumerator, 6);
  EXPECT_EQ(info.mDenominator, 8);
  EXPECT_TRUE(info.mTransportIsRunning);
  EXPECT_EQ(info.mPPQPos, 2.0);
  EXPECT_EQ(info.mLastBar, 0.0);
  for (int block = 0; block < 24; ++block) transport.advance(1000);  // one beat in uneven blocks
  info = transport.blockInfo();
  EXPECT_DOUBLE_EQ(info.mPPQPos, 3.0);
  EXPECT_EQ(info.mLastBar, 3.0) << "a position on a bar line is in that bar";

  transport.setPlaying(false);
  transport.advance(24000);
  EXPECT_DOUBLE_EQ(transport.blockInfo().mPPQPos, 3.0) << "a stopped transport moved";
  transport.setPlaying(true);
  transport.setTempo(60.0);
  transport.advance(48000);
  info = transport.blockInfo();
  EXPECT_DOUBLE_EQ(info.mPPQPos, 4.0);
  EXPECT_EQ(info.mTempo, 60.0);

  Transport noClock({48000.0, std::nullopt, 4, 4, true, 0.0});
  noClock.advance(48000);
  info = noClock.blockInfo();
  EXPECT_EQ(info.mTempo, 0.0);
  EXPECT_EQ(info.mPPQPos, -1.0);
  EXPECT_EQ(info.mLastBar, -1.0);
}
}  // namespace
}  // namespace reelstop::offline::test
