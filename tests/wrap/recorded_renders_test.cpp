// reelstop-render over a few timelines, hashed and compared with the hashes recorded when they
// were first rendered: a rework of the plug-in's insides must leave every output sample, speed
// CSV row and saved state byte as it was. A changed hash is printed, so a deliberate change of
// sound is recorded anew by copying it here.
#include <fstream>

#include "fnv1a.h"
#include "render_harness.h"

namespace reelstop::offline::test {
namespace {

using RecordedRendersTest = RenderFolder;

struct Recording {
  const char* name;
  std::vector<std::string> args;  // the output files are added
  const char* events;             // written to events.txt when not empty
  uint64_t hash;
};

const char* const kAutomationAndTransport = R"(0.2s set Auto=off
0.2s set Ramp=Bezier
0.5s set Stop=on
1.1s set Stop=off
1.6s set Ramp=Bezier pitch
1.6s set Lock=1/8
1.7s note-on 62 90
2.3s note-off 62
2.4s stop
2.6s set Ramp=Linear
2.6s note-on 64
2.9s cc 123 0
3.1s play
3.1s tempo 96
3.3s set Stop=on
3.6s set Scratch=0.3
3.9s set Scratch=-0.4
4.2s set Stop=off
4.4s set Varispeed=60
5.0s set Varispeed=100
5.4s set Ramp=Manual
5.4s set Start Mode=Catch up
5.5s note-on 60
5.9s note-off 60
)";

const char* const kHandsAndMeter = R"(0.3s hand down
0.5s drag 0.8
0.7s drag -0.5
0.9s hand up
1.5s note-on 60
1.8s note-off 60
2.0s hand down
2.1s drag 2.5
2.4s hand up
)";

TEST_F(RecordedRendersTest, EveryOutputIsAsRecorded) {
  writeSound(path("mono.wav"), sine(1, 3 * 44100, 44100));
  const Recording recordings[] = {
      {"the demo", {}, "", 16038175259379398128ULL},
      {"automation and transport",
       {"--seconds", "6.5", "--tempo", "128", "--set", "Weight=70", "--events", "events.txt"},
       kAutomationAndTransport,
       14877624892628782397ULL},
      {"hands, meter and a file",
       {"--tempo", "97", "--meter", "3/4", "--playing", "--start", "2.5", "--block", "300", "--events", "events.txt",
        "mono.wav"},
       kHandsAndMeter,
       1120843902216946510ULL},
  };
  for (const Recording& recording : recordings) {
    if (*recording.events != '\0') std::ofstream(path("events.txt")) << recording.events;
    std::vector<std::string> args = recording.args;
    const std::vector<std::string> outputs = {"--speed-csv", "speed.csv", "--save-state", "saved.state", "out.wav"};
    args.insert(args.end(), outputs.begin(), outputs.end());
    const RunResult result = run(args);
    ASSERT_EQ(result.status, 0) << recording.name << ": " << result.err;
    const Sound out = readSound(path("out.wav"));
    reelstop::test::Fnv1a hash;
    hash.add(out.samples.data(), sizeof(float) * out.samples.size());
    const std::string csv = readBytes(path("speed.csv"));
    const std::string state = readBytes(path("saved.state"));
    hash.add(csv.data(), csv.size());
    hash.add(state.data(), state.size());
    EXPECT_EQ(hash.value(), recording.hash) << recording.name;
  }
}

}  // namespace
}  // namespace reelstop::offline::test
