// The reelstop-render test harness.
#include "render_harness.h"

#include <sndfile.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

namespace reelstop::offline::test {
namespace {

std::string shellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

}  // namespace

Sound sine(int channels, int64_t frames, int rateHz) {
  Sound sound{rateHz, channels, std::vector<float>(static_cast<size_t>(frames * channels))};
  for (int64_t f = 0; f < frames; ++f) {
    for (int c = 0; c < channels; ++c) {
      const double hz = 440.0 * (c + 1);
      sound.samples[static_cast<size_t>(f * channels + c)] =
          static_cast<float>(0.5 * std::sin(2.0 * M_PI * hz * static_cast<double>(f) / rateHz));
    }
  }
  return sound;
}

void writeSound(const std::string& path, const Sound& sound) {
  SF_INFO info{0, sound.rateHz, sound.channels, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 0, 0};
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
  EXPECT_EQ(sf_writef_float(file, sound.samples.data(), sound.frames()), sound.frames());
  sf_close(file);
}

Sound readSound(const std::string& path) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (file == nullptr) {
    ADD_FAILURE() << "cannot read " << path << ": " << sf_strerror(nullptr);
    return {};
  }
  Sound sound{info.samplerate, info.channels, std::vector<float>(static_cast<size_t>(info.frames * info.channels))};
  EXPECT_EQ(sf_readf_float(file, sound.samples.data(), info.frames), info.frames);
  sf_close(file);
  return sound;
}

std::string readBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void RenderFolder::SetUp() {
  std::string pattern = (std::filesystem::temp_directory_path() / "reelstop-render-test-XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  mRoot = pattern;
  mWork = mRoot + "/work";
  std::filesystem::create_directory(mWork);
  std::filesystem::create_directory(mRoot + "/data");
}

void RenderFolder::TearDown() { std::filesystem::remove_all(mRoot); }

std::string RenderFolder::commandLine(const std::vector<std::string>& args) const {
  // A data folder of its own keeps a developer's engine library out of the test; exec keeps the
  // command's process the shell's, so a signal reaches it.
  std::string command = "cd " + shellQuoted(mWork) + " && XDG_DATA_HOME=" + shellQuoted(mRoot + "/data") + " exec " +
                        shellQuoted(REELSTOP_RENDER);
  for (const std::string& arg : args) command += " " + shellQuoted(arg);
  return command + " >" + shellQuoted(mRoot + "/stdout") + " 2>" + shellQuoted(mRoot + "/stderr");
}

RunResult RenderFolder::resultOf(int waitStatus) const {
  return {WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : -1, readBytes(mRoot + "/stdout"),
          readBytes(mRoot + "/stderr")};
}

RunResult RenderFolder::run(const std::vector<std::string>& args) const {
  return resultOf(std::system(commandLine(args).c_str()));
}

RunResult RenderFolder::runUntilSignalled(const std::vector<std::string>& args, int signal) const {
  const std::string command = commandLine(args);
  const pid_t child = ::fork();
  if (child == 0) {
    ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  constexpr auto kPatience = std::chrono::seconds(20);
  const auto giveUp = std::chrono::steady_clock::now() + kPatience;
  while (listing().empty() && std::chrono::steady_clock::now() < giveUp) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_FALSE(listing().empty()) << "the render never began its output";
  ::kill(child, signal);
  int status = 0;
  ::waitpid(child, &status, 0);
  return resultOf(status);
}

std::vector<std::string> RenderFolder::listing() const {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(mWork)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace reelstop::offline::test
