// What the surface draws over the controls: pop-up menus, tooltips and the typed-value entry.
#include <strings.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <utility>

#include "frame/display_text.h"
#include "frame/igraphics.h"
#include "frame/plugin.h"

namespace frame {
namespace {

constexpr float kMenuItemHeight = 22.0f;
constexpr float kMenuPadding = 10.0f;
constexpr float kMenuCheckWidth = 18.0f;
constexpr float kOverlayTextSize = 12.5f;
constexpr float kEntryHeight = 20.0f;
constexpr float kEntryMinWidth = 64.0f;
constexpr float kTooltipOffsetX = 12.0f;
constexpr float kTooltipOffsetY = 18.0f;
const IColor kMenuBackground(250, 36, 36, 39);
const IColor kMenuHighlight(255, 70, 70, 76);
const IColor kOverlayInk(255, 236, 236, 240);
const IColor kOverlayEdge(255, 90, 90, 96);
const IColor kEntrySelection(255, 179, 212, 252);

std::string trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A display text of the parameter (any case), or a number in its units followed by at most a unit
// (letters, a percent sign): the plain value it stands for.
bool parseTyped(const IParam& param, const std::string& typed, double& value) {
  const std::string text = trimmed(typed);
  if (text.empty()) return false;
  for (int i = 0; i < param.NDisplayTexts(); ++i) {
    if (strcasecmp(text.c_str(), param.GetDisplayText(i)) == 0) {
      value = param.GetMin() + i;
      return true;
    }
  }
  char* end = nullptr;
  const double number = std::strtod(text.c_str(), &end);
  if (end == text.c_str()) return false;
  for (const char* c = end; *c != '\0'; ++c) {
    if (std::isdigit(static_cast<unsigned char>(*c)) != 0) return false;
  }
  value = number;
  return true;
}

}  // namespace

IText IGraphics::OverlayText(const IColor& color) const {
  IText text;
  text.mFont = mOverlayFont;
  text.mSize = kOverlayTextSize;
  text.mFGColor = color;
  text.mAlign = EAlign::Near;
  return text;
}

// ---- Pop-up menus.

void IGraphics::CreatePopupMenu(IControl& caller, IPopupMenu& menu, const IRECT& bounds, int valIdx) {
  if (IsPopupMenuOpen()) CloseMenu(false);
  menu.SetChosenItemIdx(-1);
  float width = bounds.W();
  const IText text = OverlayText(kOverlayInk);
  for (int i = 0; i < menu.NItems(); ++i) {
    IRECT ignored;
    width =
        std::max(width, MeasureText(text, menu.GetItem(i).text.c_str(), ignored) + kMenuCheckWidth + kMenuPadding * 2);
  }
  const float height = kMenuItemHeight * static_cast<float>(menu.NItems());
  const IRECT all = GetBounds();
  // Below the anchor when it fits, else above it, and always inside the window.
  float top = bounds.B + 2.0f;
  if (top + height > all.B) top = bounds.T - 2.0f - height;
  top = std::clamp(top, 0.0f, std::max(0.0f, all.B - height));
  const float left = std::clamp(bounds.L, 0.0f, std::max(0.0f, all.R - width));
  mMenu = {&caller, &menu, {left, top, left + width, top + height}, valIdx, -1};
  SetAreaDirty(mMenu.bounds);
}

int IGraphics::MenuItemAt(float x, float y) const {
  if (!mMenu.bounds.Contains(x, y)) return -1;
  const int item = static_cast<int>((y - mMenu.bounds.T) / kMenuItemHeight);
  return std::min(item, mMenu.menu->NItems() - 1);
}

bool IGraphics::MenuMouseDown(float x, float y) {
  const int item = MenuItemAt(x, y);
  if (item >= 0) mMenu.menu->SetChosenItemIdx(item);
  CloseMenu(item >= 0);
  return item >= 0;
}

void IGraphics::CloseMenu(bool picked) {
  const OpenMenu closing = mMenu;
  mMenu = {};
  SetAreaDirty(closing.bounds);
  closing.caller->OnPopupMenuSelection(picked ? closing.menu : nullptr, closing.valIdx);
}

void IGraphics::DrawMenu() {
  const IRECT& box = mMenu.bounds;
  FillRoundRect(kMenuBackground, box, 6.0f);
  const IText text = OverlayText(kOverlayInk);
  for (int i = 0; i < mMenu.menu->NItems(); ++i) {
    const float top = box.T + kMenuItemHeight * static_cast<float>(i);
    const IRECT row(box.L, top, box.R, top + kMenuItemHeight);
    if (i == mMenu.hovered) FillRoundRect(kMenuHighlight, row.GetPadded(-2.0f), 4.0f);
    if (mMenu.menu->GetItem(i).checked) {
      const float cx = box.L + kMenuPadding + 4.0f;
      const float cy = row.MH();
      PathClear();
      PathMoveTo(cx - 4.0f, cy);
      PathLineTo(cx - 1.0f, cy + 3.0f);
      PathLineTo(cx + 4.0f, cy - 3.5f);
      IStrokeOptions options;
      options.mCapOption = ELineCap::Round;
      options.mJoinOption = ELineJoin::Round;
      PathStroke(kOverlayInk, 1.6f, options);
    }
    DrawText(text, mMenu.menu->GetItem(i).text.c_str(),
             {box.L + kMenuPadding + kMenuCheckWidth, row.T, box.R - kMenuPadding, row.B});
  }
}

// ---- The typed-value entry.

void IGraphics::PromptUserInput(IControl& control) {
  const IParam* param = control.GetParam();
  if (param == nullptr) return;
  DisplayText shown;
  param->GetDisplay(shown);
  const IRECT& r = control.GetRECT();
  const float width = std::max(r.W(), kEntryMinWidth);
  const float left = std::clamp(r.MW() - width / 2.0f, 0.0f, std::max(0.0f, static_cast<float>(mWidth) - width));
  const float top = std::clamp(r.MH() - kEntryHeight / 2.0f, 0.0f, static_cast<float>(mHeight) - kEntryHeight);
  mEntry = {&control, {left, top, left + width, top + kEntryHeight}, shown.Get()};
  SetAreaDirty(mEntry.bounds);
}

// Enter sets the typed value through the parameter's constraints, as one gesture.
void IGraphics::CloseEntry(bool commit) {
  const OpenEntry closing = mEntry;
  mEntry = {};
  SetAreaDirty(closing.bounds);
  closing.control->SetDirty(false);
  const IParam* param = closing.control->GetParam();
  double value = 0.0;
  if (!commit || param == nullptr || !parseTyped(*param, closing.text, value)) return;
  const int index = closing.control->GetParamIdx();
  mDelegate.BeginInformHostOfParamChangeFromUI(index);
  closing.control->SetValue(param->ToNormalized(value));
  closing.control->SetDirty(true);
  mDelegate.EndInformHostOfParamChangeFromUI(index);
}

void IGraphics::DrawEntry() {
  const IText text = OverlayText(mEntry.control->GetParam() != nullptr ? DEFAULT_TEXTENTRY_FGCOLOR : kOverlayInk);
  FillRect(DEFAULT_TEXTENTRY_BGCOLOR, mEntry.bounds);
  DrawRect(kOverlayEdge, mEntry.bounds);
  const IRECT inner(mEntry.bounds.L + 4.0f, mEntry.bounds.T, mEntry.bounds.R - 4.0f, mEntry.bounds.B);
  IRECT ignored;
  const float textWidth = MeasureText(text, mEntry.text.c_str(), ignored);
  if (mEntry.selected && !mEntry.text.empty()) {
    FillRect(kEntrySelection,
             {inner.L - 1.0f, inner.T + 3.0f, std::min(inner.L + textWidth + 1.0f, inner.R), inner.B - 3.0f});
  }
  DrawText(text, mEntry.text.c_str(), inner);
  const float caret = std::min(inner.L + textWidth + 1.0f, inner.R);
  DrawLine(DEFAULT_TEXTENTRY_FGCOLOR, caret, inner.T + 4.0f, caret, inner.B - 4.0f);
}

bool IGraphics::OnKeyDown(const IKeyPress& key) {
  if (IsPopupMenuOpen()) {
    if (key.key == IKeyPress::Key::Escape) CloseMenu(false);
    return true;
  }
  if (!IsTextEntryOpen()) return false;
  const bool replacing = std::exchange(mEntry.selected, false);
  switch (key.key) {
    case IKeyPress::Key::Character:
      if (replacing) mEntry.text.clear();
      if (key.character >= ' ') mEntry.text.push_back(key.character);
      break;
    case IKeyPress::Key::Backspace:
      if (replacing) mEntry.text.clear();
      if (!mEntry.text.empty()) mEntry.text.pop_back();
      break;
    case IKeyPress::Key::Enter: CloseEntry(true); return true;
    case IKeyPress::Key::Escape: CloseEntry(false); return true;
    case IKeyPress::Key::Other: break;
  }
  SetAreaDirty(mEntry.bounds);
  return true;
}

// ---- Tooltips.

IRECT IGraphics::TooltipBounds() {
  if (mHovered == nullptr || mHovered->GetTooltip() == nullptr) return {};
  IRECT ignored;
  const float width = MeasureText(OverlayText(kOverlayInk), mHovered->GetTooltip(), ignored) + 12.0f;
  const float height = 20.0f;
  const float left = std::clamp(mPointerX + kTooltipOffsetX, 0.0f, std::max(0.0f, static_cast<float>(mWidth) - width));
  float top = mPointerY + kTooltipOffsetY;
  if (top + height > static_cast<float>(mHeight)) top = mPointerY - kTooltipOffsetY - height;
  return {left, top, left + width, top + height};
}

void IGraphics::DrawTooltip() {
  const IRECT box = TooltipBounds();
  if (box.Empty()) return;
  FillRoundRect(kMenuBackground, box, 4.0f);
  DrawText(OverlayText(kOverlayInk), mHovered->GetTooltip(), {box.L + 6.0f, box.T, box.R - 6.0f, box.B});
}

void IGraphics::DrawOverlays(const IRECT& area) {
  if (mTooltipShown && TooltipBounds().Intersects(area)) DrawTooltip();
  if (IsTextEntryOpen() && mEntry.bounds.Intersects(area)) DrawEntry();
  if (IsPopupMenuOpen() && mMenu.bounds.Intersects(area)) DrawMenu();
}

}  // namespace frame
