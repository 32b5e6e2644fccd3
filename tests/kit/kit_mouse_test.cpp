// The widgets under a user's mouse, on a live Reelstop, through the window's entry points: what
// each sends to the host, and in which gestures.
#include <gtest/gtest.h>

#include "buttons.h"
#include "kit_editor.h"
#include "knob.h"
#include "rows.h"

namespace reelstop::test {
namespace {

using frame::IRECT;
using Kind = frame::HeadlessHost::EditorEvent::Kind;

// The gestures and values sent, as "b" (begin), "v" (value) and "e" (end).
std::string shape(const std::vector<frame::HeadlessHost::EditorEvent>& events) {
  std::string s;
  for (const auto& event : events) s += event.kind == Kind::kBegin ? 'b' : (event.kind == Kind::kValue ? 'v' : 'e');
  return s;
}

// A drag from (x, y) by dx window pixels, in 18 moves.
void drag(frame::WindowSurface& window, float x, float y, float dx, const frame::IMouseMod& mod = {}) {
  window.Move(x, y, mod);
  window.Press(x, y, mod);
  for (int i = 1; i <= 18; ++i) window.Move(x + dx * static_cast<float>(i) / 18.0f, y, mod);
  window.Release(x + dx, y, mod);
}

TEST(KnobMouse, ADragCoversTheRangeIn180LayoutPixelsAtEveryScale) {
  for (float scale : {1.0f, 0.75f, 2.0f}) {
    KitEditor e(
        [](frame::IGraphics& g) {
          place(g, new suite::Knob(kWeight, "Weight", nullptr, false), IRECT(20, 20, 100, 110));
        },
        false, scale);
    e.instance.set(kWeight, 0.0);
    auto window = e.window();
    const float cx = 60.0f * scale;
    const float cy = 65.0f * scale;
    drag(window, cx, cy, 180.0f * scale);
    EXPECT_NEAR(e.normalised(kWeight), 1.0, 1e-4) << scale;
    drag(window, cx, cy, 90.0f * scale);
    EXPECT_EQ(e.normalised(kWeight), 1.0) << "past the end it stays";
    const std::string sent = shape(e.events());
    EXPECT_EQ(std::count(sent.begin(), sent.end(), 'b'), 2) << "one gesture per drag";
    EXPECT_EQ(sent.substr(0, sent.find('e') + 1), "b" + std::string(18, 'v') + "e");

    drag(window, cx, cy, -180.0f * scale, {false, false, true});
    EXPECT_NEAR(e.normalised(kWeight), 0.8, 1e-4) << "Shift: 900 pixels for the range";
    window.Press(cx, cy, {});
    window.Release(cx, cy, {});
    window.DoubleClick(cx, cy, {});
    window.Release(cx, cy, {});
    EXPECT_NEAR(e.instance.param(kWeight).Value(), e.instance.param(kWeight).GetDefault(), 1e-9);
  }
}

TEST(RowsMouse, ClipsWheelsSegmentsMenusAndSwitchesSendOnlyWhatTheUserChose) {
  suite::Knob* clipped = nullptr;
  suite::ChoiceRow* ramp = nullptr;
  float wheeled = 0.0f;
  KitEditor e([&](frame::IGraphics& g) {
    clipped = place(g, new suite::Knob(kWeight, "Weight", nullptr, false), IRECT(0, 0, 80, 90));
    clipped->clip = IRECT(0, 45, 80, 200);
    clipped->wheel = [&](float d) { wheeled += d; };
    place(g, new suite::Segmented(kSnap, nullptr, {}, "", 0.0f), IRECT(0, 100, 400, 130));
    ramp = place(g, new suite::ChoiceRow(kRamp, "Ramp", nullptr), IRECT(0, 140, 300, 170));
    place(g, new suite::SwitchRow(kAuto, "Auto", nullptr), IRECT(0, 180, 300, 210));
  });
  auto window = e.window();
  const double weight = e.normalised(kWeight);
  drag(window, 40, 20, 60);
  EXPECT_EQ(e.normalised(kWeight), weight) << "a press outside the clip reaches nothing";
  EXPECT_TRUE(e.events().empty());
  window.Wheel(40, 60, {}, -2.0f);
  EXPECT_EQ(wheeled, -2.0f);
  EXPECT_TRUE(e.events().empty()) << "the wheel changes no value";

  e.g->RunFrame();
  const float segment = 396.0f / static_cast<float>(e.instance.param(kSnap).NDisplayTexts());
  const float selected = 2.0f + (static_cast<float>(e.instance.param(kSnap).Int()) + 0.5f) * segment;
  window.Press(selected, 115, {});
  window.Release(selected, 115, {});
  EXPECT_EQ(shape(e.events()), "be") << "the selected segment: an empty gesture at most";
  window.Press(2.0f + 0.5f * segment, 115, {});
  window.Release(2.0f + 0.5f * segment, 115, {});
  EXPECT_EQ(e.instance.param(kSnap).Int(), 0);

  const int rampBefore = e.instance.param(kRamp).Int();
  window.Press(20, 155, {});  // the label
  window.Release(20, 155, {});
  EXPECT_FALSE(e.g->IsPopupMenuOpen());
  window.Press(250, 155, {});
  window.Release(250, 155, {});
  ASSERT_TRUE(e.g->IsPopupMenuOpen());
  EXPECT_TRUE(ramp->menu.GetItem(rampBefore).checked);
  window.Press(5, 5, {});  // outside: dismissed
  EXPECT_EQ(e.instance.param(kRamp).Int(), rampBefore);
  const size_t before = e.events().size();
  window.Press(250, 155, {});
  window.Release(250, 155, {});
  window.Press(250, 172 + 22 * 0 + 5, {});  // the first item, just below the box
  window.Release(250, 172 + 22 * 0 + 5, {});
  EXPECT_EQ(e.instance.param(kRamp).Int(), 0);
  const std::string pick = shape(e.events()).substr(before);
  EXPECT_EQ(pick, "bebve") << "the opening press, then the pick as one gesture";

  auto* toggle = static_cast<suite::SwitchRow*>(e.g->GetControl(3));
  toggle->SetValue(0.5);
  window.Press(20, 195, {});  // the label does nothing
  window.Release(20, 195, {});
  EXPECT_TRUE(e.instance.param(kAuto).Bool());
  window.Press(280, 195, {});
  window.Release(280, 195, {});
  EXPECT_TRUE(e.instance.param(kAuto).Bool()) << "0.5 counts as off: the click turns it on";
}

TEST(WidgetsFollowTheHost, AClickIsAPressAndReleaseOnTheButtonAndHostChangesAndRestoresMoveKnobs) {
  int clicks = 0;
  suite::Knob* knob = nullptr;
  KitEditor e([&](frame::IGraphics& g) {
    knob = place(g, new suite::Knob(kWeight, "Weight", nullptr, false), IRECT(0, 0, 80, 90));
    place(g, new suite::IconButton(suite::IconButton::Icon::Settings, nullptr, [&] { ++clicks; }),
          IRECT(100, 0, 130, 30));
  });
  auto window = e.window();
  window.Press(115, 15, {});
  window.Move(200, 60, {});
  window.Release(200, 60, {});
  EXPECT_EQ(clicks, 0) << "released outside: no click";
  window.Press(115, 15, {});
  window.Release(116, 16, {});
  EXPECT_EQ(clicks, 1);

  e.instance.set(kWeight, 40.0);
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.4);
  const frame::IByteChunk saved = e.instance.host.saveState();
  e.instance.set(kWeight, 90.0);
  e.instance.host.restoreState(saved);
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.4) << "a restore reaches the knob";
}

}  // namespace
}  // namespace reelstop::test
