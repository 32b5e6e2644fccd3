// suite::Knob: dial geometry, drawing and dragging.
#include "knob.h"

#include <algorithm>
#include <cmath>

#include "theme.h"

namespace suite {
namespace {

constexpr float kLabelHeight = 16.0f;
constexpr float kDialMargin = 18.0f;  // room for the label above and the value below
constexpr float kLargestDial = 44.0f;
constexpr float kDialInset = 3.0f;
constexpr float kTrackInset = 3.0f;
constexpr float kCapInset = 7.8f;
constexpr float kArcDegrees = 144.0f;  // either side of the top
constexpr float kTravelPixels = 180.0f;
constexpr float kFineTravelPixels = 900.0f;
constexpr float kCapLift = 0.0566038f;
constexpr double kPi = 3.14159265358979323846;

frame::IStrokeOptions roundStroke() {
  frame::IStrokeOptions options;
  options.mCapOption = frame::ELineCap::Round;
  options.mJoinOption = frame::ELineJoin::Round;
  return options;
}

}  // namespace

Knob::Knob(int paramIdx, const char* labelText, const char* tooltip, bool bipolarArc)
    : Control(paramIdx, tooltip), label(labelText), bipolar(bipolarArc) {}

frame::IRECT Knob::dial() const {
  const frame::IRECT& r = GetRECT();
  const float top = r.T + kDialMargin;
  const float bottom = r.B - kDialMargin;
  const float s = std::min(kLargestDial, std::min(r.W(), bottom - top));
  const float w = std::max(1.0f, s);
  const float h = s > 0.0f ? s : 1.0f;
  return {r.MW() - w / 2.0f, r.MH() - h / 2.0f, r.MW() + w / 2.0f, r.MH() + h / 2.0f};
}

void Knob::paint(frame::IGraphics& g) {
  const frame::IRECT& r = GetRECT();
  g.DrawText(theme::sans(11.5f, theme::Medium, theme::inkDim, frame::EAlign::Center), label.c_str(),
             {r.L, r.T, r.R, r.T + kLabelHeight});
  theme::drawMono(g, theme::sans(11.5f, theme::SemiBold, theme::ink, frame::EAlign::Center), displayText(GetParam()),
                  {r.L, r.B - kLabelHeight, r.R, r.B}, nullptr);

  const frame::IRECT inner = dial().GetPadded(-kDialInset);
  const float r0 = std::min(inner.W(), inner.H()) / 2.0f;
  const float cx = inner.MW();
  const float cy = inner.MH();
  const auto v = static_cast<float>(GetValue());
  const float a = v * 2.0f * kArcDegrees - kArcDegrees;
  // A dial too small for its rings has none: a negative radius would draw them inside out.
  const float ring = r0 - kTrackInset;
  if (ring > 0.0f) {
    g.PathClear();
    g.PathArc(cx, cy, ring, -kArcDegrees, kArcDegrees);
    g.PathStroke(theme::line, 3.0f, roundStroke());
    const float s0 = bipolar ? 0.0f : -kArcDegrees;
    if (std::fabs(a - s0) > 0.5f) {
      g.PathClear();
      g.PathArc(cx, cy, ring, std::min(a, s0), std::max(a, s0));
      g.PathStroke(theme::accent, 3.0f, roundStroke());
    }
  }
  const float rc = r0 - kCapInset;
  if (rc > 0.0f) {
    g.FillCircle(GetMouseIsOver() ? theme::lift(theme::surfaceHi, kCapLift) : theme::surfaceHi, cx, cy, rc);
    const double theta = static_cast<double>(a) * kPi / 180.0;
    const auto sinA = static_cast<float>(std::sin(theta));
    const auto cosA = static_cast<float>(std::cos(theta));
    g.DrawLine(theme::ink, cx + sinA * rc * 0.35f, cy - cosA * rc * 0.35f, cx + sinA * rc * 0.85f,
               cy - cosA * rc * 0.85f, nullptr, 2.0f);
  }
}

void Knob::OnMouseDrag(float, float, float dX, float dY, const frame::IMouseMod& mod) {
  const float range = mod.S ? kFineTravelPixels : kTravelPixels;
  SetValue(std::clamp(GetValue() + static_cast<double>((dX - dY) / range), 0.0, 1.0));
  SetDirty(true);
}

}  // namespace suite
