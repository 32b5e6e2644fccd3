// The editor in our own lilv host, on an X server of its own: closing while the record is held,
// reopening, the size in the state, the host's resizes and the corner's, the host's port values
// after a restore, a plug-in freed before its editor, and the editor beside the audio, the timer
// and a restore on threads of their own.
#include <X11/keysym.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "lilv_host.h"
#include "test_editor.h"
#include "test_signal.h"

namespace reelstop::lv2::test {
namespace {

constexpr const char* kStereo = "https://ferncliff.example/plugins/reelstop#stereo";
constexpr double kRate = 48000.0;
constexpr int kBlock = 512;
constexpr int kLatencyFrames = 2;

// Colours and places of the record page at scale 1.
constexpr uint32_t kAccent = 0xff8a3d;
constexpr uint32_t kRimAtRest = 0x2c2c2e;
constexpr int kLabelX = 210;  // the record's label: accent on the record page only
constexpr int kLabelY = 278;
constexpr int kRimX = 380;
constexpr int kRimY = 228;
constexpr int kHoldX = 300;  // on the record, away from its centre
constexpr int kHoldY = 150;
// The settings page.
constexpr int kAutoX = 376;
constexpr int kAutoY = 109;

bool near(uint32_t colour, uint32_t wanted) {
  for (int shift : {0, 8, 16}) {
    const int got = static_cast<int>((colour >> shift) & 0xff);
    const int want = static_cast<int>((wanted >> shift) & 0xff);
    if (std::abs(got - want) > 12) return false;
  }
  return true;
}

bool showsRecordPage(const Screenshot& shot, float scale = 1.0f) {
  return near(shot.at(static_cast<int>(kLabelX * scale), static_cast<int>(kLabelY * scale)), kAccent);
}

// Plays `blocks` blocks of the noise on from `from`; true when the last one is the live input.
bool playLive(TestInstance& instance, int64_t& from, int blocks) {
  Signal out;
  for (int b = 0; b < blocks; ++b, from += kBlock) out = instance.run(noise(2, kBlock, from));
  for (int i = 0; i < kBlock; ++i) {
    if (out[0][static_cast<size_t>(i)] != noiseSample(from - kBlock + i - kLatencyFrames, 0)) return false;
  }
  return true;
}

// The ports whose gestures the host heard begin and end unequally often: none when every grab
// was released and nothing was released that was never grabbed.
std::vector<uint32_t> unendedGestures(const std::vector<HostCall>& calls) {
  std::map<uint32_t, int> open;
  for (const HostCall& call : calls) {
    if (call.kind == HostCall::Kind::kTouch) open[call.port] += call.grabbed ? 1 : -1;
  }
  std::vector<uint32_t> ports;
  for (const auto& [port, count] : open) {
    if (count != 0) ports.push_back(port);
  }
  return ports;
}

// The last value written to the port; NaN when none was.
float lastWrite(const std::vector<HostCall>& calls, uint32_t port) {
  float value = std::nanf("");
  for (const HostCall& call : calls) {
    if (call.kind == HostCall::Kind::kWrite && call.port == port) value = call.value;
  }
  return value;
}

// The parameters of a state chunk: after its version and the editor's size.
std::vector<uint8_t> parameters(const std::vector<uint8_t>& chunk) { return {chunk.begin() + 16, chunk.end()}; }

bool anyWrite(const std::vector<HostCall>& calls) {
  return std::any_of(calls.begin(), calls.end(), [](const HostCall& c) { return c.kind == HostCall::Kind::kWrite; });
}

class EditorInLilvHost : public ::testing::Test {
 protected:
  void SetUp() override { unsetenv("REELSTOP_START_PAGE"); }
  void TearDown() override { unsetenv("REELSTOP_START_PAGE"); }
  const LilvBundle mBundle;
};

TEST_F(EditorInLilvHost, ClosingWhileTheRecordIsHeldLetsTheTapePlayAndReopensOnTheRecordAtRest) {
  TestInstance instance(mBundle, kStereo, kRate, kBlock);
  const uint32_t stop = instance.portIndex("stop");
  int64_t from = 0;
  ASSERT_TRUE(playLive(instance, from, 10));
  std::vector<HostCall> calls;
  {
    TestEditor editor(instance);
    editor.initialPortEvents();
    editor.idleFor(100);
    ASSERT_TRUE(showsRecordPage(editor.screenshot("closing-1-record")));
    editor.press(kHoldX, kHoldY);
    editor.idleFor(50);
    EXPECT_EQ(lastWrite(editor.calls(), stop), 1.0f);
    EXPECT_FALSE(playLive(instance, from, 40)) << "the held record stops the tape";
    editor.close();
    calls = editor.calls();
  }
  EXPECT_EQ(lastWrite(calls, stop), 0.0f) << "closing lets go of the record";
  EXPECT_TRUE(unendedGestures(calls).empty()) << "every gesture ends";
  EXPECT_TRUE(playLive(instance, from, static_cast<int>(3 * kRate / kBlock))) << "the tape plays again";

  TestEditor reopened(instance);
  reopened.initialPortEvents();
  reopened.idleFor(100);
  const Screenshot shot = reopened.screenshot("closing-2-reopened");
  EXPECT_TRUE(showsRecordPage(shot));
  EXPECT_TRUE(near(shot.at(kRimX, kRimY), kRimAtRest)) << std::hex << shot.at(kRimX, kRimY);
  EXPECT_TRUE(playLive(instance, from, 10));
}

// The window never sees the button come up: the held record lets go all the same.
TEST_F(EditorInLilvHost, AReleaseThatNeverArrivesLetsGoOfTheRecord) {
  TestInstance instance(mBundle, kStereo, kRate, kBlock);
  const uint32_t stop = instance.portIndex("stop");
  TestEditor editor(instance);
  editor.idleFor(50);
  const std::pair<const char*, std::function<void()>> ways[] = {
      {"hidden", [&editor] { editor.hide(); }},
      {"focus lost", [&editor] { editor.loseFocus(); }},
      {"pointer grabbed elsewhere", [&editor] { editor.losePointerToGrab(); }}};
  for (const auto& [way, lose] : ways) {
    editor.press(kHoldX, kHoldY);
    editor.idleFor(30);
    ASSERT_EQ(lastWrite(editor.calls(), stop), 1.0f) << way;
    lose();
    editor.idleFor(300);  // "Scratch" lets go a few frames after the hand
    EXPECT_EQ(lastWrite(editor.calls(), stop), 0.0f) << way;
    EXPECT_TRUE(unendedGestures(editor.calls()).empty()) << way;
    editor.show();
  }
}

TEST_F(EditorInLilvHost, TheStateCarriesTheOpenSizeAndTheHostAndTheCornerResizeTheWindow) {
  std::vector<uint8_t> bigChunk;
  {
    TestInstance big(mBundle, kStereo, kRate, kBlock);
    TestEditor editor(big, 1.5f);
    editor.idleFor(100);
    EXPECT_EQ(editor.width(), 630);
    EXPECT_EQ(editor.height(), 720);
    bigChunk = big.savedChunk();
  }
  TestInstance instance(mBundle, kStereo, kRate, kBlock);
  const LV2_URID chunkType = instance.urids().map(LV2_ATOM__Chunk);
  {
    TestEditor editor(instance);
    editor.idleFor(100);
    ASSERT_EQ(editor.width(), 420);
    // A restore while open resizes the window and tells the host.
    ASSERT_EQ(instance.restoreProperty(bigChunk.data(), bigChunk.size(), chunkType), LV2_STATE_SUCCESS);
    editor.idleFor(100);
    EXPECT_EQ(editor.width(), 630);
    EXPECT_EQ(editor.height(), 720);
    const std::vector<HostCall> calls = editor.calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back().kind, HostCall::Kind::kResize);
    EXPECT_EQ(calls.back().width, 630);
    EXPECT_TRUE(showsRecordPage(editor.screenshot("size-1-restored-1.5"), 1.5f));

    // The host makes its parent smaller: the editor scales to fit it.
    editor.resizeParent(525, 600);
    editor.idleFor(100);
    EXPECT_EQ(editor.width(), 525);
    EXPECT_EQ(editor.height(), 600);
    EXPECT_TRUE(showsRecordPage(editor.screenshot("size-2-host-1.25"), 1.25f));

    // The corner dragged far out stops at twice the size, and the host hears of it.
    editor.press(520, 595);
    editor.moveTo(1200, 1200);
    editor.release(1200, 1200);
    editor.idleFor(100);
    EXPECT_EQ(editor.width(), 840);
    EXPECT_EQ(editor.height(), 960);
    EXPECT_EQ(editor.calls().back().width, 840);
  }
  // A restore while closed waits for the next opening.
  TestInstance closed(mBundle, kStereo, kRate, kBlock);
  ASSERT_EQ(closed.restoreProperty(bigChunk.data(), bigChunk.size(), chunkType), LV2_STATE_SUCCESS);
  TestEditor editor(closed);
  editor.idleFor(100);
  EXPECT_EQ(editor.width(), 630);
}

// A preset of the chunk alone turns "Auto" off while the host's port still says on. The port
// events a host sends once the editor opens carry that old value and change nothing; the host
// moving the port afterwards counts, and re-lays the settings page at once.
TEST_F(EditorInLilvHost, TheHostsOldPortValuesChangeNothingAndAMovedAutoRelaysTheSettings) {
  std::vector<uint8_t> manual;
  {
    TestInstance source(mBundle, kStereo, kRate, kBlock);
    source.control("auto") = 0.0f;
    manual = source.savedChunk();
  }
  TestInstance instance(mBundle, kStereo, kRate, kBlock);
  const uint32_t autoPort = instance.portIndex("auto");
  ASSERT_EQ(instance.control(autoPort), 1.0f);
  instance.run(noise(2, kBlock));
  ASSERT_EQ(instance.restoreProperty(manual.data(), manual.size(), instance.urids().map(LV2_ATOM__Chunk)),
            LV2_STATE_SUCCESS);
  ASSERT_EQ(setenv("REELSTOP_START_PAGE", "settings", 1), 0);
  TestEditor editor(instance);
  editor.idleFor(100);
  const Screenshot before = editor.screenshot("ports-1-manual");
  editor.initialPortEvents();
  editor.idleFor(100);
  EXPECT_EQ(editor.screenshot("ports-2-after-initial-events").differences(before, 0, 0, 420, 480), 0);
  EXPECT_FALSE(anyWrite(editor.calls()));
  EXPECT_EQ(parameters(instance.savedChunk()), parameters(manual));

  // The host's automation moves the port off and on again.
  for (float value : {0.0f, 1.0f}) {
    instance.control("auto") = value;
    editor.portEvent(autoPort, value);
  }
  editor.idleFor(100);
  EXPECT_GT(editor.screenshot("ports-3-auto-moved").differences(before, 0, kAutoY + 40, 420, 480), 1000)
      << "the rows below follow";
  EXPECT_NE(parameters(instance.savedChunk()), parameters(manual));
  EXPECT_FALSE(anyWrite(editor.calls())) << "nothing echoed back to the host";
}

// The X server's keys and clicks as the settings page takes them: a right click types a value,
// Escape drops one, and a double-click by the server's time stamps resets the knob.
TEST_F(EditorInLilvHost, AKnobTakesATypedValueAndADoubleClickResetsIt) {
  constexpr int kWeightX = 62;
  constexpr int kWeightY = 125;
  TestInstance instance(mBundle, kStereo, kRate, kBlock);
  const uint32_t weight = instance.portIndex("weight");
  const float byDefault = instance.control(weight);
  ASSERT_EQ(setenv("REELSTOP_START_PAGE", "settings", 1), 0);
  TestEditor editor(instance);
  editor.idleFor(50);
  const auto type = [&editor](std::initializer_list<unsigned long> keys) {
    for (unsigned long key : keys) editor.key(key);
    editor.idleFor(50);
  };
  editor.click(kWeightX, kWeightY, 3);
  editor.idleFor(50);
  type({XK_9, XK_Escape});
  EXPECT_TRUE(std::isnan(lastWrite(editor.calls(), weight))) << "Escape keeps the value";
  editor.click(kWeightX, kWeightY, 3);
  editor.idleFor(50);
  const Screenshot entry = editor.screenshot("typed-1-entry-open");
  EXPECT_TRUE(near(entry.at(kWeightX + 22, kWeightY), 0xffffff)) << "the entry over the knob";
  // The value shown is selected: Backspace clears it, as typing would replace it.
  type({XK_BackSpace, XK_5, XK_0, XK_Return});
  EXPECT_EQ(lastWrite(editor.calls(), weight), 50.0f);
  editor.doubleClick(kWeightX, kWeightY);
  editor.idleFor(50);
  EXPECT_EQ(lastWrite(editor.calls(), weight), byDefault);
  EXPECT_NE(byDefault, 50.0f);
}

TEST_F(EditorInLilvHost, APlugInFreedBeforeItsEditorLeavesTheEditorNothingToTouch) {
  auto instance = std::make_unique<TestInstance>(mBundle, kStereo, kRate, kBlock);
  TestEditor editor(*instance);
  editor.idleFor(50);
  editor.press(kHoldX, kHoldY);
  editor.idleFor(50);
  const size_t callsBefore = editor.calls().size();
  instance.reset();
  editor.idleFor(50);
  editor.portEvent(0, 1.0f);
  editor.release(kHoldX, kHoldY);
  editor.moveTo(kAutoX, kAutoY);
  editor.idleFor(50);
  editor.close();
  EXPECT_EQ(editor.calls().size(), callsBefore) << "no call reaches the host for a plug-in that is gone";
}

// Blocks, the plug-in's timer and restores run on threads of their own while the editor plays
// the record; the host holds its own lock while it restores, and takes it for every value the
// editor writes, as some hosts do: the editor never calls the host while it holds the plug-in.
TEST_F(EditorInLilvHost, TheEditorBesideTheAudioTheTimerAndRestoresOnThreadsOfTheirOwn) {
  TestInstance instance(mBundle, kStereo, kRate, kBlock);
  std::vector<uint8_t> chunks[2];
  chunks[0] = instance.savedChunk();
  {
    TestInstance scaled(mBundle, kStereo, kRate, kBlock);
    TestEditor sized(scaled, 1.25f);
    sized.idle();
    chunks[1] = scaled.savedChunk();
  }
  const LV2_URID chunkType = instance.urids().map(LV2_ATOM__Chunk);
  const uint32_t autoPort = instance.portIndex("auto");
  TestEditor editor(instance);
  std::mutex processing;  // restores and runs never at the same time
  std::atomic<bool> done{false};
  std::thread audio([&] {
    for (int64_t from = 0; !done; from += kBlock) {
      const std::lock_guard<std::mutex> guard(processing);
      instance.run(noise(2, kBlock, from));
    }
  });
  std::thread restorer([&] {
    for (int i = 0; !done; ++i) {
      {
        // Held a while first, so that the editor's writes meet it.
        const std::lock_guard<std::mutex> host(editor.hostLock());
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        const std::lock_guard<std::mutex> guard(processing);
        instance.restoreProperty(chunks[i % 2].data(), chunks[i % 2].size(), chunkType);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  });
  for (int round = 0; round < 10; ++round) {
    editor.press(kHoldX, kHoldY);
    editor.idleFor(20);
    for (int step = 0; step < 8; ++step) {
      editor.moveTo(static_cast<int>(210 + 100 * std::cos(step * 0.4)),
                    static_cast<int>(228 + 100 * std::sin(step * 0.4)));
      editor.idle();
    }
    editor.release(kHoldX, kHoldY);
    // The host's automation flips "Auto": the settings are laid out afresh on each.
    editor.portEvent(autoPort, static_cast<float>(round % 2));
    editor.idleFor(20);
  }
  editor.idleFor(300);  // "Scratch" lets go a few frames after the hand
  done = true;
  audio.join();
  restorer.join();
  EXPECT_TRUE(unendedGestures(editor.calls()).empty());
}

}  // namespace
}  // namespace reelstop::lv2::test
