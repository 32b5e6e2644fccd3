// A drawing surface that records every primitive with its arguments instead of drawing, for
// tests where the geometry matters. Text measures 6 units a byte (8 for 'm' and 'W', 3 for 'i'
// and '.') at size 10, scaled by the size.
#pragma once

#include <string>
#include <vector>

#include "frame/igraphics.h"

namespace frame::test {

struct Call {
  std::string op;
  std::vector<float> args;
  IColor color;
  std::string text;
  float blend = 1.0f;
};

class RecordingGraphics : public IGraphics {
 public:
  RecordingGraphics(Plugin& delegate, int width, int height, float scale) : IGraphics(delegate, width, height, scale) {}

  std::vector<Call> calls;
  std::vector<std::string> fonts;

  std::vector<Call> named(const std::string& op) const {
    std::vector<Call> found;
    for (const Call& c : calls) {
      if (c.op == op) found.push_back(c);
    }
    return found;
  }

  void PathClear() override { calls.push_back({"clear", {}, {}, {}}); }
  void PathMoveTo(float x, float y) override { calls.push_back({"move", {x, y}, {}, {}}); }
  void PathLineTo(float x, float y) override { calls.push_back({"line", {x, y}, {}, {}}); }
  void PathArc(float cx, float cy, float r, float a1, float a2, EWinding) override {
    calls.push_back({"arc", {cx, cy, r, a1, a2}, {}, {}});
  }
  void PathEllipse(const IRECT& r) override { calls.push_back({"ellipse", {r.L, r.T, r.R, r.B}, {}, {}}); }
  void PathClose() override { calls.push_back({"close", {}, {}, {}}); }
  void PathStroke(const IPattern& pattern, float thickness, const IStrokeOptions&, const IBlend* blend) override {
    calls.push_back({"stroke", {thickness}, pattern.mColor, {}, BlendWeight(blend)});
  }
  void PathFill(const IPattern& pattern, const IBlend* blend) override {
    calls.push_back({"fill", {}, pattern.mColor, {}, BlendWeight(blend)});
  }

  static float Advance(const IText& text, const std::string& s) {
    float width = 0.0f;
    for (const char c : s) width += c == 'm' || c == 'W' ? 8.0f : (c == 'i' || c == '.' ? 3.0f : 6.0f);
    return width * text.mSize / 10.0f;
  }

 protected:
  void SetClip(const IRECT& r) override { calls.push_back({"clip", {r.L, r.T, r.R, r.B}, {}, {}}); }
  bool DoLoadFont(const char* id, const char*) override {
    fonts.emplace_back(id);
    return true;
  }
  void DoDrawText(const IText& text, const char* utf8, const IRECT& bounds, const IBlend* blend) override {
    calls.push_back(
        {"text", {bounds.L, bounds.T, bounds.R, bounds.B, text.mSize}, text.mFGColor, utf8, BlendWeight(blend)});
  }
  float DoMeasureText(const IText& text, const char* utf8, IRECT& bounds) override {
    const float advance = Advance(text, utf8);
    bounds = {bounds.L, bounds.T, bounds.L + advance, bounds.B};
    return advance;
  }
  void BeginFrame(const IRECT&) override {}
  void EndFrame() override {}
  void PushLayer(const IRECT& r) override { calls.push_back({"layer", {r.L, r.T, r.R, r.B}, {}, {}}); }
  ILayerPtr PopLayer(const IRECT& r) override { return std::make_unique<ILayer>(r, GetDrawScale()); }
  void CompositeLayer(const ILayer& layer, const IBlend* blend) override {
    const IRECT& r = layer.Bounds();
    calls.push_back({"draw layer", {r.L, r.T, r.R, r.B}, {}, {}, BlendWeight(blend)});
  }
};

}  // namespace frame::test
