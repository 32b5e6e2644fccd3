// A data folder of the test's own: the plug-in looks for its development engine and its capture
// marker there, and makes its private engine copies there, never in the developer's folders.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

namespace reelstop::test {

class DataFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(mkdtemp(folder), nullptr);
    setenv("XDG_DATA_HOME", folder, 1);
    setenv("TMPDIR", folder, 1);
    std::filesystem::create_directories(reelstopFolder() / "capture");
    std::filesystem::create_directories(reelstopFolder() / "dev");
  }
  void TearDown() override {
    unsetenv("XDG_DATA_HOME");
    unsetenv("TMPDIR");
    std::filesystem::remove_all(folder);
  }
  std::filesystem::path reelstopFolder() const { return std::filesystem::path(folder) / "Reelstop"; }
  // Puts an engine library where the timer's second poll swaps it in.
  void installEngine(const char* library) const {
    std::filesystem::copy_file(library, reelstopFolder() / "dev" / "reelstop_engine.so");
  }

  char folder[32] = "/tmp/reelstop-plugin-XXXXXX";
};

}  // namespace reelstop::test
