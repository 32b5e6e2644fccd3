// The record page's status: the readout's texts, the idle verdict and its fade, the engine line.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "editor_harness.h"
#include "host_fixture.h"

namespace reelstop::test {
namespace {

// Texts the last frame drew at a size, glyph by glyph joined, and the opacity they had.
struct Drawn {
  std::string text;
  float blend = 0.0f;
};

Drawn drawnAt(frame::test::RecordingGraphics& g, float size) {
  Drawn drawn;
  for (const frame::test::Call& c : g.calls) {
    if (c.op == "text" && c.args[4] == size) {
      drawn.text += c.text;
      drawn.blend = c.blend;
    }
  }
  return drawn;
}

TEST(MainView, TheReadoutShowsPercentAndSemitonesOrStopOrReverse) {
  EditorSession e(true);
  const struct {
    float speed;
    const char* big;
    const char* small;
  } cases[] = {{0.5f, "50%", "-12.0st"},   {2.0f, "200%", "+12.0st"},   {1.004f, "100%", "+0.1st"},
               {1.006f, "101%", "+0.1st"}, {-0.25f, "-25%", "reverse"}, {0.001f, "STOP", ""},
               {0.999f, "100%", "-0.0st"}};  // spaces take their cell and draw nothing
  for (const auto& c : cases) {
    e.playAt(c.speed, 60);
    EXPECT_EQ(drawnAt(e.recording(), 17.0f).text, c.big) << c.speed;
    EXPECT_EQ(drawnAt(e.recording(), 11.0f).text, c.small) << c.speed;
  }
}

TEST(MainView, WithoutBlocksItTurnsIdleAfterSixteenFramesAndFadesToTheHint) {
  EditorSession e(true);
  const char* hint = "Hold to stop  \xC2\xB7  Drag to scratch  \xC2\xB7  Let go to spin up";
  e.frames(2);
  EXPECT_EQ(drawnAt(e.recording(), 12.0f).text, hint);
  e.playAt(0.5f, 60);
  e.link().active.store(true);
  for (int stale = 1; stale <= 15; ++stale) {
    e.frames(1);
    ASSERT_EQ(drawnAt(e.recording(), 17.0f).blend, 1.0f) << "still playing at stale frame " << stale;
  }
  e.frames(1);
  EXPECT_NEAR(drawnAt(e.recording(), 17.0f).blend, 0.76f, 1e-4) << "idle: the readout fades through its blend";
  e.press(0.0);
  e.release();
  e.frames(61);
  EXPECT_EQ(drawnAt(e.recording(), 12.0f).text, "Idle") << "once touched, the hint is a word";
}

TEST(MainView, TheReadoutsFadeEndsDrawnAtFullStrength) {
  EditorSession e;
  const frame::IRECT strip(0, 406, 420, 436);
  e.playAt(0.0f, 60);
  int accent = 0;
  for (int y = static_cast<int>(strip.T); y < static_cast<int>(strip.B); ++y) {
    for (int x = static_cast<int>(strip.L); x < static_cast<int>(strip.R); ++x) {
      accent += e.cairo().PixelColor(x, y) == theme::accent ? 1 : 0;
    }
  }
  EXPECT_GT(accent, 20) << "STOP in the accent itself, not a shade of it";
}

class EngineLine : public HostTest {};

TEST_F(EngineLine, ShowsOnlyWhileTheDevelopmentLibraryIsThere) {
  EditorSession e(true);
  e.frames(61);
  EXPECT_TRUE(drawnAt(e.recording(), 9.5f).text.empty());
  std::filesystem::create_directories(std::filesystem::path(EngineHost::devLibrary()).parent_path());
  std::ofstream(EngineHost::devLibrary()) << "not yet a library";
  e.frames(59);
  EXPECT_TRUE(drawnAt(e.recording(), 9.5f).text.empty()) << "looked for once a second";
  e.frames(1);
  ASSERT_FALSE(e.plugin().engineHost().statusText().empty());
  EXPECT_EQ(drawnAt(e.recording(), 9.5f).text, e.plugin().engineHost().statusText());
  std::filesystem::remove(EngineHost::devLibrary());
  e.frames(61);
  EXPECT_TRUE(drawnAt(e.recording(), 9.5f).text.empty());
}

}  // namespace
}  // namespace reelstop::test
