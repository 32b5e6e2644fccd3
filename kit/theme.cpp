// The theme's faces, lift, text factory and fixed-width strings.
#include "theme.h"

#include <cmath>

namespace theme {
namespace {

struct Face {
  const char* id;
  const char* file;
};
constexpr Face kFaces[] = {{"Inter-Regular", "Inter-Regular.ttf"},
                           {"Inter-Medium", "Inter-Medium.ttf"},
                           {"Inter-SemiBold", "Inter-SemiBold.ttf"}};

// The width one byte's cell takes: a pair minus a single, so the spacing between glyphs counts.
float cellWidth(frame::IGraphics& g, const frame::IText& text, char byte) {
  const char c = byte >= '0' && byte <= '9' ? '0' : byte;
  frame::IRECT ignored;
  if (c == ' ') return g.MeasureText(text, "n n", ignored) - g.MeasureText(text, "nn", ignored);
  const char pair[3] = {c, c, '\0'};
  const char single[2] = {c, '\0'};
  return g.MeasureText(text, pair, ignored) - g.MeasureText(text, single, ignored);
}

}  // namespace

const char* fontId(Weight weight) {
  switch (weight) {
    case Medium: return kFaces[1].id;
    case SemiBold: return kFaces[2].id;
    case Regular: break;
  }
  return kFaces[0].id;
}

frame::IColor lift(const frame::IColor& colour, float k) {
  auto towardsWhite = [k](int c) {
    return static_cast<int>(std::floor(static_cast<float>(c) + static_cast<float>(255 - c) * k + 0.5f));
  };
  return {colour.A, towardsWhite(colour.R), towardsWhite(colour.G), towardsWhite(colour.B)};
}

void loadFonts(frame::IGraphics& g) {
  for (const Face& face : kFaces) g.LoadFont(face.id, face.file);
}

frame::IText sans(float size, Weight weight, const frame::IColor& colour, frame::EAlign align) {
  frame::IText text;
  text.mFont = fontId(weight);
  text.mSize = size;
  text.mFGColor = colour;
  text.mTextEntryBGColor = frame::DEFAULT_TEXTENTRY_BGCOLOR;
  text.mTextEntryFGColor = frame::DEFAULT_TEXTENTRY_FGCOLOR;
  text.mAngle = 0.0f;
  text.mAlign = align;
  text.mVAlign = frame::EVAlign::Middle;
  return text;
}

float monoWidth(frame::IGraphics& g, const frame::IText& text, const std::string& s) {
  float width = 0.0f;
  for (const char byte : s) width += cellWidth(g, text, byte);
  return width;
}

void drawMono(frame::IGraphics& g, const frame::IText& text, const std::string& s, float x, float y,
              const frame::IBlend* blend) {
  frame::IText centred = text;
  centred.mAlign = frame::EAlign::Center;
  centred.mVAlign = frame::EVAlign::Middle;
  for (const char byte : s) {
    const float w = cellWidth(g, text, byte);
    if (byte != ' ') {
      const char single[2] = {byte, '\0'};
      g.DrawText(centred, single, {x, y, x + w, y}, blend);
    }
    x += w;
  }
}

void drawMono(frame::IGraphics& g, const frame::IText& text, const std::string& s, const frame::IRECT& r,
              const frame::IBlend* blend) {
  const float w = monoWidth(g, text, s);
  float x = r.L;
  if (text.mAlign == frame::EAlign::Far) x = r.R - w;
  if (text.mAlign == frame::EAlign::Center) x = (r.L + r.R) * 0.5f - w * 0.5f;
  drawMono(g, text, s, x, (r.T + r.B) * 0.5f, blend);
}

}  // namespace theme
