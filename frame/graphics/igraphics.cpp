// IGraphics: the control tree, the mouse and keys, the scale and the frame loop.
#include "frame/igraphics.h"

#include <algorithm>
#include <cstring>

#include "frame/plugin.h"

namespace frame {

IGraphics::IGraphics(Plugin& delegate, int width, int height, float scale)
    : mDelegate(delegate), mWidth(width), mHeight(height), mScale(scale) {}

// Controls go first, while the surface they point at still exists.
IGraphics::~IGraphics() { mControls.clear(); }

void IGraphics::SetScaleConstraints(float lo, float hi) {
  mMinScale = std::min(lo, hi);
  mMaxScale = std::max(lo, hi);
}

void IGraphics::Resize(int width, int height, float scale) {
  const float held = std::clamp(scale, mMinScale, mMaxScale);
  if (width == mWidth && height == mHeight && held == mScale) return;
  mWidth = width;
  mHeight = height;
  mScale = held;
  OnSizeChanged();
  for (auto& control : mControls) control->OnRescale();
  SetAllControlsDirty();
  SetAreaDirty(GetBounds());  // a new image: the panel between the controls is drawn afresh too
  if (mSizeListener) mSizeListener();
}

IControl* IGraphics::AttachControl(IControl* control, int tag, const char* group) {
  control->mGraphics = this;
  control->mTag = tag;
  control->mGroup = group != nullptr ? group : "";
  mControls.emplace_back(control);
  const IParam* param = control->GetParam();
  if (param != nullptr) control->SetValue(param->GetNormalized());
  control->OnRescale();
  return control;
}

void IGraphics::AttachCornerResizer(ICornerResizerControl* control, EUIResizerMode, bool) { AttachControl(control); }

IControl* IGraphics::GetControlWithTag(int tag) const {
  if (tag == kNoTag) return nullptr;
  for (const auto& control : mControls) {
    if (control->mTag == tag) return control.get();
  }
  return nullptr;
}

void IGraphics::ForControlInGroup(const char* group, const std::function<void(IControl&)>& func) const {
  for (const auto& control : mControls) {
    if (control->mGroup == group) func(*control);
  }
}

void IGraphics::SetAllControlsDirty() {
  for (auto& control : mControls) control->SetDirty(false);
  SetAreaDirty(GetBounds());
}

void IGraphics::OnControlHidden(IControl& control) {
  SetAreaDirty(control.GetDrawnArea());
  if (mHovered != &control) return;
  mHovered = nullptr;
  control.OnMouseOut();
}

void IGraphics::SetControlValueFromDelegate(int paramIdx, double normalized) {
  for (auto& control : mControls) {
    if (control->mParamIdx != paramIdx || paramIdx < 0) continue;
    control->SetValue(normalized);
    control->SetDirty(false);
  }
}

// ---- The mouse.

IControl* IGraphics::ControlAt(float x, float y) const {
  for (auto it = mControls.rbegin(); it != mControls.rend(); ++it) {
    IControl& control = **it;
    if (!control.mHidden && !control.mIgnoreMouse && control.IsHit(x, y)) return &control;
  }
  return nullptr;
}

// The old control hears OnMouseOut before the new one hears OnMouseOver.
void IGraphics::Hover(IControl* control, float x, float y, const IMouseMod& mod) {
  if (control != mHovered) {
    if (mHovered != nullptr) mHovered->OnMouseOut();
    mHovered = control;
    mRestingFrames = 0;
    if (mTooltipShown) SetAreaDirty(TooltipBounds());
    mTooltipShown = false;
  }
  if (mHovered != nullptr) mHovered->OnMouseOver(x, y, mod);
}

// A press whose release never came still ends its gesture before the next one begins.
void IGraphics::BeginGesture(IControl& control) {
  EndGesture();
  if (control.GetParam() == nullptr) return;
  mGestureParam = control.mParamIdx;
  mDelegate.BeginInformHostOfParamChangeFromUI(mGestureParam);
}

void IGraphics::EndGesture() {
  if (mGestureParam == kNoParameter) return;
  mDelegate.EndInformHostOfParamChangeFromUI(mGestureParam);
  mGestureParam = kNoParameter;
}

void IGraphics::OnMouseDown(float x, float y, const IMouseMod& mod) {
  mPointerX = x;
  mPointerY = y;
  if (IsPopupMenuOpen()) {
    MenuMouseDown(x, y);
    return;
  }
  if (IsTextEntryOpen()) {
    if (mEntry.bounds.Contains(x, y)) return;
    CloseEntry(false);
  }
  IControl* control = ControlAt(x, y);
  if (control == nullptr) return;
  mCaptured = control;
  BeginGesture(*control);
  control->OnMouseDown(x, y, mod);
}

void IGraphics::OnMouseDblClick(float x, float y, const IMouseMod& mod) {
  if (IsPopupMenuOpen() || IsTextEntryOpen()) {
    OnMouseDown(x, y, mod);
    return;
  }
  IControl* control = ControlAt(x, y);
  if (control == nullptr) return;
  mCaptured = control;
  BeginGesture(*control);
  control->OnMouseDblClick(x, y, mod);
}

void IGraphics::OnMouseUp(float x, float y, const IMouseMod& mod) {
  IControl* control = mCaptured;
  mCaptured = nullptr;
  if (control != nullptr) control->OnMouseUp(x, y, mod);
  EndGesture();
  Hover(ControlAt(x, y), x, y, mod);
}

void IGraphics::OnMouseDrag(float x, float y, float dX, float dY, const IMouseMod& mod) {
  mPointerX = x;
  mPointerY = y;
  if (mCaptured != nullptr) mCaptured->OnMouseDrag(x, y, dX, dY, mod);
}

void IGraphics::OnMouseOver(float x, float y, const IMouseMod& mod) {
  mPointerX = x;
  mPointerY = y;
  if (IsPopupMenuOpen()) {
    const int item = MenuItemAt(x, y);
    if (item != mMenu.hovered) SetAreaDirty(mMenu.bounds);
    mMenu.hovered = item;
    return;
  }
  if (mCaptured != nullptr) return;
  if (mTooltipShown) SetAreaDirty(TooltipBounds());
  mTooltipShown = false;
  mRestingFrames = 0;
  Hover(ControlAt(x, y), x, y, mod);
}

void IGraphics::OnMouseOut() {
  if (mCaptured != nullptr) return;
  Hover(nullptr, 0.0f, 0.0f, {});
}

void IGraphics::OnMouseWheel(float x, float y, const IMouseMod& mod, float delta) {
  if (IsPopupMenuOpen() || IsTextEntryOpen()) return;
  IControl* control = ControlAt(x, y);
  if (control != nullptr) control->OnMouseWheel(x, y, mod, delta);
}

// ---- The frame loop.

bool IGraphics::IsDirty(IRECT& area) {
  area = mPendingArea;
  mPendingArea = {};
  for (auto& control : mControls) {
    const bool dirty = control->IsDirty();  // every control asked once: some animate here
    if (dirty && !control->mHidden) area = area.Union(control->GetDrawnArea());
    if (dirty && control->mHidden) control->SetClean();
  }
  if (mTooltipsEnabled && mHovered != nullptr && mHovered->GetTooltip() != nullptr && mCaptured == nullptr &&
      !mTooltipShown && ++mRestingFrames >= 30) {
    mTooltipShown = true;
    area = area.Union(TooltipBounds());
  }
  area = area.Intersect(GetBounds());
  return !area.Empty();
}

void IGraphics::Draw(const IRECT& area) {
  mDrawArea = area;
  BeginFrame(area);
  SetClip(area);
  FillRect(mBackground, area);
  for (auto& control : mControls) {
    if (control->mHidden) continue;
    if (control->GetDrawnArea().Intersects(area)) {
      SetClip(area);
      control->Draw(*this);
      ControlDrawn();
    }
    control->SetClean();
  }
  SetClip(area);
  DrawOverlays(area);
  EndFrame();
}

IRECT IGraphics::RunFrame() {
  IRECT area;
  if (!IsDirty(area)) return {};
  Draw(area);
  return area;
}

}  // namespace frame
