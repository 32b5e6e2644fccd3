// The capture recorder: armed by its marker, it records 30 seconds from the first sound and the
// timer writes the WAV and the CSV.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "host_fixture.h"
#include "plugin_harness.h"

namespace reelstop::test {
namespace {

namespace fs = std::filesystem;

// The recorder looks for its marker in the test's own data folder.
class Capture : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    capture = fs::path(dataDir) / "Reelstop" / "capture";
    fs::create_directories(capture);
  }
  void arm() const { std::ofstream(capture / "reelstop-capture.on").put('\n'); }
  // One block of constant left and right values.
  static void block(Instance& instance, int frames, float left, float right) {
    std::vector<float> l(static_cast<size_t>(frames), left), r(static_cast<size_t>(frames), right);
    float* io[2] = {l.data(), r.data()};
    instance.host.process(io, io, frames);
  }
  std::vector<std::string> csvLines() const {
    std::ifstream csv(capture / "reelstop-capture-speed.csv");
    std::vector<std::string> lines;
    for (std::string line; std::getline(csv, line);) lines.push_back(line);
    return lines;
  }
  fs::path capture;
};

TEST_F(Capture, RecordsThirtySecondsFromTheFirstSoundAndWritesBothFiles) {
  arm();
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

// The first line describes the recording: a tempo, meter or grid changed after it filled up and
// before the timer wrote it is not what was recorded.
TEST_F(Capture, TheContextLineIsTheOneInForceWhenTheRecordingFilledUp) {
  arm();
  Instance instance;
  instance.host.configure(8000.0, 500, 2);
  instance.host.transport() = {100.0, 3, 4, false, -1.0, -1.0};
  instance.set(kSnap, choiceIndex(kSnapChoices, "1/8"));
  block(instance, 500, 0.0f, 0.0f);  // the recording starts a block late, so it fills between two ticks
  for (int b = 0; b < 480; ++b) block(instance, 500, 0.5f, 0.5f);
  ASSERT_FALSE(fs::exists(capture / "reelstop-capture-speed.csv")) << "full, but the timer has not come yet";
  instance.host.transport() = {150.0, 7, 8, false, -1.0, -1.0};
  instance.set(kSnap, choiceIndex(kSnapChoices, "1 bar"));
  for (int b = 0; b < 8; ++b) block(instance, 500, 0.5f, 0.5f);
  ASSERT_TRUE(fs::exists(capture / "reelstop-capture-speed.csv"));
  EXPECT_EQ(csvLines().front(), "# sr,8000,bpm,100,ppq_at_start,-1,beats_per_bar,3,grid_beats,0.5");
}

// At 44.1 kHz a millisecond is not a whole number of samples: rows are 44 samples apart. Of the
// spin-ups, only the first 64 are logged.
TEST_F(Capture, RowsStepByWholeSamplesAndTheReleaseLogStopsAtSixtyFour) {
  arm();
  Instance instance;
  instance.host.configure(44100.0, 441, 2);
  for (int b = 0; b < 3000; ++b) {
    if (b % 40 == 0) instance.note(0, true);
    if (b % 40 == 20) instance.note(0, false);
    block(instance, 441, 0.5f, 0.5f);
  }
  const std::vector<std::string> lines = csvLines();
  ASSERT_FALSE(lines.empty());
  const auto header = std::find(lines.begin(), lines.end(), "sample,speed");
  ASSERT_NE(header, lines.end());
  EXPECT_EQ(header - lines.begin(), 1 + 64) << "75 spin-ups, 64 logged";
  EXPECT_EQ(header[1].substr(0, 2), "0,");
  EXPECT_EQ(header[2].substr(0, 3), "44,");
  EXPECT_EQ(lines.end() - header - 1, (1323000 + 43) / 44);
  EXPECT_EQ(lines.back().substr(0, 8), "1322992,");
}

}  // namespace
}  // namespace reelstop::test
