// The editor on a live Reelstop in the headless host, driven as a user drives it, frame by frame;
// drawn by Cairo or recorded call by call.
#pragma once

#include <cmath>
#include <string>

#include "cairo_graphics.h"
#include "frame/resources.h"
#include "plugin_harness.h"
#include "recording_graphics.h"
#include "reelstop_editor.h"
#include "theme.h"

namespace reelstop::test {

// The record's centre in layout units.
constexpr float kRecordX = 210.0f;
constexpr float kRecordY = 228.0f;

struct EditorSession {
  Instance instance;
  frame::IGraphics* g = nullptr;
  bool recorded;

  explicit EditorSession(bool recording = false) : recorded(recording) {
    frame::SetResourceFolder(REELSTOP_RESOURCES);
    Reelstop& plugin = instance.plugin();
    reelstop_ui::install(plugin);
    if (recording) {
      plugin.mMakeGraphicsFunc = [&plugin](int w, int h, float s) {
        return new frame::test::RecordingGraphics(plugin, w, h, s);
      };
    }
    open();
  }
  void open() { g = instance.host.openEditor(); }
  Reelstop& plugin() { return instance.plugin(); }
  EditorLink& link() { return plugin().editorLink(); }
  frame::test::RecordingGraphics& recording() { return static_cast<frame::test::RecordingGraphics&>(*g); }
  frame::CairoGraphics& cairo() { return static_cast<frame::CairoGraphics&>(*g); }
  // A recording keeps the last frame's calls only.
  void frames(int n) {
    for (int i = 0; i < n; ++i) {
      if (recorded) recording().calls.clear();
      g->RunFrame();
    }
  }
  // Frames while the audio thread would be publishing `speed` with the track active.
  void playAt(float speed, int n) {
    for (int i = 0; i < n; ++i) {
      link().displaySpeed.store(speed);
      link().active.store(true);
      link().blockCount.fetch_add(1);
      frames(1);
    }
  }
  double value(int param) { return instance.param(param).Value(); }

  // The mouse on the record, in layout units at scale 1, by angle (radians, 0 right, clockwise)
  // and distance from the centre.
  static float x(double angle, double radius) { return kRecordX + static_cast<float>(radius * std::cos(angle)); }
  static float y(double angle, double radius) { return kRecordY + static_cast<float>(radius * std::sin(angle)); }
  void press(double angle, double radius = 120.0) { g->OnMouseDown(x(angle, radius), y(angle, radius), {true}); }
  void move(double angle, double radius = 120.0) {
    g->OnMouseDrag(x(angle, radius), y(angle, radius), 0.0f, 0.0f, {true});
  }
  void release() { g->OnMouseUp(kRecordX, kRecordY, {true}); }
  // Turns the held record from `from` by `by` radians in steps of at most 0.05.
  void turn(double from, double by) {
    const int steps = static_cast<int>(std::ceil(std::fabs(by) / 0.05));
    for (int i = 1; i <= steps; ++i) move(from + by * i / steps);
  }
  std::string events() {
    std::string s;
    for (const auto& event : instance.host.editorEvents()) {
      s += event.kind == frame::HeadlessHost::EditorEvent::Kind::kBegin ? "b"
           : event.kind == frame::HeadlessHost::EditorEvent::Kind::kEnd ? "e"
                                                                        : "v";
      s += std::to_string(event.paramIdx) + " ";
    }
    return s;
  }
  // Every begun gesture has ended.
  bool gesturesBalanced() {
    int open = 0;
    for (const auto& gesture : instance.host.gestures()) open += gesture.begin ? 1 : -1;
    return open == 0;
  }
};

}  // namespace reelstop::test
