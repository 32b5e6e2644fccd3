// IControl: values that follow the parameter, dirtiness, hover, and the default mouse behaviour.
#include "frame/icontrol.h"

#include <algorithm>

#include "frame/igraphics.h"
#include "frame/plugin.h"

namespace frame {

IControl::IControl(const IRECT& bounds, int paramIdx, IActionFunction action)
    : mRECT(bounds), mTargetRECT(bounds), mParamIdx(paramIdx), mAction(std::move(action)) {}

const IParam* IControl::GetParam() const {
  if (mGraphics == nullptr || mParamIdx < 0 || mParamIdx >= mGraphics->GetDelegate().NParams()) return nullptr;
  return mGraphics->GetDelegate().GetParam(mParamIdx);
}

void IControl::SetValue(double normalized) { mValue = std::clamp(normalized, 0.0, 1.0); }

void IControl::SetDirty(bool triggerAction) {
  mDirty = true;
  if (!triggerAction) return;
  if (GetParam() != nullptr) mGraphics->GetDelegate().SendParameterValueFromUI(mParamIdx, mValue);
  if (mAction) mAction(this);
}

void IControl::Hide(bool hide) {
  if (hide == mHidden) return;
  mHidden = hide;
  mDirty = true;
  if (mGraphics != nullptr && hide) mGraphics->OnControlHidden(*this);
  if (mGraphics != nullptr && !hide) mGraphics->SetAreaDirty(mRECT);
}

void IControl::OnMouseDown(float, float, const IMouseMod& mod) {
  if (mod.R && GetParam() != nullptr) mGraphics->PromptUserInput(*this);
}

void IControl::OnMouseDblClick(float, float, const IMouseMod&) {
  const IParam* param = GetParam();
  if (param == nullptr) return;
  SetValue(param->ToNormalized(param->GetDefault()));
  SetDirty(true);
}

void IControl::OnMouseOver(float, float, const IMouseMod&) {
  mMouseIsOver = true;
  SetDirty(false);
}

void IControl::OnMouseOut() {
  mMouseIsOver = false;
  SetDirty(false);
}

// The corner keeps a constant size in window pixels, so its side in layout units shrinks as the
// scale grows.
void ICornerResizerControl::OnRescale() {
  IGraphics* g = GetUI();
  if (g == nullptr) return;
  const float side = mSize / g->GetDrawScale();
  const IRECT all = g->GetBounds();
  SetTargetAndDrawRECTs({all.R - side, all.B - side, all.R, all.B});
  SetDirty(false);
}

IRECT ICornerResizerControl::GetDrawnArea() const {
  const IRECT& r = GetRECT();
  return r.Union({r.R - mSize, r.B - mSize, r.R, r.B});
}

void ICornerResizerControl::OnMouseDown(float x, float y, const IMouseMod&) {
  IGraphics* g = GetUI();
  mStartScale = g->GetDrawScale();
  mStartX = x * mStartScale;
  mStartY = y * mStartScale;
}

// The window grows by the pointer's travel in window pixels; the scale follows the larger ratio.
void ICornerResizerControl::OnMouseDrag(float x, float y, float, float, const IMouseMod&) {
  IGraphics* g = GetUI();
  const float now = g->GetDrawScale();
  const float width = static_cast<float>(g->Width()) * mStartScale + (x * now - mStartX);
  const float height = static_cast<float>(g->Height()) * mStartScale + (y * now - mStartY);
  const float scale = std::max(width / static_cast<float>(g->Width()), height / static_cast<float>(g->Height()));
  g->SetScale(scale);
}

void ICornerResizerControl::OnMouseDblClick(float, float, const IMouseMod&) { GetUI()->SetScale(1.0f); }

void ICornerResizerControl::OnMouseOver(float x, float y, const IMouseMod& mod) {
  if (!GetMouseIsOver()) {
    mPreviousCursor = GetUI()->GetMouseCursor();
    GetUI()->SetMouseCursor(ECursor::SIZENWSE);
  }
  IControl::OnMouseOver(x, y, mod);
}

void ICornerResizerControl::OnMouseOut() {
  if (GetMouseIsOver()) GetUI()->SetMouseCursor(mPreviousCursor);
  IControl::OnMouseOut();
}

}  // namespace frame
