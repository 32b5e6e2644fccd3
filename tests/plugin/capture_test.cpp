// The capture recorder: armed by its marker, it records 30 seconds from the first sound and the
// timer writes the WAV and the CSV.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "plugin_harness.h"

namespace reelstop::test {
namespace {

namespace fs = std::filesystem;

class Capture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(mkdtemp(folder), nullptr);
    setenv("XDG_DATA_HOME", folder, 1);
    capture = fs::path(folder) / "Reelstop" / "capture";
    fs::create_directories(capture);
  }
  void TearDown() override {
    unsetenv("XDG_DATA_HOME");
    fs::remove_all(folder);
  }
  // One block of constant left and right values.
  static void block(Instance& instance, int frames, float left, float right) {
    std::vector<float> l(static_cast<size_t>(frames), left), r(static_cast<size_t>(frames), right);
    float* io[2] = {l.data(), r.data()};
    instance.host.process(io, io, frames);
  }
  char folder[32] = "/tmp/reelstop-capture-XXXXXX";
  fs::path capture;
};

TEST_F(Capture, RecordsThirtySecondsFromTheFirstSoundAndWritesBothFiles) {
  std::ofstream(capture / "reelstop-capture.on").put('\n');
  constexpr double kRate = 8000.0;  // 30 seconds stay small
  Instance instance;
  instance.host.configure(kRate, 500, 2);
  instance.host.transport().mTempo = 120.0;
  block(instance, 500, 0.0f, 0.0f);
  block(instance, 500, 0.00005f, 0.0f);  // still silence: nothing is recorded
  for (int b = 0; b < 500; ++b) {
    if (b % 100 == 10) instance.note(30, true);
    if (b % 100 == 60) instance.note(40, false);
    block(instance, 500, 0.5f, 0.3f);
  }
  ASSERT_TRUE(fs::exists(capture / "reelstop-capture.wav"));
  const std::uintmax_t frames = 240000;
  EXPECT_EQ(fs::file_size(capture / "reelstop-capture.wav"), 44 + frames * 8);
  std::ifstream wav(capture / "reelstop-capture.wav", std::ios::binary);
  std::vector<char> head(52);
  wav.read(head.data(), 52);
  auto u32 = [&](int at) {
    uint32_t v;
    std::memcpy(&v, head.data() + at, 4);
    return v;
  };
  auto f32 = [&](int at) {
    float v;
    std::memcpy(&v, head.data() + at, 4);
    return v;
  };
  EXPECT_EQ(std::string(head.data(), 4), "RIFF");
  EXPECT_EQ(u32(4), frames * 8 + 36);
  EXPECT_EQ(u32(24), 8000u);
  EXPECT_EQ(u32(40), frames * 8);
  EXPECT_EQ(f32(44), 0.4f) << "dry left and right mixed: the first recorded block is the first loud one";

  std::ifstream csv(capture / "reelstop-capture-speed.csv");
  std::string line;
  std::getline(csv, line);
  EXPECT_EQ(line, "# sr,8000,bpm,120,ppq_at_start,-1,beats_per_bar,4,grid_beats,1");
  int releases = 0;
  while (std::getline(csv, line) && line.rfind("# release,", 0) == 0) ++releases;
  EXPECT_EQ(releases, 5);
  EXPECT_EQ(line, "sample,speed");
  int rows = 0;
  std::string last;
  while (std::getline(csv, line)) {
    ++rows;
    last = line;
  }
  EXPECT_EQ(rows, 30000);
  EXPECT_EQ(last, "239992,1");
}

TEST_F(Capture, WithoutTheMarkerNothingIsRecordedOrWritten) {
  Instance instance;
  instance.host.configure(8000.0, 500, 2);
  for (int b = 0; b < 600; ++b) block(instance, 500, 0.5f, 0.3f);
  EXPECT_TRUE(fs::is_empty(capture));
}

}  // namespace
}  // namespace reelstop::test
