// The bundle in the command-line hosts: lv2info's view of the ports, the editor and the presets,
// lv2_validate, lv2file rendering through both plug-ins (and agreeing with reelstop-render),
// lv2bench.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "command.h"
#include "test_signal.h"

namespace reelstop::lv2::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kUris[] = {"https://ferncliff.example/plugins/reelstop#mono",
                                 "https://ferncliff.example/plugins/reelstop#stereo"};
constexpr int kChannels[] = {1, 2};
constexpr int kParams = 19;
constexpr int kRateHz = 48000;
constexpr size_t kLatencyFrames = 2;

size_t count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + 1)) ++n;
  return n;
}

// A scratch folder for the files a test writes, removed with it.
class CommandLineHosts : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = fs::temp_directory_path() / ("reelstop-lv2-" + std::to_string(::getpid()));
    fs::create_directories(folder);
  }
  void TearDown() override { fs::remove_all(folder); }

  // lv2file over one second of the noise; returns what it wrote.
  WavFile lv2file(int variant, const std::string& controls = "") {
    const std::string in = (folder / "in.wav").string();
    const std::string out = (folder / "out.wav").string();
    writeWav(in, {kRateHz, noise(kChannels[variant], kRateHz)});
    fs::remove(out);
    const CommandResult result =
        runHost("lv2file " + controls + " -i " + in + " -o " + out + " '" + kUris[variant] + "'");
    EXPECT_EQ(result.exitCode, 0) << result.output;
    return readWav(out);
  }

  fs::path folder;
};

TEST_F(CommandLineHosts, Lv2infoShowsEveryPortAndLv2validatePasses) {
  for (int variant = 0; variant < 2; ++variant) {
    const CommandResult info = runHost(std::string("lv2info '") + kUris[variant] + "'");
    ASSERT_EQ(info.exitCode, 0) << info.output;
    // One section per port, each opened by "Port N:".
    size_t controlInputs = 0, audioInputs = 0, audioOutputs = 0, latency = 0;
    std::string atomInputs;  // their sections' first lines, "Port N:", and symbols
    for (size_t pos = info.output.find("\tPort "); pos != std::string::npos;) {
      const size_t next = info.output.find("\tPort ", pos + 1);
      const std::string port = info.output.substr(pos, next - pos);
      const bool input = port.find("lv2core#InputPort") != std::string::npos;
      if (port.find("lv2core#ControlPort") != std::string::npos && input) ++controlInputs;
      if (port.find("lv2core#AudioPort") != std::string::npos) ++(input ? audioInputs : audioOutputs);
      if (port.find("atom#AtomPort") != std::string::npos && input) {
        const size_t symbol = port.find("Symbol:");
        atomInputs += port.substr(1, port.find('\n') - 1) + " " + port.substr(symbol, port.find('\n', symbol) - symbol);
        atomInputs += next == std::string::npos ? " (last)\n" : "\n";
      }
      if (port.find("Designation: http://lv2plug.in/ns/lv2core#latency") != std::string::npos && !input) ++latency;
      pos = next;
    }
    EXPECT_EQ(controlInputs, static_cast<size_t>(kParams)) << kUris[variant];
    EXPECT_EQ(latency, 1u);
    // MIDI and the transport where they always were; the transport alone after every other port,
    // so that no port saved sessions know moves.
    const int lastPort = kParams + 1 + 2 * kChannels[variant] + 1;
    EXPECT_EQ(atomInputs, "Port " + std::to_string(kParams + 1) + ": Symbol:      control\nPort " +
                              std::to_string(lastPort) + ": Symbol:      transport (last)\n");
    EXPECT_EQ(audioInputs, static_cast<size_t>(kChannels[variant]));
    EXPECT_EQ(audioOutputs, static_cast<size_t>(kChannels[variant]));
    EXPECT_EQ(count(info.output, "Symbol:      stop_time\n"), 1u);
    // The one X11 editor, in its own binary.
    EXPECT_NE(info.output.find("\tUIs:\n\t\thttps://ferncliff.example/plugins/reelstop#ui\n\t\t\tClass:  "
                               "http://lv2plug.in/ns/extensions/ui#X11UI\n"),
              std::string::npos)
        << info.output;
    EXPECT_NE(info.output.find("reelstop.lv2/reelstop_ui.so\n"), std::string::npos);
    // The factory presets, by label.
    for (const char* preset : {"One-beat stop", "Heavy power-down", "Pitch brake", "Catch the track", "Slow free stop",
                               "Half-speed drag", "Stutter 1/16", "Scratch deck"}) {
      EXPECT_NE(info.output.find(std::string("\t         ") + preset + "\n"), std::string::npos) << preset;
    }
  }
  const CommandResult valid = runHost("lv2_validate " REELSTOP_LV2_BUNDLE "/*.ttl");
  EXPECT_EQ(valid.exitCode, 0) << valid.output;
  EXPECT_NE(valid.output.find("Found 0 errors"), std::string::npos) << valid.output;
}

TEST_F(CommandLineHosts, Lv2fileDelaysByTwoFramesExactlyAndAgreesWithTheOfflineHost) {
  for (int variant = 0; variant < 2; ++variant) {
    const WavFile out = lv2file(variant);
    const Signal in = noise(kChannels[variant], kRateHz);
    ASSERT_EQ(out.channels.size(), in.size()) << kUris[variant];
    for (size_t c = 0; c < in.size(); ++c) {
      ASSERT_EQ(out.channels[c].size(), in[c].size());
      std::vector<float> delayed(kLatencyFrames, 0.0f);
      delayed.insert(delayed.end(), in[c].begin(), in[c].end() - kLatencyFrames);
      EXPECT_EQ(out.channels[c], delayed) << kUris[variant] << " channel " << c;
    }
    const std::string rendered = (folder / "rendered.wav").string();
    const CommandResult render =
        runHost(std::string(REELSTOP_RENDER) + " " + (folder / "in.wav").string() + " " + rendered);
    ASSERT_EQ(render.exitCode, 0) << render.output;
    EXPECT_EQ(readWav(rendered).channels, out.channels) << "reelstop-render and lv2file, " << kUris[variant];
  }
}

TEST_F(CommandLineHosts, Lv2fileWithStopOnFromTheStartFallsSilentAfterOneBeat) {
  for (int variant = 0; variant < 2; ++variant) {
    const WavFile out = lv2file(variant, "-p stop:1");
    // No host tempo: the platter stop takes one beat at the plug-in's own 120 bpm.
    const size_t beatFrames = kRateHz * 60 / 120;
    for (const auto& channel : out.channels) {
      ASSERT_EQ(channel.size(), static_cast<size_t>(kRateHz));
      bool soundDuringTheStop = false;
      for (size_t i = kLatencyFrames; i < beatFrames / 2; ++i) soundDuringTheStop |= channel[i] != 0.0f;
      EXPECT_TRUE(soundDuringTheStop) << kUris[variant];
      for (size_t i = beatFrames + kLatencyFrames; i < channel.size(); ++i) {
        ASSERT_EQ(channel[i], 0.0f) << kUris[variant] << " frame " << i;
      }
    }
  }
}

TEST_F(CommandLineHosts, Lv2benchCompletes) {
  for (const char* uri : kUris) {
    const CommandResult bench = runHost(std::string("lv2bench -n 48000 -b 512 '") + uri + "'");
    EXPECT_EQ(bench.exitCode, 0) << bench.output;
    EXPECT_NE(bench.output.find(uri), std::string::npos) << bench.output;
  }
}

}  // namespace
}  // namespace reelstop::lv2::test
