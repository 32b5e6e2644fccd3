// The drawing operations built on a renderer's primitives: shapes, clips, text and layers.
#include <algorithm>
#include <cstdint>

#include "frame/igraphics.h"

namespace frame {
namespace {

// Length of the well-formed UTF-8 sequence at `s`, or 0 when it is not one.
size_t utf8SequenceLength(const unsigned char* s) {
  const unsigned char c = s[0];
  auto continuation = [s](size_t i) { return (s[i] & 0xC0u) == 0x80u; };
  if (c < 0x80u) return 1;
  if (c >= 0xC2u && c <= 0xDFu) return continuation(1) ? 2 : 0;
  if (c >= 0xE0u && c <= 0xEFu) {
    if (!continuation(1) || !continuation(2)) return 0;
    if (c == 0xE0u && s[1] < 0xA0u) return 0;   // overlong
    if (c == 0xEDu && s[1] >= 0xA0u) return 0;  // surrogates
    return 3;
  }
  if (c >= 0xF0u && c <= 0xF4u) {
    if (!continuation(1) || !continuation(2) || !continuation(3)) return 0;
    if (c == 0xF0u && s[1] < 0x90u) return 0;
    if (c == 0xF4u && s[1] >= 0x90u) return 0;  // beyond U+10FFFF
    return 4;
  }
  return 0;
}

}  // namespace

// A font renderer refuses malformed UTF-8 (and may stop drawing altogether), so every byte that
// is not part of a well-formed sequence becomes U+FFFD.
std::string ValidUtf8(const char* text) {
  std::string clean;
  if (text == nullptr) return clean;
  const auto* s = reinterpret_cast<const unsigned char*>(text);
  while (*s != 0) {
    const size_t n = utf8SequenceLength(s);
    if (n == 0) {
      clean += "\xEF\xBF\xBD";
      ++s;
      continue;
    }
    clean.append(reinterpret_cast<const char*>(s), n);
    s += n;
  }
  return clean;
}

void IGraphics::PathClipRegion(const IRECT& r) { SetClip(r.Empty() ? mDrawArea : r.Intersect(mDrawArea)); }

void IGraphics::PathRect(const IRECT& r) {
  PathMoveTo(r.L, r.T);
  PathLineTo(r.R, r.T);
  PathLineTo(r.R, r.B);
  PathLineTo(r.L, r.B);
  PathClose();
}

void IGraphics::PathRoundRect(const IRECT& r, float radius) {
  const float k = std::min(radius, std::min(r.W(), r.H()) / 2.0f);
  if (!(k > 0.0f)) {
    PathRect(r);
    return;
  }
  PathMoveTo(r.L + k, r.T);
  PathArc(r.R - k, r.T + k, k, 0.0f, 90.0f);
  PathArc(r.R - k, r.B - k, k, 90.0f, 180.0f);
  PathArc(r.L + k, r.B - k, k, 180.0f, 270.0f);
  PathArc(r.L + k, r.T + k, k, 270.0f, 360.0f);
  PathClose();
}

void IGraphics::FillRect(const IColor& color, const IRECT& r, const IBlend* blend) {
  PathClear();
  PathRect(r);
  PathFill(color, blend);
}

void IGraphics::FillRoundRect(const IColor& color, const IRECT& r, float radius, const IBlend* blend) {
  PathClear();
  PathRoundRect(r, radius);
  PathFill(color, blend);
}

void IGraphics::FillCircle(const IColor& color, float cx, float cy, float r, const IBlend* blend) {
  if (!(r > 0.0f)) return;
  PathClear();
  PathCircle(cx, cy, r);
  PathFill(color, blend);
}

void IGraphics::FillEllipse(const IColor& color, const IRECT& r, const IBlend* blend) {
  PathClear();
  PathEllipse(r);
  PathFill(color, blend);
}

void IGraphics::FillTriangle(const IColor& color, float x1, float y1, float x2, float y2, float x3, float y3,
                             const IBlend* blend) {
  PathClear();
  PathMoveTo(x1, y1);
  PathLineTo(x2, y2);
  PathLineTo(x3, y3);
  PathClose();
  PathFill(color, blend);
}

void IGraphics::DrawLine(const IColor& color, float x1, float y1, float x2, float y2, const IBlend* blend,
                         float thickness) {
  PathClear();
  PathMoveTo(x1, y1);
  PathLineTo(x2, y2);
  PathStroke(color, thickness, {}, blend);
}

void IGraphics::DrawCircle(const IColor& color, float cx, float cy, float r, const IBlend* blend, float thickness) {
  if (!(r > 0.0f)) return;
  PathClear();
  PathCircle(cx, cy, r);
  PathStroke(color, thickness, {}, blend);
}

void IGraphics::DrawRect(const IColor& color, const IRECT& r, const IBlend* blend, float thickness) {
  PathClear();
  PathRect(r);
  PathStroke(color, thickness, {}, blend);
}

bool IGraphics::LoadFont(const char* id, const char* fileName) {
  if (!DoLoadFont(id, fileName)) return false;
  if (mOverlayFont.empty()) mOverlayFont = id;
  return true;
}

void IGraphics::DrawText(const IText& text, const char* str, const IRECT& bounds, const IBlend* blend) {
  const std::string clean = ValidUtf8(str);
  if (!clean.empty()) DoDrawText(text, clean.c_str(), bounds, blend);
}

float IGraphics::MeasureText(const IText& text, const char* str, IRECT& bounds) {
  return DoMeasureText(text, ValidUtf8(str).c_str(), bounds);
}

void IGraphics::StartLayer(IControl*, const IRECT& r, bool) {
  mLayers.push_back(r);
  PushLayer(r);
}

ILayerPtr IGraphics::EndLayer() {
  if (mLayers.empty()) return nullptr;
  const IRECT r = mLayers.back();
  mLayers.pop_back();
  return PopLayer(r);
}

void IGraphics::DrawLayer(const ILayerPtr& layer, const IBlend* blend) {
  if (layer != nullptr) CompositeLayer(*layer, blend);
}

}  // namespace frame
