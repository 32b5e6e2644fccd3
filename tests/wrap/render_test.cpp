// End-to-end tests of reelstop-render: listings, a note stopping the tape at its sample,
// and the state chunk saved and restored. Plain pass-through is compared with lv2file's.
#include <cmath>
#include <cstring>
#include <sstream>

#include "render_harness.h"

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

}  // namespace
}  // namespace reelstop::offline::test
