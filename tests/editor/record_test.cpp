// The on-screen record under the hand: stops, scratches, releases and the gestures the host sees;
// and the record's picture: its motion with the audio, its rim and its geometry.
#include <gtest/gtest.h>

#include "editor_harness.h"
#include "shared_constants.h"

namespace reelstop::test {
namespace {

TEST(Record, ATapStopsThenReleasesAndAPressInTheCornerCounts) {
  EditorSession e(true);
  e.press(0.3);
  EXPECT_TRUE(e.link().handDown.load());
  EXPECT_EQ(e.value(kStop), 1.0);
  e.release();
  EXPECT_FALSE(e.link().handDown.load());
  EXPECT_FALSE(e.link().scratching.load());
  EXPECT_EQ(e.value(kStop), 0.0);
  EXPECT_EQ(e.events(), "b14 v14 b0 v0 v0 e0 ") << "Scratch opened, Stop on and off in its own gesture";
  e.g->OnMouseDown(37.0f, 55.0f, {true});  // the square's corner, outside the drawn disc
  EXPECT_TRUE(e.link().handDown.load());
  e.release();
}

TEST(Record, AScratchStartsPastSixHundredthsOfARadianAndCountsTurnsUpToFour) {
  EditorSession e(true);
  e.press(0.0);
  e.move(0.03);
  e.move(0.05);
  EXPECT_FALSE(e.link().scratching.load()) << "held, not yet turned enough";
  e.move(0.08);
  ASSERT_TRUE(e.link().scratching.load());
  EXPECT_NEAR(e.link().scratchAngle.load(), 0.03, 1e-5) << "only the crossing step's own rotation";
  e.move(-3.1);  // across the angle pi: a small step, not a turn
  EXPECT_NEAR(e.link().scratchAngle.load(), 0.03 + (kTwoPi - 3.1 - 0.08), 1e-4);
  e.release();

  e.press(0.0);
  e.turn(0.0, kTwoPi);
  const double oneTurn = e.value(kScratch);
  EXPECT_GE(oneTurn, 0.99);
  EXPECT_LE(oneTurn, 1.0);
  e.turn(kTwoPi, 3.5 * kTwoPi);
  EXPECT_EQ(e.value(kScratch), 4.0) << "the parameter stops at four turns";
  EXPECT_GT(e.link().scratchAngle.load(), 4.0 * kTwoPi) << "while the hand goes on";
  e.release();
}

TEST(Record, TheCentreIsADeadZoneAndLeavingItTurnsNothing) {
  EditorSession e(true);
  e.press(0.0, 5.0);  // inside 0.06 of the width around the centre
  e.move(3.0);        // out of it on the other side: finds the angle only
  e.move(3.03);
  EXPECT_FALSE(e.link().scratching.load()) << "a press in the centre does not throw the tape half a turn";
  e.move(1.0, 10.0);  // back in: ignored
  e.move(0.0);
  e.move(0.02);
  EXPECT_FALSE(e.link().scratching.load()) << "0.05 turned in all";
  e.move(0.1);
  ASSERT_TRUE(e.link().scratching.load());
  EXPECT_NEAR(e.link().scratchAngle.load(), 0.08, 1e-5);
  e.release();
}

TEST(Record, TheScratchGestureClosesOnTheNinthFrameAfterReleaseUnlessThePressComesBack) {
  EditorSession e(true);
  e.press(0.0);
  e.turn(0.0, 1.0);
  e.release();
  e.frames(8);
  EXPECT_TRUE(e.events().find("e14") == std::string::npos);
  e.press(0.5);
  e.release();
  e.frames(8);
  const std::string sent = e.events();
  EXPECT_EQ(std::count(sent.begin(), sent.end(), 'b'), 3) << "one Scratch and two Stop gestures";
  e.frames(1);
  EXPECT_EQ(e.events().substr(e.events().size() - 8), "v14 e14 ");
  EXPECT_EQ(e.value(kScratch), 0.0);
  EXPECT_TRUE(e.gesturesBalanced());
}

TEST(Record, ClosingTheEditorOrOpeningSettingsLetsGoOfEverything) {
  EditorSession e(true);
  e.instance.host.configure(48000.0, 512, 2);
  e.press(0.0);
  e.g->OnMouseDblClick(EditorSession::x(0.0, 120), EditorSession::y(0.0, 120), {true});  // the same press again
  e.instance.playBlocks(20);
  EXPECT_TRUE(e.plugin().control().isEngaged());
  e.instance.host.closeEditor();
  EXPECT_EQ(e.value(kStop), 0.0);
  EXPECT_TRUE(e.gesturesBalanced()) << e.events();
  e.instance.playBlocks(200);
  EXPECT_FALSE(e.plugin().control().isEngaged());
  EXPECT_NEAR(e.instance.speed(), 1.0, 1e-9) << "the tape spins up";

  e.open();
  e.press(0.0);
  e.turn(0.0, 0.5);
  e.release();
  e.frames(3);
  e.g->OnMouseDown(388.0f, 25.0f, {true});  // the settings button
  e.g->OnMouseUp(388.0f, 25.0f, {true});
  EXPECT_TRUE(e.gesturesBalanced()) << "Scratch lets go when the record is hidden";
  EXPECT_EQ(e.value(kScratch), 0.0);
}

// The pointer on the label and the rim's fill, as the last frame drew them.
struct RecordPicture {
  double pointer = 0.0;  // radians, 0 right, clockwise
  frame::IColor rim;
};

RecordPicture lastPicture(EditorSession& e) {
  e.frames(1);
  auto& g = e.recording();
  RecordPicture picture;
  for (size_t i = 0; i + 1 < g.calls.size(); ++i) {
    const frame::test::Call& c = g.calls[i];
    if (c.op == "arc" && std::fabs(c.args[2] - 172.0f) < 1e-3f && g.calls[i + 1].op == "fill")
      picture.rim = g.calls[i + 1].color;
    if (c.op == "stroke" && c.args[0] == 2.5f && i >= 2) {
      const auto& from = g.calls[i - 2];
      picture.pointer = std::atan2(from.args[1] - kRecordY, from.args[0] - kRecordX);
    }
  }
  return picture;
}

void expectNear(const frame::IColor& got, const frame::IColor& want, const char* what) {
  EXPECT_NEAR(got.A, want.A, 2) << what;
  EXPECT_NEAR(got.R, want.R, 2) << what;
  EXPECT_NEAR(got.G, want.G, 2) << what;
  EXPECT_NEAR(got.B, want.B, 2) << what;
}

TEST(Record, TurnsWithTheAudioAndItsRimTellsSlowFastAndHeld) {
  EditorSession e(true);
  e.instance.host.configure(48000.0, 512, 2);
  for (int i = 0; i < 40; ++i) {
    e.instance.playBlocks(2);
    e.frames(1);
  }
  e.frames(200);  // idle: the record coasts to rest, then closes on the phase
  const double phase = e.link().platterPhase.load();
  EXPECT_GT(std::fabs(phase), 0.5) << "the audio turned the record";
  EXPECT_NEAR(std::remainder(lastPicture(e).pointer - phase, kTwoPi), 0.0, 2e-3)
      << "the drawn record on the true phase";

  auto settle = [&](float speed) {
    e.playAt(speed, 60);
    return lastPicture(e).rim;
  };
  expectNear(settle(0.5f), theme::accent.WithAlpha(191), "slow");
  expectNear(settle(1.5f), theme::cool, "fast");
  e.press(1.0);
  expectNear(settle(1.0f), theme::accent, "held");
  e.release();
  expectNear(settle(1.0f), theme::surfaceHi, "back to normal");
}

TEST(Record, ThePictureHasItsCentreRadiiAndMarkerWhereTheLayoutPutsThem) {
  EditorSession e;
  e.frames(2);
  auto& g = e.cairo();
  EXPECT_EQ(g.PixelColor(210, 228), theme::inkFaint) << "the spindle in the centre";
  EXPECT_EQ(g.PixelColor(210 + 40, 228), theme::accent) << "the label, 56.8 wide";
  EXPECT_EQ(g.PixelColor(210 + 170, 228), theme::surfaceHi) << "the rim, between 167 and 172";
  EXPECT_EQ(g.PixelColor(210 + 175, 228), theme::bg) << "nothing beyond the rim";
  EXPECT_EQ(g.PixelColor(210, 50), theme::ink) << "the marker over the rim at twelve";
  EXPECT_EQ(g.PixelColor(210, 45), theme::bg) << "from 47 down";
  const frame::IColor vinyl = g.PixelColor(210 + 150, 228);
  EXPECT_LT(vinyl.R, 20) << "the disc between the ring and the rim";
  EXPECT_LE(e.g->RunFrame().T, 47.0f) << "each frame repaints the marker above the record's rectangle too";
}

}  // namespace
}  // namespace reelstop::test
