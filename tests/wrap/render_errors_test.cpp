// Tests of reelstop-render's refusals and of its whole-or-nothing outputs.
// Each bad request is one "reelstop-render: " line, status 2, and nothing written or replaced.
#include <csignal>
#include <fstream>

#include "render_harness.h"

namespace reelstop::offline::test {
namespace {

using RenderErrorsTest = RenderFolder;

TEST_F(RenderErrorsTest, BadRequestsWriteNothingAndGoodOnesReplaceOutputsWhole) {
  writeSound(path("in.wav"), sine(2, 4800));
  writeSound(path("three.wav"), sine(3, 480));
  std::ofstream(path("short.state")) << "abc";
  std::ofstream(path("out.wav")) << "an earlier render";
  std::ofstream(path("s.png")) << "an earlier snapshot";
  const std::vector<std::string> before = listing();
  const std::string input = readBytes(path("in.wav"));
  const std::vector<std::vector<std::string>> requests = {
      {"missing.wav", "out.wav"},
      {"three.wav", "out.wav"},
      {"--set", "Nope=1", "in.wav", "out.wav"},
      {"--set", "Stop Time=20000", "in.wav", "out.wav"},
      {"--set", "Ramp=Wobbly", "in.wav", "out.wav"},
      {"--set", "Snap=2.5", "in.wav", "out.wav"},
      {"--preset", "Louder", "in.wav", "out.wav"},
      {"--event", "2.5x note-on", "in.wav", "out.wav"},
      {"--event", "100 note-on 60 200", "in.wav", "out.wav"},
      {"--event", "100 jump", "in.wav", "out.wav"},
      {"--event", "4800 note-on", "in.wav", "out.wav"},
      {"--event", "1b note-on", "in.wav", "out.wav"},
      {"in.wav", "in.wav"},
      {"in.wav", "./in.wav"},
      {"--save-state", "out.wav", "in.wav", "out.wav"},
      {"--block", "0", "in.wav", "out.wav"},
      {"--meter", "4/3", "in.wav", "out.wav"},
      {"--tempo", "fast", "in.wav", "out.wav"},
      {"--rate", "10", "out.wav"},
      {"--seconds", "-1", "out.wav"},
      {"--frobnicate", "in.wav", "out.wav"},
      {"--load-state", "short.state", "in.wav", "out.wav"},
      {"in.wav", "no-such-folder/out.wav"},
      // The audio, or every other output, is staged before the last one is found unwritable.
      {"--save-state", "no-such-folder/s.state", "in.wav", "out.wav"},
      {"--snapshot", "s.png", "--speed-csv", "c.csv", "--plot", "no-such-folder/p.png", "in.wav", "out.wav"},
      {"--event", "100 drag 1", "in.wav", "out.wav"},
      {"--event", "100 hand down", "--event", "200 hand up", "--event", "300 drag 1", "in.wav", "out.wav"},
      {"--tempo", "120", "--start", "4", "--event", "3b note-on", "in.wav", "out.wav"},
      {"--start", "-1e300", "out.wav"},
      {"--snapshot", "s.png", "--page", "back", "in.wav", "out.wav"},
      {"--snapshot", "s.png", "--scale", "0.5", "in.wav", "out.wav"},
      {"--snapshot", "s.png", "--scale", "3", "in.wav", "out.wav"},
      {"--snapshot", "s.png", "--scale", "abc", "in.wav", "out.wav"},
      {"--page", "settings", "in.wav", "out.wav"},
      {"--scale", "1", "in.wav", "out.wav"},
      {"--snapshot", "in.wav", "in.wav", "out.wav"},
      {"--plot", "out.wav", "in.wav", "out.wav"},
      {"--snapshot", "s.png", "--plot", "s.png", "in.wav", "out.wav"},
      {"--plot", ".", "in.wav", "out.wav"},
      {"--snapshot", "no-such-folder/s.png", "--plot", "p.png", "in.wav", "out.wav"},
  };
  for (const auto& args : requests) {
    std::string request;
    for (const std::string& arg : args) request += arg + " ";
    const RunResult result = run(args);
    EXPECT_EQ(result.status, 2) << request;
    EXPECT_EQ(result.err.rfind("reelstop-render: ", 0), 0u) << request << ": " << result.err;
    EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << request << ": not one line: " << result.err;
    EXPECT_EQ(listing(), before) << request << " left a file behind";
  }
  EXPECT_EQ(readBytes(path("in.wav")), input);
  EXPECT_EQ(readBytes(path("out.wav")), "an earlier render");
  EXPECT_EQ(readBytes(path("s.png")), "an earlier snapshot");
  EXPECT_EQ(run({"--start", "-1e300", "out.wav"}).err,
            "reelstop-render: --start wants a song position from -1000000 to 1000000 beats, not '-1e300'\n");
  EXPECT_EQ(run({"--snapshot", "s.png", "--scale", "3", "out.wav"}).err,
            "reelstop-render: --scale wants a size from 0.75 to 2, not '3'\n");
  EXPECT_EQ(run({"--page", "main", "out.wav"}).err,
            "reelstop-render: --page and --scale shape the --snapshot picture; give --snapshot FILE.png too\n");

  ASSERT_EQ(run({"--snapshot", "s.png", "--plot", "p.png", "in.wav", "out.wav"}).status, 0);
  EXPECT_EQ(readSound(path("out.wav")).frames(), 4800);
  EXPECT_EQ(readBytes(path("s.png")).substr(1, 3), "PNG") << "replaced whole";
  EXPECT_EQ(readBytes(path("p.png")).substr(1, 3), "PNG");
  const std::vector<std::string> written = {"in.wav", "out.wav", "p.png", "s.png", "short.state", "three.wav"};
  EXPECT_EQ(listing(), written) << "no temporary file left";
}

TEST_F(RenderErrorsTest, ASignalStopsTheRenderAndLeavesNoOutputWholeOrBegun) {
  for (const auto& [signal, status] : {std::pair{SIGINT, 130}, std::pair{SIGTERM, 143}}) {
    const RunResult result = runUntilSignalled({"--rate", "8000", "--seconds", "600", "--snapshot", "long.png",
                                                "--plot", "long-plot.png", "--speed-csv", "long.csv", "long.wav"},
                                               signal);
    EXPECT_EQ(result.status, status) << result.err;
    EXPECT_TRUE(listing().empty()) << "a temporary file was left: " << listing().front();
  }
}

}  // namespace
}  // namespace reelstop::offline::test
