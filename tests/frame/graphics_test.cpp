// The drawing surface without pixels: the control tree, the mouse, the frame loop, menus, the
// typed-value entry, tooltips, the scale and text cleaning, on a surface that records its calls.
#include <gtest/gtest.h>

#include "frame/headless_host.h"
#include "frame/igraphics.h"
#include "recording_graphics.h"

namespace frame {
namespace {

using test::RecordingGraphics;

enum { kLevel, kMode, kNumTestParams };

class TwoParams : public Plugin {
 public:
  explicit TwoParams(const InstanceInfo& info) : Plugin(info, config()) {
    GetParam(kLevel)->InitDouble("Level", 25.0, 0.0, 100.0, 0.1, "%");
    GetParam(kMode)->InitEnum("Mode", 0, {"Off", "Slow", "Fast"});
  }
  static Config config() {
    Config c;
    c.nParams = kNumTestParams;
    c.plugHasUI = true;
    c.plugWidth = 200;
    c.plugHeight = 100;
    return c;
  }
  void ProcessBlock(float**, float**, int) override {}
  void OnUIClose() override { closedWithUI = GetUI() != nullptr; }
  bool closedWithUI = false;
};

// A control that records what happened to it, in one shared log.
class Probe : public IControl {
 public:
  Probe(const IRECT& r, std::vector<std::string>& log, const char* name, int param = kNoParameter)
      : IControl(r, param), mLog(log), mName(name) {}
  void Draw(IGraphics&) override { mLog.push_back(mName + " draw"); }
  void OnMouseDown(float x, float y, const IMouseMod& mod) override {
    mLog.push_back(mName + " down");
    IControl::OnMouseDown(x, y, mod);
  }
  void OnMouseUp(float, float, const IMouseMod&) override { mLog.push_back(mName + " up"); }
  void OnMouseDrag(float x, float, float, float, const IMouseMod&) override {
    mLog.push_back(mName + " drag " + std::to_string(static_cast<int>(x)));
  }
  void OnMouseWheel(float, float, const IMouseMod&, float d) override {
    mLog.push_back(mName + " wheel " + std::to_string(static_cast<int>(d)));
  }
  void OnMouseOver(float x, float y, const IMouseMod& mod) override {
    if (!GetMouseIsOver()) mLog.push_back(mName + " over");
    IControl::OnMouseOver(x, y, mod);
  }
  void OnMouseOut() override {
    mLog.push_back(mName + " out");
    IControl::OnMouseOut();
  }
  bool IsDirty() override {
    ++asked;
    return IControl::IsDirty();
  }
  void OnPopupMenuSelection(IPopupMenu* menu, int valIdx) override {
    mLog.push_back(mName + " menu " +
                   (menu == nullptr ? std::string("dismissed") : std::to_string(menu->GetChosenItemIdx())) + " " +
                   std::to_string(valIdx));
  }
  int asked = 0;

 private:
  std::vector<std::string>& mLog;
  std::string mName;
};

struct Editor {
  std::vector<std::string> log;
  HeadlessHost host{[](const InstanceInfo& info) { return std::make_unique<TwoParams>(info); }};
  RecordingGraphics* g = nullptr;

  Editor() {
    host.plugin().mMakeGraphicsFunc = [this](int w, int h, float s) {
      return new RecordingGraphics(host.plugin(), w, h, s);
    };
    host.plugin().mLayoutFunc = [this](IGraphics* ui) { g = static_cast<RecordingGraphics*>(ui); };
    host.openEditor();
  }
  Probe* attach(const IRECT& r, const char* name, int param = kNoParameter, int tag = kNoTag, const char* group = "") {
    return static_cast<Probe*>(g->AttachControl(new Probe(r, log, name, param), tag, group));
  }
  std::vector<std::string> take() { return std::exchange(log, {}); }
  using Strings = std::vector<std::string>;
};

TEST(IGraphics, DrawsInAttachOrderTheMouseFindsTheTopmostAndTagsAndGroupsFindControls) {
  Editor e;
  Probe* under = e.attach({0, 0, 100, 100}, "under", kNoParameter, 7, "page");
  Probe* over = e.attach({50, 0, 150, 100}, "over", kNoParameter, kNoTag, "page");
  e.attach({150, 0, 200, 100}, "other");
  e.g->RunFrame();
  EXPECT_EQ(e.take(), (Editor::Strings{"under draw", "over draw", "other draw"}));
  e.g->OnMouseDown(75, 50, {});
  e.g->OnMouseUp(75, 50, {});
  EXPECT_EQ(e.take(), (Editor::Strings{"over down", "over up", "over over"}));
  EXPECT_EQ(e.g->GetControlWithTag(7), under);
  EXPECT_EQ(e.g->GetControlWithTag(8), nullptr);
  std::vector<IControl*> group;
  e.g->ForControlInGroup("page", [&](IControl& c) { group.push_back(&c); });
  EXPECT_EQ(group, (std::vector<IControl*>{under, over}));

  over->SetIgnoreMouse(true);
  e.g->OnMouseDown(75, 50, {});
  e.g->OnMouseUp(75, 50, {});
  EXPECT_EQ(e.take(), (Editor::Strings{"under down", "under up", "over out", "under over"}))
      << "hover follows the pointer at the release";
  under->Hide(true);
  EXPECT_EQ(e.take(), (Editor::Strings{"under out"})) << "a hidden control lets go of the hover";
  e.g->OnMouseDown(75, 50, {});
  e.g->RunFrame();
  EXPECT_EQ(e.take(), (Editor::Strings{"over draw"})) << "hidden: no press, no drawing; its area is repainted";
}

TEST(IGraphics, EachControlIsAskedOnceAFrameAndTheDirtyAreaRepaintsEveryControlMeetingIt) {
  Editor e;
  Probe* a = e.attach({0, 0, 60, 50}, "a");
  Probe* b = e.attach({40, 0, 100, 50}, "b");
  Probe* far = e.attach({120, 0, 200, 50}, "far");
  e.g->RunFrame();
  e.take();
  EXPECT_TRUE(e.g->RunFrame().Empty()) << "nothing dirty, nothing drawn";
  a->SetDirty(false);
  e.g->calls.clear();
  EXPECT_EQ(e.g->RunFrame(), IRECT(0, 0, 60, 50));
  EXPECT_EQ(e.take(), (Editor::Strings{"a draw", "b draw"})) << "b meets the repainted area";
  EXPECT_EQ(e.g->calls.front().op, "clip") << "the background is painted within the area first";
  EXPECT_EQ(a->asked, 3);
  EXPECT_EQ(b->asked, 3);
  EXPECT_EQ(far->asked, 3);
}

TEST(IGraphics, APressIsCapturedUntilReleaseAndIsOneGestureOnABoundControlEvenWithoutAChange) {
  Editor e;
  Probe* level = e.attach({0, 0, 100, 100}, "level", kLevel);
  e.attach({100, 0, 200, 100}, "free");
  EXPECT_DOUBLE_EQ(level->GetValue(), 0.25) << "attached with its parameter's value";
  e.g->OnMouseOver(50, 50, {});
  e.g->OnMouseOver(150, 50, {});
  EXPECT_EQ(e.take(), (Editor::Strings{"level over", "level out", "free over"})) << "out before over";
  e.g->OnMouseDown(50, 50, {});
  e.g->OnMouseDrag(180, 50, 130, 0, {});
  e.g->OnMouseOver(150, 50, {});  // no hover changes while captured
  e.g->OnMouseUp(180, 50, {});
  EXPECT_EQ(e.take(), (Editor::Strings{"level down", "level drag 180", "level up"}));
  ASSERT_EQ(e.host.gestures().size(), 2u);
  EXPECT_TRUE(e.host.gestures()[0].begin);
  EXPECT_EQ(e.host.gestures()[1].paramIdx, kLevel);

  e.g->OnMouseDown(150, 50, {});
  e.g->OnMouseUp(150, 50, {});
  EXPECT_EQ(e.host.gestures().size(), 2u) << "an unbound control makes no gesture";

  e.host.setPlainParameter(kLevel, 80.0);
  EXPECT_DOUBLE_EQ(level->GetValue(), 0.8) << "bound controls follow the host";
  e.g->OnMouseDown(50, 50, {});
  e.g->OnMouseUp(50, 50, {});
  e.g->OnMouseDblClick(50, 50, {});
  e.g->OnMouseUp(50, 50, {});
  EXPECT_DOUBLE_EQ(e.host.plugin().GetParam(kLevel)->Value(), 25.0) << "a double-click resets to the default";
  EXPECT_EQ(e.host.gestures().size(), 6u);
  e.g->OnMouseWheel(50, 50, {}, 3.0f);
  EXPECT_EQ(e.take().back(), "level wheel 3");
}

TEST(IGraphics, AMenuOverTheControlsPicksOnAClickAndADismissalSaysSo) {
  Editor e;
  Probe* caller = e.attach({0, 0, 100, 30}, "caller");
  IPopupMenu menu;
  for (const char* item : {"One", "Two", "Three"}) menu.AddItem(item);
  menu.CheckItemAlone(1);
  e.g->CreatePopupMenu(*caller, menu, {0, 0, 100, 30}, 4);
  e.g->RunFrame();
  const auto texts = e.g->named("text");
  ASSERT_EQ(texts.size(), 3u) << "drawn over the controls";
  EXPECT_EQ(texts[0].text, "One");
  e.take();
  e.g->OnMouseDown(50, 32 + 22 * 2 + 5, {});  // the third item
  EXPECT_EQ(e.take(), (Editor::Strings{"caller menu 2 4"}));
  EXPECT_FALSE(e.g->IsPopupMenuOpen());

  e.g->CreatePopupMenu(*caller, menu, {0, 0, 100, 30}, 4);
  e.g->OnMouseDown(190, 90, {});
  e.g->CreatePopupMenu(*caller, menu, {0, 0, 100, 30}, 4);
  EXPECT_TRUE(e.g->OnKeyDown({IKeyPress::Key::Escape, 0}));
  EXPECT_EQ(e.take(), (Editor::Strings{"caller menu dismissed 4", "caller menu dismissed 4"}))
      << "a click outside or Escape dismisses, and the click reaches no control";
}

void type(IGraphics& g, const std::string& text) {
  for (const char c : text) g.OnKeyDown({IKeyPress::Key::Character, c});
}

TEST(IGraphics, ARightClickTypesAValueInItsUnitsOrByNameThroughTheConstraintsAsOneGesture) {
  Editor e;
  e.attach({0, 0, 100, 50}, "level", kLevel);
  e.attach({100, 0, 200, 50}, "mode", kMode);
  const IMouseMod right{false, true};
  auto entry = [&](float x, const std::string& text, IKeyPress::Key end) {
    e.g->OnMouseDown(x, 20, right);
    e.g->OnMouseUp(x, 20, right);
    EXPECT_TRUE(e.g->IsTextEntryOpen());
    // The value shown is selected: typing replaces it.
    type(*e.g, text);
    e.g->OnKeyDown({end, 0});
  };
  entry(50, "62.5 %", IKeyPress::Key::Enter);
  EXPECT_DOUBLE_EQ(e.host.plugin().GetParam(kLevel)->Value(), 62.5);
  entry(50, "400", IKeyPress::Key::Enter);
  EXPECT_DOUBLE_EQ(e.host.plugin().GetParam(kLevel)->Value(), 100.0) << "held in range";
  entry(50, "12", IKeyPress::Key::Escape);
  entry(50, "loud", IKeyPress::Key::Enter);
  EXPECT_DOUBLE_EQ(e.host.plugin().GetParam(kLevel)->Value(), 100.0) << "cancelled, then not a number";
  entry(150, "fast", IKeyPress::Key::Enter);
  EXPECT_EQ(e.host.plugin().GetParam(kMode)->Int(), 2);

  using Kind = HeadlessHost::EditorEvent::Kind;
  int open = 0;
  int values = 0;
  for (const auto& event : e.host.editorEvents()) {
    if (event.kind == Kind::kBegin) ++open;
    if (event.kind == Kind::kEnd) --open;
    if (event.kind == Kind::kValue) {
      ++values;
      EXPECT_EQ(open, 1) << "every value inside a gesture";
    }
  }
  EXPECT_EQ(values, 3);
}

TEST(IGraphics, ATooltipShowsAfterThePointerRestsAndGoesWhenItMoves) {
  Editor e;
  Probe* tipped = e.attach({0, 0, 100, 50}, "tipped");
  tipped->SetTooltip("Helpful words");
  e.g->EnableTooltips(true);
  e.g->OnMouseOver(20, 20, {});
  auto tipDrawn = [&] {
    e.g->calls.clear();
    e.g->RunFrame();
    for (const test::Call& c : e.g->named("text")) {
      if (c.text == "Helpful words") return true;
    }
    return false;
  };
  bool shown = false;
  for (int frame = 0; frame < 29 && !shown; ++frame) shown = tipDrawn();
  EXPECT_FALSE(shown) << "not before half a second at 60 frames a second";
  EXPECT_TRUE(tipDrawn());
  e.g->OnMouseOver(21, 20, {});
  EXPECT_FALSE(tipDrawn());
}

TEST(IGraphics, TheScaleStaysInItsBoundsTheCornerScalesTheEditorAndCloseKeepsIt) {
  Editor e;
  e.g->SetScaleConstraints(0.75f, 2.0f);
  struct Corner : ICornerResizerControl {
    Corner() : ICornerResizerControl(16.0f) {}
    void Draw(IGraphics&) override {}
  };
  auto* corner = new Corner;
  e.g->AttachCornerResizer(corner, EUIResizerMode::Scale);
  EXPECT_EQ(corner->GetRECT(), IRECT(184, 84, 200, 100));
  e.g->OnMouseDown(192, 92, {});
  e.g->OnMouseDrag(292, 142, 100, 50, {});  // 100 pixels wider at scale 1: 300 / 200
  e.g->OnMouseUp(292, 142, {});
  EXPECT_FLOAT_EQ(e.g->GetDrawScale(), 1.5f);
  EXPECT_NEAR(corner->GetRECT().W(), 16.0f / 1.5f, 1e-4) << "a constant size in window pixels";
  e.g->SetScale(5.0f);
  EXPECT_FLOAT_EQ(e.g->GetDrawScale(), 2.0f);
  e.g->OnMouseDblClick(195, 95, {});
  e.g->OnMouseUp(195, 95, {});
  EXPECT_FLOAT_EQ(e.g->GetDrawScale(), 1.0f);
  e.g->SetScale(0.8f);

  auto& plugin = static_cast<TwoParams&>(e.host.plugin());
  e.host.closeEditor();
  EXPECT_TRUE(plugin.closedWithUI) << "OnUIClose runs while the surface still exists";
  EXPECT_EQ(plugin.GetUI(), nullptr);
  EXPECT_FLOAT_EQ(plugin.EditorScale(), 0.8f);
  ASSERT_NE(e.host.openEditor(), nullptr);
  EXPECT_FLOAT_EQ(e.g->GetDrawScale(), 0.8f) << "reopened at the last scale";
}

// The three words of an editor size as the state carries them.
struct EditorSize {
  int width = 0;
  int height = 0;
  float scale = 0.0f;
};

EditorSize savedSize(const Plugin& plugin) {
  IByteChunk chunk;
  plugin.SerializeEditorState(chunk);
  EditorSize size;
  chunk.Get(&size.scale, chunk.Get(&size.height, chunk.Get(&size.width, 0)));
  return size;
}

int restoreSize(Plugin& plugin, EditorSize size) {
  IByteChunk chunk;
  chunk.Put(&size.width);
  chunk.Put(&size.height);
  chunk.Put(&size.scale);
  return plugin.UnserializeEditorState(chunk, 0);
}

TEST(IGraphics, AnOpenEditorSavesItsOwnSizeARestoreResizesItAndAClosedOneOpensAtTheRestoredSize) {
  Editor e;
  Plugin& plugin = e.host.plugin();
  e.g->SetScaleConstraints(0.75f, 2.0f);
  int told = 0;
  e.g->mSizeListener = [&told] { ++told; };
  Probe* probe = e.attach({0, 0, 50, 50}, "probe");
  IRECT area;
  e.g->IsDirty(area);
  probe->SetClean();

  e.g->SetScale(1.25f);
  EXPECT_EQ(told, 1);
  const EditorSize open = savedSize(plugin);
  EXPECT_EQ(open.width, 200);
  EXPECT_EQ(open.height, 100);
  EXPECT_FLOAT_EQ(open.scale, 1.25f) << "the open editor's size, not the one kept from no closing";

  e.g->IsDirty(area);
  ASSERT_EQ(restoreSize(plugin, {300, 150, 1.5f}), 12);
  EXPECT_EQ(e.g->Width(), 300);
  EXPECT_EQ(e.g->Height(), 150);
  EXPECT_FLOAT_EQ(e.g->GetDrawScale(), 1.5f);
  EXPECT_EQ(told, 2) << "the window is told to follow";
  ASSERT_TRUE(e.g->IsDirty(area));
  EXPECT_EQ(area, IRECT(0, 0, 300, 150)) << "everything is drawn again at the new size";
  restoreSize(plugin, {0, 0, 0.0f});
  EXPECT_FLOAT_EQ(e.g->GetDrawScale(), 1.5f) << "no size leaves the open editor alone";
  EXPECT_EQ(told, 2);

  e.host.closeEditor();
  restoreSize(plugin, {220, 110, 0.75f});
  EXPECT_EQ(savedSize(plugin).width, 220) << "kept while closed";
  ASSERT_NE(e.host.openEditor(), nullptr);
  EXPECT_EQ(e.g->Width(), 220);
  EXPECT_EQ(e.g->Height(), 110);
  EXPECT_FLOAT_EQ(e.g->GetDrawScale(), 0.75f);
}

TEST(IGraphics, TextReachesTheRendererAsWellFormedUtf8) {
  EXPECT_EQ(ValidUtf8("dev 1a\xff\xfe"), "dev 1a\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(ValidUtf8("\xC3\xA9t\xC3"), "\xC3\xA9t\xEF\xBF\xBD") << "a sequence cut short";
  EXPECT_EQ(ValidUtf8("\xED\xA0\x80"), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD") << "no surrogates";
  Editor e;
  e.g->DrawText(IText(), "\xB0", {0, 0, 10, 10});
  ASSERT_EQ(e.g->named("text").size(), 1u);
  EXPECT_EQ(e.g->named("text")[0].text, "\xEF\xBF\xBD");
}

}  // namespace
}  // namespace frame
