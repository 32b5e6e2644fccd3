// The drawing surface's value types: rectangles, colours, text records, stroke and blend
// options, mouse modifiers and cursors. Coordinates are layout units, y growing downwards.
#pragma once

#include <algorithm>
#include <string>

namespace frame {

struct IRECT {
  float L = 0.0f;
  float T = 0.0f;
  float R = 0.0f;
  float B = 0.0f;

  IRECT() = default;
  IRECT(float l, float t, float r, float b) : L(l), T(t), R(r), B(b) {}

  float W() const { return R - L; }
  float H() const { return B - T; }
  float MW() const { return (L + R) * 0.5f; }
  float MH() const { return (T + B) * 0.5f; }
  // All four edges 0: no rectangle at all.
  bool Empty() const { return L == 0.0f && T == 0.0f && R == 0.0f && B == 0.0f; }
  // Half-open, so neighbouring rectangles never both contain a point; an empty one contains nothing.
  bool Contains(float x, float y) const { return !Empty() && L <= x && x < R && T <= y && y < B; }
  bool Intersects(const IRECT& o) const { return !Empty() && !o.Empty() && L < o.R && o.L < R && T < o.B && o.T < B; }
  IRECT Intersect(const IRECT& o) const {
    if (!Intersects(o)) return {};
    return {std::max(L, o.L), std::max(T, o.T), std::min(R, o.R), std::min(B, o.B)};
  }
  IRECT Union(const IRECT& o) const {
    if (Empty()) return o;
    if (o.Empty()) return *this;
    return {std::min(L, o.L), std::min(T, o.T), std::max(R, o.R), std::max(B, o.B)};
  }
  IRECT GetPadded(float d) const { return {L - d, T - d, R + d, B + d}; }
  IRECT GetTranslated(float dx, float dy) const { return {L + dx, T + dy, R + dx, B + dy}; }
  bool operator==(const IRECT& o) const { return L == o.L && T == o.T && R == o.R && B == o.B; }
};

struct IColor {
  int A = 255;
  int R = 0;
  int G = 0;
  int B = 0;

  IColor() = default;
  IColor(int a, int r, int g, int b) : A(a), R(r), G(g), B(b) {}
  IColor WithAlpha(int alpha) const { return {alpha, R, G, B}; }
  bool operator==(const IColor& o) const { return A == o.A && R == o.R && G == o.G && B == o.B; }
};

const IColor COLOR_BLACK(255, 0, 0, 0);
const IColor COLOR_WHITE(255, 255, 255, 255);

enum class EAlign { Near = 0, Center = 1, Far = 2 };
enum class EVAlign { Top = 0, Middle = 1, Bottom = 2 };

const IColor DEFAULT_TEXTENTRY_BGCOLOR(255, 255, 255, 255);
const IColor DEFAULT_TEXTENTRY_FGCOLOR(255, 0, 0, 0);

struct IText {
  std::string mFont = "Inter-Regular";  // a font identifier given to LoadFont
  float mSize = 14.0f;
  IColor mFGColor = COLOR_BLACK;
  IColor mTextEntryBGColor = DEFAULT_TEXTENTRY_BGCOLOR;
  IColor mTextEntryFGColor = DEFAULT_TEXTENTRY_FGCOLOR;
  float mAngle = 0.0f;
  EAlign mAlign = EAlign::Center;
  EVAlign mVAlign = EVAlign::Middle;
};

// A fill or stroke source: one solid colour.
struct IPattern {
  IColor mColor;
  IPattern(const IColor& color) : mColor(color) {}  // implicit: a colour stands for its pattern
};

enum class ELineCap { Butt, Round, Square };
enum class ELineJoin { Miter, Round, Bevel };

struct IStrokeOptions {
  float mMiterLimit = 10.0f;
  bool mPreserve = false;  // false: a stroke consumes the path
  ELineCap mCapOption = ELineCap::Butt;
  ELineJoin mJoinOption = ELineJoin::Miter;
};

enum class EBlend { Default };

struct IBlend {
  EBlend mMethod = EBlend::Default;
  float mWeight = 1.0f;  // opacity 0..1
};

// The opacity a drawing call applies: none given means opaque.
inline float BlendWeight(const IBlend* blend) {
  return blend != nullptr ? std::clamp(blend->mWeight, 0.0f, 1.0f) : 1.0f;
}

struct IMouseMod {
  bool L = false;  // left button
  bool R = false;  // right button
  bool S = false;  // Shift
  bool C = false;  // Control
  bool A = false;  // Alt
};

enum class ECursor { ARROW, HAND, SIZENWSE };

enum class EWinding { CW, CCW };

// What dragging the resize corner changes: the editor keeps its layout and scales.
enum class EUIResizerMode { Scale };

// Keys the surface acts on: text typed into an entry, its editing keys, and Escape.
struct IKeyPress {
  enum class Key { Character, Backspace, Enter, Escape, Other };
  Key key = Key::Other;
  char character = 0;  // with Key::Character: one printable byte
};

}  // namespace frame
