// Test harness for reelstop-render: a fresh folder per test, the command run there as a
// subprocess, and sound files written and read back with libsndfile.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace reelstop::offline::test {

struct Sound {
  int rateHz = 48000;
  int channels = 2;
  std::vector<float> samples;  // interleaved

  int64_t frames() const { return static_cast<int64_t>(samples.size()) / channels; }
  float at(int64_t frame, int channel) const { return samples[static_cast<size_t>(frame * channels + channel)]; }
};

// A sine per channel, each at its own frequency, at half scale.
Sound sine(int channels, int64_t frames, int rateHz = 48000);
void writeSound(const std::string& path, const Sound& sound);
Sound readSound(const std::string& path);
std::string readBytes(const std::string& path);

struct RunResult {
  int status = -1;
  std::string out;
  std::string err;
};

class RenderFolder : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Runs reelstop-render inside the folder, with its own data folder outside it.
  RunResult run(const std::vector<std::string>& args) const;
  // The same, sent the signal once its output file has begun.
  RunResult runUntilSignalled(const std::vector<std::string>& args, int signal) const;
  std::string path(const std::string& name) const { return mWork + "/" + name; }
  // The names in the folder, sorted.
  std::vector<std::string> listing() const;

 private:
  std::string commandLine(const std::vector<std::string>& args) const;
  RunResult resultOf(int waitStatus) const;

  std::string mRoot;
  std::string mWork;
};

}  // namespace reelstop::offline::test
