// IControl: one element of the drawing surface's control tree, optionally bound to a parameter.
// Main thread only. The surface owns its controls and destroys them with itself.
#pragma once

#include <functional>
#include <string>

#include "frame/graphics_types.h"
#include "frame/iparam.h"
#include "frame/ipopup_menu.h"

namespace frame {

class IGraphics;
class IControl;

constexpr int kNoParameter = -1;
constexpr int kNoTag = -1;

using IActionFunction = std::function<void(IControl*)>;

class IControl {
 public:
  explicit IControl(const IRECT& bounds, int paramIdx = kNoParameter, IActionFunction action = nullptr);
  virtual ~IControl() = default;
  IControl(const IControl&) = delete;
  IControl& operator=(const IControl&) = delete;

  virtual void Draw(IGraphics& g) = 0;

  // A right-button press on a bound control opens the typed-value entry.
  virtual void OnMouseDown(float x, float y, const IMouseMod& mod);
  virtual void OnMouseUp(float, float, const IMouseMod&) {}
  virtual void OnMouseDrag(float, float, float, float, const IMouseMod&) {}
  // Sets the bound parameter to its default.
  virtual void OnMouseDblClick(float x, float y, const IMouseMod& mod);
  virtual void OnMouseWheel(float, float, const IMouseMod&, float) {}
  virtual void OnMouseOver(float x, float y, const IMouseMod& mod);
  virtual void OnMouseOut();
  virtual bool IsHit(float x, float y) const { return mTargetRECT.Contains(x, y); }
  // Where the control may draw: its rectangle, unless it draws beyond it.
  virtual IRECT GetDrawnArea() const { return mRECT; }
  // Asked once every frame; true redraws the control. Controls that animate step here.
  virtual bool IsDirty() { return mDirty; }
  virtual void OnPopupMenuSelection(IPopupMenu*, int) {}
  // The surface's scale or size changed.
  virtual void OnRescale() {}

  // Redraws; with triggerAction the value also goes to the plug-in as a change from the editor.
  void SetDirty(bool triggerAction = true);
  void SetClean() { mDirty = false; }

  const IRECT& GetRECT() const { return mRECT; }
  const IRECT& GetTargetRECT() const { return mTargetRECT; }
  void SetTargetAndDrawRECTs(const IRECT& r) { mRECT = mTargetRECT = r; }

  int GetParamIdx() const { return mParamIdx; }
  const IParam* GetParam() const;
  double GetValue() const { return mValue; }
  void SetValue(double normalized);

  const char* GetTooltip() const { return mTooltip.empty() ? nullptr : mTooltip.c_str(); }
  void SetTooltip(const char* text) { mTooltip = text != nullptr ? text : ""; }
  bool IsHidden() const { return mHidden; }
  void Hide(bool hide);
  void SetIgnoreMouse(bool ignore) { mIgnoreMouse = ignore; }
  bool GetMouseIsOver() const { return mMouseIsOver; }

  int GetTag() const { return mTag; }
  const std::string& GetGroup() const { return mGroup; }
  IGraphics* GetUI() const { return mGraphics; }

 private:
  friend class IGraphics;  // attaches, tags and hovers

  IRECT mRECT;
  IRECT mTargetRECT;
  int mParamIdx;
  IActionFunction mAction;
  double mValue = 0.0;
  std::string mTooltip;
  bool mDirty = true;
  bool mHidden = false;
  bool mIgnoreMouse = false;
  bool mMouseIsOver = false;
  int mTag = kNoTag;
  std::string mGroup;
  IGraphics* mGraphics = nullptr;
};

// The window's resize corner: it keeps itself in the bottom-right corner at a fixed size in window
// pixels, shows the diagonal cursor while hovered, and a drag rescales (or resizes) the editor.
class ICornerResizerControl : public IControl {
 public:
  explicit ICornerResizerControl(float size) : IControl(IRECT()), mSize(size) {}

  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  void OnMouseDrag(float x, float y, float dX, float dY, const IMouseMod& mod) override;
  void OnMouseDblClick(float x, float y, const IMouseMod& mod) override;
  void OnMouseOver(float x, float y, const IMouseMod& mod) override;
  void OnMouseOut() override;
  void OnRescale() override;
  // The grip's dots reach further from the corner than its rectangle at large scales.
  IRECT GetDrawnArea() const override;

 private:
  float mSize;
  float mStartScale = 1.0f;
  float mStartX = 0.0f;  // the press in window pixels
  float mStartY = 0.0f;
  ECursor mPreviousCursor = ECursor::ARROW;
};

}  // namespace frame
