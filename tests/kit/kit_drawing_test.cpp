// What the kit draws: the theme's numbers, the knob's geometry, the thumb's glide, and the
// pictures only pixels tell (palette fills, smooth edges, text).
#include <gtest/gtest.h>

#include <cmath>

#include "buttons.h"
#include "kit_editor.h"
#include "knob.h"
#include "rows.h"

namespace reelstop::test {
namespace {

using frame::IRECT;
using frame::test::Call;

TEST(Theme, LiftFacesAndFixedWidthStrings) {
  EXPECT_EQ(theme::lift(theme::surfaceHi, 0.0566038f).R, 56);
  EXPECT_EQ(theme::lift(theme::surfaceHi, 0.0740741f).G, 60);
  EXPECT_EQ(theme::lift(theme::line, 0.1071429f).R, 77);
  const frame::IColor done = theme::lift(theme::accent, 0.1666667f);
  EXPECT_EQ((std::vector<int>{done.A, done.R, done.G, done.B}), (std::vector<int>{255, 255, 158, 93}));
  EXPECT_STREQ(theme::sans(12, static_cast<theme::Weight>(3), theme::ink, frame::EAlign::Near).mFont.c_str(),
               "Inter-Regular");
  EXPECT_STREQ(theme::sans(12, theme::SemiBold, theme::ink, frame::EAlign::Near).mFont.c_str(), "Inter-SemiBold");

  KitEditor real([](frame::IGraphics&) {});
  const frame::IText text = theme::sans(11.5f, theme::SemiBold, theme::ink, frame::EAlign::Far);
  EXPECT_GT(theme::monoWidth(*real.g, text, "1"), 0.0f) << "the fonts loaded";
  EXPECT_FLOAT_EQ(theme::monoWidth(*real.g, text, "10.5"), theme::monoWidth(*real.g, text, "88.8"));
  EXPECT_EQ(theme::monoWidth(*real.g, text, ""), 0.0f);

  KitEditor e([](frame::IGraphics&) {}, true);
  auto& g = e.recording();
  EXPECT_EQ(g.fonts, (std::vector<std::string>{"Inter-Regular", "Inter-Medium", "Inter-SemiBold"}));
  EXPECT_GT(theme::monoWidth(g, text, "   "), 0.0f);
  theme::drawMono(g, text, "   ", IRECT(0, 0, 100, 20), nullptr);
  EXPECT_TRUE(g.named("text").empty()) << "spaces take room and draw nothing";
  theme::drawMono(g, text, "-3.5 st", IRECT(0, 0, 100, 20), nullptr);
  const auto glyphs = g.named("text");
  ASSERT_EQ(glyphs.size(), 6u);
  EXPECT_FLOAT_EQ(glyphs.back().args[2], 100.0f) << "Far alignment ends on the right edge";
  EXPECT_FLOAT_EQ(glyphs.back().args[1], 10.0f) << "each glyph centred in a zero-height cell on the middle";
  EXPECT_FLOAT_EQ(glyphs.back().args[3], 10.0f);
}

std::vector<Call> arcsOf(const std::vector<Call>& calls) {
  std::vector<Call> arcs;
  for (const Call& c : calls) {
    if (c.op == "arc" && c.args[4] - c.args[3] < 360.0f) arcs.push_back(c);  // not the cap's circle
  }
  return arcs;
}

TEST(Knob, ArcsFromTheTopOrTheLeftEndAndATinyDialDrawsNoRings) {
  suite::Knob* bipolar = nullptr;
  suite::Knob* tiny = nullptr;
  KitEditor e(
      [&](frame::IGraphics& g) {
        bipolar = place(g, new suite::Knob(kStartCurve, "Curve", nullptr, true), IRECT(0, 0, 80, 90));
        tiny = place(g, new suite::Knob(kWeight, "Weight", nullptr, false), IRECT(100, 0, 180, 36));
      },
      true);
  auto& g = e.recording();
  auto drawn = [&](suite::Knob* knob) {
    g.calls.clear();
    knob->Draw(g);
    return g.calls;
  };
  bipolar->SetValue(0.5);
  EXPECT_EQ(arcsOf(drawn(bipolar)).size(), 1u) << "at the middle only the track";
  bipolar->SetValue(0.25);
  const auto arcs = arcsOf(drawn(bipolar));
  ASSERT_EQ(arcs.size(), 2u);
  EXPECT_EQ(arcs[0].args[3], -144.0f);
  EXPECT_EQ(arcs[0].args[4], 144.0f);
  EXPECT_FLOAT_EQ(arcs[1].args[3], -72.0f);
  EXPECT_FLOAT_EQ(arcs[1].args[4], 0.0f);
  const auto strokes = [&] {
    std::vector<Call> s;
    for (const Call& c : g.calls) {
      if (c.op == "stroke") s.push_back(c);
    }
    return s;
  }();
  EXPECT_EQ(strokes[0].color, theme::line);
  EXPECT_EQ(strokes[1].color, theme::accent);

  EXPECT_EQ(tiny->dial(), IRECT(139.5f, 17.5f, 140.5f, 18.5f)) << "1 by 1, centred";
  const auto calls = drawn(tiny);
  EXPECT_TRUE(arcsOf(calls).empty()) << "no ring, track or cap of a negative radius";
  bool label = false;
  int valueGlyphs = 0;
  for (const Call& c : calls) {
    label = label || c.text == "Weight";
    if (c.op == "text" && c.text != "Weight") ++valueGlyphs;
  }
  EXPECT_TRUE(label);
  EXPECT_GT(valueGlyphs, 0) << "the value text is still drawn";
}

TEST(Segmented, TheThumbGlidesAThirdOfTheWayEachFrameThenSnapsAndRests) {
  suite::Segmented* snap = nullptr;
  KitEditor e(
      [&](frame::IGraphics& g) {
        snap = place(g, new suite::Segmented(kSnap, nullptr, {}, "", 0.0f), IRECT(0, 0, 300, 30));
      },
      true);
  EXPECT_TRUE(snap->segments.empty()) << "texts come with the first frame";
  e.g->RunFrame();
  EXPECT_EQ(static_cast<int>(snap->segments.size()), e.instance.param(kSnap).NDisplayTexts());
  EXPECT_EQ(snap->pos, 3.0f);
  e.instance.set(kSnap, 0);
  EXPECT_FALSE(e.g->RunFrame().Empty());
  EXPECT_FLOAT_EQ(snap->pos, 3.0f - 3.0f * 0.3f);
  int frames = 1;
  while (snap->pos != 0.0f && frames < 100) {
    EXPECT_FALSE(e.g->RunFrame().Empty()) << "every gliding frame redraws";
    ++frames;
  }
  EXPECT_EQ(frames, 18) << "0.7^n of 3 falls below 0.005 at the 18th frame";
  EXPECT_TRUE(e.g->RunFrame().Empty()) << "snapped: no more redraws";
}

TEST(KitPixels, PaletteFillsSmoothEdgesAndText) {
  KitEditor e(
      [&](frame::IGraphics& g) {
        place(g, new suite::SwitchRow(kAuto, "Auto", nullptr), IRECT(10, 10, 210, 40));
        place(g, new suite::Knob(kWeight, "Weight", nullptr, false), IRECT(220, 10, 300, 100));
      },
      false, 2.0f);
  e.g->RunFrame();
  auto& cairo = e.cairo();
  ASSERT_EQ(cairo.PixelWidth(), 840);
  EXPECT_EQ(cairo.PixelColor(2 * 175, 2 * 25), theme::accent) << "the pill is on: accent inside it";
  EXPECT_EQ(cairo.PixelColor(2 * 5, 2 * 5), theme::bg);
  int smooth = 0;  // the pill's rounded left end, blended into the background
  for (int x = 2 * 170; x < 2 * 180; ++x) {
    for (int y = 2 * 14; y < 2 * 20; ++y) {
      const frame::IColor c = cairo.PixelColor(x, y);
      if (c.R > theme::bg.R + 10 && c.R < theme::accent.R - 10) ++smooth;
    }
  }
  EXPECT_GT(smooth, 0) << "anti-aliased edges";
  int inked = 0;
  for (int x = 2 * 12; x < 2 * 40; ++x) {
    for (int y = 2 * 18; y < 2 * 32; ++y) inked += cairo.PixelColor(x, y).R > 150 ? 1 : 0;
  }
  EXPECT_GT(inked, 20) << "the label's glyphs";
  e.instance.set(kAuto, 0);
  e.g->RunFrame();
  EXPECT_EQ(cairo.PixelColor(2 * 200, 2 * 25), theme::line) << "off: the track colour";
}

}  // namespace
}  // namespace reelstop::test
