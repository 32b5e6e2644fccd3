// Reelstop in the headless host: format changes, blocks, and the development engine hot swap.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "plugin_harness.h"

namespace reelstop::test {
namespace {

namespace fs = std::filesystem;

float numbered(long sample, int channel) {
  return sample < 0 ? 0.0f : static_cast<float>(sample % 1000) * (channel ? -1e-3f : 1e-3f);
}

// Runs `seconds` of a numbered signal, continuing from `position`, through the instance in
// 512-frame stereo blocks; when `check` is set the outputs must be the inputs two samples late.
void play(Instance& instance, double seconds, long& position, bool check) {
  const int frames = 512;
  std::vector<float> in[2], out[2];
  const long end = position + static_cast<long>(seconds * instance.plugin().GetSampleRate());
  for (; position < end; position += frames) {
    for (int c = 0; c < 2; ++c) {
      in[c].resize(frames);
      out[c].assign(frames, -1.0f);
      for (int i = 0; i < frames; ++i) in[c][i] = numbered(position + i, c);
    }
    float* inputs[2] = {in[0].data(), in[1].data()};
    float* outputs[2] = {out[0].data(), out[1].data()};
    instance.host.process(inputs, outputs, frames);
    for (int c = 0; c < 2 && check; ++c) {
      for (int i = 0; i < frames; ++i) {
        ASSERT_EQ(out[c][i], numbered(position + i - 2, c)) << "channel " << c << " sample " << position + i;
      }
    }
  }
}

TEST(Reelstop, PlaysThroughTwoSamplesLateAtEveryRate) {
  for (double rate : {44100.0, 48000.0, 96000.0}) {
    Instance instance;
    instance.host.configure(rate, 512, 2);
    EXPECT_EQ(instance.plugin().timing().sampleRate, rate);
    long position = 0;
    play(instance, 0.2, position, true);
    EXPECT_EQ(instance.host.latency(), 2);
  }
}

TEST(Reelstop, ReadsTheHostTransportEveryBlock) {
  Instance instance;
  instance.host.configure(48000.0, 64, 2);
  instance.host.transport() = {90.0, 6, 8, true, 7.5, 6.0};
  std::vector<float> a(64), b(64);
  float* io[2] = {a.data(), b.data()};
  instance.host.process(io, io, 64);
  const GridTiming& timing = instance.plugin().timing();
  EXPECT_EQ(timing.tempo, 90.0);
  EXPECT_EQ(timing.beatsPerBar, 3.0);
  EXPECT_TRUE(timing.songPlaying);
  EXPECT_EQ(timing.blockPpq, 7.5);
  EXPECT_EQ(timing.barStartPpq, 6.0);
  EXPECT_NEAR(instance.plugin().rampSamples(kStopTime, kStopSync), 38400.0, 1e-9);
}

// A development build placed in the data folder is picked up by the 500 ms timer and plays.
TEST(Reelstop, HotSwapsTheDevelopmentEngineWhileItPlays) {
  char folder[] = "/tmp/reelstop-plugin-XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  setenv("XDG_DATA_HOME", folder, 1);
  setenv("TMPDIR", folder, 1);
  fs::create_directories(fs::path(folder) / "Reelstop" / "dev");
  fs::copy_file(REELSTOP_ENGINE_LIBRARY, fs::path(folder) / "Reelstop" / "dev" / "reelstop_engine.so");
  {
    Instance instance;
    instance.host.configure(48000.0, 512, 2);
    EXPECT_EQ(instance.plugin().engineHost().statusText(), "built-in engine");
    long position = 0;
    play(instance, 0.9, position, true);  // the first poll only notes the file
    EXPECT_EQ(instance.plugin().engineHost().statusText(), "built-in engine");
    play(instance, 0.2, position, false);  // loaded on the second; a new engine starts with an empty tape
    EXPECT_EQ(instance.plugin().engineHost().statusText().rfind("dev ", 0), 0u)
        << instance.plugin().engineHost().statusText();
    play(instance, 0.2, position, true);
  }
  unsetenv("XDG_DATA_HOME");
  unsetenv("TMPDIR");
  fs::remove_all(folder);
}

}  // namespace
}  // namespace reelstop::test
