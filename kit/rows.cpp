// The choice row, the segmented picker and the switch row.
#include "rows.h"

#include <algorithm>
#include <cmath>

#include "frame/display_text.h"
#include "theme.h"

namespace suite {
namespace {

constexpr float kLabelSize = 12.5f;
constexpr float kSegmentTextSize = 11.5f;
constexpr float kBoxLargest = 96.0f;
constexpr float kBoxRadius = 8.0f;
constexpr float kBoxLift = 0.0740741f;
constexpr float kThumbRadius = 6.0f;
constexpr float kThumbGlide = 0.3f;
constexpr float kThumbSnap = 0.005f;
constexpr int kThumbShadowAlpha = 56;
constexpr float kToggleWidth = 40.0f;
constexpr float kSwitchLift = 0.1071429f;
constexpr int kKnobShadowAlpha = 64;

int selectedOf(const frame::IParam* param) {
  if (param == nullptr) return 0;
  return static_cast<int>(param->Value()) - static_cast<int>(param->GetMin());
}

frame::IText labelText() { return theme::sans(kLabelSize, theme::Regular, theme::ink, frame::EAlign::Near); }

}  // namespace

// ---- ChoiceRow

ChoiceRow::ChoiceRow(int paramIdx, const char* labelText, const char* tooltip)
    : Control(paramIdx, tooltip), label(labelText) {}

frame::IRECT ChoiceRow::box() const {
  const frame::IRECT& r = GetRECT();
  const float k = std::min(std::floor(r.W() * 0.5f) + 20.0f, kBoxLargest);
  return {r.R - k, r.T, r.R, r.B};
}

void ChoiceRow::OnMouseDown(float x, float y, const frame::IMouseMod&) {
  const frame::IParam* param = GetParam();
  if (param == nullptr || !box().Contains(x, y)) return;
  menu.Clear();
  for (int i = 0; i < param->NDisplayTexts(); ++i) {
    frame::DisplayText text;
    param->GetDisplay(static_cast<double>(i), text);
    menu.AddItem(text.Get());
  }
  menu.CheckItemAlone(selectedOf(param));
  GetUI()->CreatePopupMenu(*this, menu, box(), GetParamIdx());
}

void ChoiceRow::OnPopupMenuSelection(frame::IPopupMenu* picked, int) {
  const frame::IParam* param = GetParam();
  if (picked == nullptr || param == nullptr || picked->GetChosenItemIdx() < 0) return;
  setParamAsGesture(normalisedOf(*param, picked->GetChosenItemIdx() + param->GetMin()));
}

void ChoiceRow::paint(frame::IGraphics& g) {
  const frame::IRECT& r = GetRECT();
  g.DrawText(labelText(), label.c_str(), r);
  const frame::IRECT b = box();
  g.FillRoundRect(GetMouseIsOver() ? theme::lift(theme::surfaceHi, kBoxLift) : theme::surfaceHi, b, kBoxRadius);
  g.DrawText(theme::sans(kLabelSize, theme::Medium, theme::ink, frame::EAlign::Near), displayText(GetParam()).c_str(),
             {b.L + 9.0f, b.T, b.R - 19.0f, b.B});
  const float x = b.R - 12.0f;
  const float y = (b.T + b.B) / 2.0f;
  g.PathClear();
  g.PathMoveTo(x - 3.0f, y - 1.8f);
  g.PathLineTo(x, y - 4.6f);
  g.PathLineTo(x + 3.0f, y - 1.8f);
  g.PathMoveTo(x - 3.0f, y + 1.8f);
  g.PathLineTo(x, y + 4.6f);
  g.PathLineTo(x + 3.0f, y + 1.8f);
  frame::IStrokeOptions options;
  options.mCapOption = frame::ELineCap::Round;
  options.mJoinOption = frame::ELineJoin::Round;
  g.PathStroke(theme::inkDim, 1.4f, options);
}

// ---- Segmented

Segmented::Segmented(int paramIdx, const char* tooltip, std::vector<std::string> texts, const char* labelText,
                     float labelSpace)
    : Control(paramIdx, tooltip),
      segments(std::move(texts)),
      label(labelText != nullptr ? labelText : ""),
      labelWidth(labelSpace) {
  handCursor = true;
}

frame::IRECT Segmented::track() const {
  const frame::IRECT& r = GetRECT();
  return {r.L + labelWidth, r.T, r.R, r.B};
}

int Segmented::selectedIndex() const { return selectedOf(GetParam()); }

bool Segmented::IsDirty() {
  const frame::IParam* param = GetParam();
  if (segments.empty() && param != nullptr) {
    for (int i = 0; i < param->NDisplayTexts(); ++i) segments.emplace_back(param->GetDisplayText(i));
  }
  const auto target = static_cast<float>(selectedIndex());
  if (pos < 0.0f || pos == target) {
    pos = target;
    return Control::IsDirty();
  }
  pos += (target - pos) * kThumbGlide;
  if (std::fabs(target - pos) < kThumbSnap) pos = target;
  return true;
}

void Segmented::OnMouseDown(float x, float, const frame::IMouseMod&) {
  const frame::IRECT t = track();
  if (!t.Contains(x, t.MH())) return;
  const int n = std::max(1, static_cast<int>(segments.size()));
  const int i = std::clamp(static_cast<int>((x - t.L) / (t.W() / static_cast<float>(n))), 0, n - 1);
  const frame::IParam* param = GetParam();
  if (i == selectedIndex() || param == nullptr) return;
  SetValue(normalisedOf(*param, i + param->GetMin()));
  SetDirty(true);
}

void Segmented::paint(frame::IGraphics& g) {
  if (!label.empty()) g.DrawText(labelText(), label.c_str(), GetRECT());
  const frame::IRECT t = track();
  g.FillRoundRect(theme::surfaceHi, t, kBoxRadius);
  const int n = std::max(1, static_cast<int>(segments.size()));
  const float w = (t.W() - 4.0f) / static_cast<float>(n);
  const float p = pos < 0.0f ? static_cast<float>(selectedIndex()) : pos;
  const frame::IRECT thumbRect(t.L + 2.0f + p * w, t.T + 2.0f, t.L + 2.0f + p * w + w, t.B - 2.0f);
  g.FillRoundRect(theme::black.WithAlpha(kThumbShadowAlpha), thumbRect.GetTranslated(0.0f, 1.0f), kThumbRadius);
  g.FillRoundRect(theme::thumb, thumbRect, kThumbRadius);
  const int selected = selectedIndex();
  for (size_t i = 0; i < segments.size(); ++i) {
    const bool chosen = static_cast<int>(i) == selected;
    const frame::IText text = chosen
                                  ? theme::sans(kSegmentTextSize, theme::SemiBold, theme::ink, frame::EAlign::Center)
                                  : theme::sans(kSegmentTextSize, theme::Medium, theme::inkDim, frame::EAlign::Center);
    const float left = t.L + 2.0f + static_cast<float>(i) * w;
    g.DrawText(text, segments[i].c_str(), {left, t.T, left + w, t.B});
  }
}

// ---- SwitchRow

SwitchRow::SwitchRow(int paramIdx, const char* labelText, const char* tooltip)
    : Control(paramIdx, tooltip), label(labelText) {}

frame::IRECT SwitchRow::toggleArea() const {
  const frame::IRECT& r = GetRECT();
  return {r.R - kToggleWidth, r.T, r.R, r.B};
}

void SwitchRow::OnMouseDown(float x, float y, const frame::IMouseMod&) {
  if (!toggleArea().Contains(x, y)) return;
  SetValue(GetValue() > 0.5 ? 0.0 : 1.0);
  SetDirty(true);
}

void SwitchRow::paint(frame::IGraphics& g) {
  const frame::IRECT& r = GetRECT();
  g.DrawText(labelText(), label.c_str(), r);
  const float cy = (r.T + r.B) / 2.0f;
  const frame::IRECT pill(r.R - 38.0f, cy - 10.5f, r.R - 2.0f, cy + 10.5f);
  const bool on = GetValue() > 0.5;
  frame::IColor colour = theme::line;
  if (on) {
    colour = theme::accent;
  } else if (GetMouseIsOver()) {
    colour = theme::lift(theme::line, kSwitchLift);
  }
  g.FillRoundRect(colour, pill, pill.H() / 2.0f);
  const float d = pill.H() - 4.0f;
  const float x = on ? pill.R - d - 2.0f : pill.L + 2.0f;
  g.FillEllipse(theme::black.WithAlpha(kKnobShadowAlpha), {x, pill.T + 3.0f, x + d, pill.T + 3.0f + d});
  g.FillEllipse(theme::white, {x, pill.T + 2.0f, x + d, pill.T + 2.0f + d});
}

}  // namespace suite
