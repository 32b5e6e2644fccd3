// A live Reelstop in the headless host with an editor laid out by the test: drawn by the Cairo
// renderer and driven through the window's entry points, or recorded call by call.
#pragma once

#include <functional>
#include <memory>

#include "cairo_graphics.h"
#include "frame/resources.h"
#include "plugin_harness.h"
#include "recording_graphics.h"
#include "theme.h"
#include "window_surface.h"

namespace reelstop::test {

using Layout = std::function<void(frame::IGraphics&)>;

struct KitEditor {
  Instance instance;
  frame::IGraphics* g = nullptr;

  explicit KitEditor(const Layout& layout, bool recording = false, float scale = 1.0f) {
    frame::SetResourceFolder(REELSTOP_RESOURCES);
    Reelstop& plugin = instance.plugin();
    plugin.mMakeGraphicsFunc = [&plugin, recording](int w, int h, float s) -> frame::IGraphics* {
      if (recording) return new frame::test::RecordingGraphics(plugin, w, h, s);
      return frame::MakeGraphics(plugin, w, h, s);
    };
    plugin.mLayoutFunc = [layout, scale](frame::IGraphics* ui) {
      ui->SetScaleConstraints(0.75f, 2.0f);
      if (scale != 1.0f) ui->SetScale(scale);
      theme::loadFonts(*ui);
      ui->AttachPanelBackground(theme::bg);
      layout(*ui);
    };
    g = instance.host.openEditor();
  }
  frame::CairoGraphics& cairo() { return static_cast<frame::CairoGraphics&>(*g); }
  frame::test::RecordingGraphics& recording() { return static_cast<frame::test::RecordingGraphics&>(*g); }
  frame::WindowSurface window() { return frame::WindowSurface(cairo()); }
  double normalised(int param) { return instance.param(param).GetNormalized(); }
  const std::vector<frame::HeadlessHost::EditorEvent>& events() { return instance.host.editorEvents(); }
};

// Places a control on the page at `r` and attaches it.
template <typename C>
C* place(frame::IGraphics& g, C* control, const frame::IRECT& r) {
  control->SetTargetAndDrawRECTs(r);
  g.AttachControl(control);
  return control;
}

}  // namespace reelstop::test
