// suite::Control: clip, wheel, hand cursor, and the gesture a widget makes from code.
#include "suite_control.h"

#include <algorithm>

#include "frame/display_text.h"
#include "frame/plugin.h"

namespace suite {

Control::Control(int paramIdx, const char* tooltip) : frame::IControl(frame::IRECT(), paramIdx) { SetTooltip(tooltip); }

Control::~Control() { wheel = nullptr; }

void Control::OnMouseWheel(float, float, const frame::IMouseMod&, float d) {
  if (wheel) wheel(d);
}

void Control::OnMouseOver(float x, float y, const frame::IMouseMod& mod) {
  if (handCursor && !GetMouseIsOver()) GetUI()->SetMouseCursor(frame::ECursor::HAND);
  frame::IControl::OnMouseOver(x, y, mod);
}

void Control::OnMouseOut() {
  if (handCursor && GetMouseIsOver()) GetUI()->SetMouseCursor(frame::ECursor::ARROW);
  frame::IControl::OnMouseOut();
}

void Control::Draw(frame::IGraphics& g) {
  if (!clip.Empty()) g.PathClipRegion(clip);
  paint(g);
  if (!clip.Empty()) g.PathClipRegion();
}

bool Control::IsHit(float x, float y) const {
  return GetTargetRECT().Contains(x, y) && (clip.Empty() || clip.Contains(x, y));
}

void Control::setParamAsGesture(double value) {
  if (GetParamIdx() < 0 || GetUI() == nullptr) return;
  frame::Plugin& plugin = GetUI()->GetDelegate();
  plugin.BeginInformHostOfParamChangeFromUI(GetParamIdx());
  SetValue(value);
  SetDirty(true);
  plugin.EndInformHostOfParamChangeFromUI(GetParamIdx());
}

std::string displayText(const frame::IParam* param) {
  if (param == nullptr) return {};
  frame::DisplayText text;
  param->GetDisplay(text);
  return text.Get();
}

double normalisedOf(const frame::IParam& param, double value) {
  return std::clamp(param.ToNormalized(value), 0.0, 1.0);
}

}  // namespace suite
