// The settings page: what "Auto" shows, the scroll and its bar, re-layout on host changes, the
// first page, and the pages' pictures.
#include <gtest/gtest.h>
#include <stdlib.h>

#include "editor_harness.h"

namespace reelstop::test {
namespace {

// The visible widgets bound to parameters in a group, by parameter.
std::vector<int> visibleParams(frame::IGraphics& g, const char* group) {
  std::vector<int> params;
  g.ForControlInGroup(group, [&](frame::IControl& c) {
    if (!c.IsHidden() && c.GetParamIdx() >= 0) params.push_back(c.GetParamIdx());
  });
  std::sort(params.begin(), params.end());
  return params;
}

frame::IControl* widgetOf(frame::IGraphics& g, int param) {
  frame::IControl* found = nullptr;
  g.ForControlInGroup("settings", [&](frame::IControl& c) {
    if (c.GetParamIdx() == param) found = &c;
  });
  return found;
}

// How far the page is scrolled: the Weight knob sits 34 below the first card's top at 50.
float scrollOf(frame::IGraphics& g) { return 84.0f - widgetOf(g, kWeight)->GetRECT().T; }

void showSettings(EditorSession& e) {
  e.g->OnMouseDown(388.0f, 25.0f, {true});
  e.g->OnMouseUp(388.0f, 25.0f, {true});
}

TEST(SettingsPage, AutoShowsSixWidgetsAndTheNoteAndTheManualPageScrollsWithinItsContent) {
  EditorSession e(true);
  showSettings(e);
  EXPECT_TRUE(visibleParams(*e.g, "main").empty());
  std::vector<int> six{kWeight, kAuto, kSnap, kVarispeed, kTurn, kMidiTrigger};
  std::sort(six.begin(), six.end());
  EXPECT_EQ(visibleParams(*e.g, "settings"), six);
  e.frames(1);
  bool note = false;
  for (const auto& c : e.recording().named("text")) note = note || c.text == "Turn Auto off to set them yourself.";
  EXPECT_TRUE(note);
  e.g->OnMouseWheel(200, 200, {}, -5.0f);
  EXPECT_EQ(scrollOf(*e.g), 0.0f) << "nothing to scroll with Auto on";

  e.instance.set(kAuto, 0);
  EXPECT_EQ(visibleParams(*e.g, "settings").size(), 17u);
  e.g->OnMouseWheel(200, 300, {}, -10.0f);
  EXPECT_EQ(scrollOf(*e.g), 240.0f);
  e.g->OnMouseWheel(200, 300, {}, -10.0f);
  EXPECT_EQ(scrollOf(*e.g), 258.0f) << "down to the content's end";
  e.instance.set(kAuto, 1);
  EXPECT_EQ(scrollOf(*e.g), 0.0f) << "Auto on while scrolled: back to the top";
  e.instance.set(kAuto, 0);
  EXPECT_EQ(scrollOf(*e.g), 0.0f);
  e.g->OnMouseWheel(200, 300, {}, 3.0f);
  EXPECT_EQ(scrollOf(*e.g), 0.0f) << "never above the top";
}

TEST(SettingsPage, OnlyAutoReLaysThePageAndALayoutIsDoneOnce) {
  EditorSession e(true);
  showSettings(e);
  e.frames(2);
  e.instance.set(kWeight, 60.0);
  const frame::IRECT knob = widgetOf(*e.g, kWeight)->GetRECT();
  EXPECT_EQ(e.g->RunFrame(), knob) << "another parameter redraws its widget only";
  e.instance.set(kAuto, 0);
  EXPECT_EQ(e.g->RunFrame(), e.g->GetBounds()) << "Auto re-lays the whole page";
  const int controls = e.g->NControls();
  reelstop_ui::layout(e.plugin(), *e.g);
  EXPECT_EQ(e.g->NControls(), controls);
  EXPECT_TRUE(visibleParams(*e.g, "main").empty()) << "and the page stays";
}

TEST(SettingsPage, TheStartPageComesFromTheEnvironmentExactly) {
  for (const auto& [value, settings] : {std::pair{"settings", true}, {"Settings", false}, {"settings ", false}}) {
    setenv("REELSTOP_START_PAGE", value, 1);
    EditorSession e(true);
    unsetenv("REELSTOP_START_PAGE");
    EXPECT_EQ(visibleParams(*e.g, "main").empty(), settings) << "'" << value << "'";
  }
}

TEST(SettingsPage, ThePictureHasItsCardsAndTheBarItsLength) {
  EditorSession e;
  e.instance.set(kAuto, 0);
  showSettings(e);
  e.frames(2);
  auto& g = e.cairo();
  EXPECT_EQ(g.PixelColor(30, 100), theme::surface) << "inside the first card";
  EXPECT_EQ(g.PixelColor(30, 177), theme::bg) << "between the cards";
  EXPECT_EQ(g.PixelColor(30, 190), theme::surface) << "the second card from 182";
  int bar = 0;
  for (int y = 40; y < 470; ++y) bar += g.PixelColor(413, y).R > 40 ? 1 : 0;
  EXPECT_NEAR(bar, 244.85, 1.5) << "the scroll bar's length";
}

}  // namespace
}  // namespace reelstop::test
