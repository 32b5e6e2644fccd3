// Engine host test fixture, also the plug-in tests': private data and temporary folders, and helpers
// that stand in for a rebuild.
// Audio thread: playOnes only (it allocates nothing); everything else runs on the test's main thread.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "engine_host.h"

namespace reelstop::test {

class HostTest : public ::testing::Test {
 protected:
  // The watched path lives in this test's own folder, and the private copies in another.
  void SetUp() override {
    for (const char* name : {"XDG_DATA_HOME", "TMPDIR", "HOME"}) {
      const char* value = std::getenv(name);
      saved.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
    }
    dataDir = freshDir();
    tempDir = freshDir();
    setenv("XDG_DATA_HOME", dataDir.c_str(), 1);
    setenv("TMPDIR", tempDir.c_str(), 1);
  }

  void TearDown() override {
    for (const auto& [name, value] : saved) value ? setenv(name, value->c_str(), 1) : unsetenv(name);
    std::filesystem::remove_all(dataDir);
    std::filesystem::remove_all(tempDir);
  }

  // Writes a build's bytes to `path` (the watched library by default), as a rebuild would.
  static void install(const std::string& library, const std::string& path = EngineHost::devLibrary()) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::filesystem::copy_file(library, path, std::filesystem::copy_options::overwrite_existing);
  }

  // Names of the private copies that exist now.
  std::vector<std::string> copies() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(tempDir)) names.push_back(entry.path().string());
    return names;
  }

  std::string dataDir;
  std::string tempDir;

 private:
  static std::string freshDir() {
    std::string pattern = std::filesystem::temp_directory_path().string() + "/reelstop_host_XXXXXX";
    EXPECT_NE(mkdtemp(pattern.data()), nullptr);
    return pattern;
  }

  std::vector<std::pair<const char*, std::optional<std::string>>> saved;
};

// Plays one stereo block of ones through the slot the audio thread uses; returns its last frame.
inline std::array<float, 2> playOnes(const EngineHost& host) {
  constexpr int32_t kFrames = 16;  // past the engines' latency of two samples
  std::array<std::array<float, kFrames>, 2> block;
  for (auto& channel : block) channel.fill(1.0f);
  float* io[2] = {block[0].data(), block[1].data()};
  host.current().api.process(host.current().engine, io, 2, kFrames);
  return {block[0][kFrames - 1], block[1][kFrames - 1]};
}

}  // namespace reelstop::test
