// The icon button and the resize grip.
#include "buttons.h"

#include "theme.h"

namespace suite {
namespace {

constexpr float kHoverRadius = 8.0f;
constexpr int kPressedAlpha = 255;
constexpr int kHoveredAlpha = 179;
constexpr float kDoneLift = 0.1666667f;
constexpr float kSliderHalfLength = 8.0f;
constexpr float kSliderSpacing = 5.5f;
constexpr float kRingRadius = 2.4f;
constexpr float kRingGap = 3.4f;
constexpr float kGlyphStroke = 1.6f;
constexpr int kGripAlpha = 153;
constexpr float kDot = 2.2f;

}  // namespace

IconButton::IconButton(Icon kind, const char* tooltip, std::function<void()> click)
    : Control(frame::kNoParameter, tooltip), icon(kind), onClick(std::move(click)) {
  handCursor = true;
}

void IconButton::OnMouseDown(float, float, const frame::IMouseMod&) {
  pressed = true;
  SetDirty(false);
}

void IconButton::OnMouseUp(float x, float y, const frame::IMouseMod&) {
  pressed = false;
  SetDirty(false);
  if (GetRECT().Contains(x, y) && onClick) onClick();
}

void IconButton::paint(frame::IGraphics& g) {
  const frame::IRECT& r = GetRECT();
  const bool hovered = GetMouseIsOver();
  if (icon == Icon::Done) {
    const frame::IColor colour = hovered ? theme::lift(theme::accent, kDoneLift) : theme::accent;
    g.DrawText(theme::sans(13.5f, theme::SemiBold, colour, frame::EAlign::Center), "Done", r);
    return;
  }
  if (hovered || pressed) {
    g.FillRoundRect(theme::surfaceHi.WithAlpha(pressed ? kPressedAlpha : kHoveredAlpha), r, kHoverRadius);
  }
  const frame::IColor colour = hovered ? theme::ink : theme::inkDim;
  const float cx = r.MW();
  const float cy = r.MH();
  const float rows[3][2] = {{cy - kSliderSpacing, 0.3f}, {cy, 0.72f}, {cy + kSliderSpacing, 0.45f}};
  for (const auto& row : rows) {
    const float y = row[0];
    const float x0 = cx - kSliderHalfLength;
    const float x1 = cx + kSliderHalfLength;
    const float k = x0 + (x1 - x0) * row[1];
    g.DrawLine(colour, x0, y, k - kRingGap, y, nullptr, kGlyphStroke);
    g.DrawLine(colour, k + kRingGap, y, x1, y, nullptr, kGlyphStroke);
    g.DrawCircle(colour, k, y, kRingRadius, nullptr, kGlyphStroke);
  }
}

// Six dots in the corner; they reach beyond the control's own square at large scales, so the
// surface draws the grip unclipped by it.
void Resizer::Draw(frame::IGraphics& g) {
  const frame::IColor colour = GetMouseIsOver() ? theme::inkDim : theme::inkFaint.WithAlpha(kGripAlpha);
  const frame::IRECT& r = GetRECT();
  const float corners[6][2] = {{5.5f, 4.5f}, {9.5f, 4.5f}, {4.5f, 9.5f}, {13.5f, 4.5f}, {4.5f, 13.5f}, {8.5f, 8.5f}};
  for (const auto& c : corners) {
    const float x = r.R - c[0];
    const float y = r.B - c[1];
    g.FillEllipse(colour, {x, y, x + kDot, y + kDot});
  }
}

}  // namespace suite
