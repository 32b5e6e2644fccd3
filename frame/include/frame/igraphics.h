// IGraphics: the editor's drawing surface. It owns the control tree, routes the mouse and keys to
// the controls (in layout units), runs the frame loop that redraws what is dirty, and draws its own
// pop-up menus, tooltips and typed-value entry over the controls. The drawing primitives belong to
// a renderer that derives from it. Main thread only.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "frame/graphics_types.h"
#include "frame/icontrol.h"
#include "frame/ipopup_menu.h"

namespace frame {

class Plugin;

// An off-screen picture a control keeps between frames; a change of scale invalidates it.
class ILayer {
 public:
  ILayer(const IRECT& bounds, float scale) : mBounds(bounds), mScale(scale) {}
  virtual ~ILayer() = default;
  const IRECT& Bounds() const { return mBounds; }
  float Scale() const { return mScale; }

 private:
  IRECT mBounds;
  float mScale;
};
using ILayerPtr = std::unique_ptr<ILayer>;

class IGraphics {
 public:
  IGraphics(Plugin& delegate, int width, int height, float scale);
  virtual ~IGraphics();
  IGraphics(const IGraphics&) = delete;
  IGraphics& operator=(const IGraphics&) = delete;

  Plugin& GetDelegate() const { return mDelegate; }
  int Width() const { return mWidth; }  // layout units
  int Height() const { return mHeight; }
  IRECT GetBounds() const { return {0.0f, 0.0f, static_cast<float>(mWidth), static_cast<float>(mHeight)}; }
  float GetDrawScale() const { return mScale; }
  // Changes the scale within the constraints; every control is told and redrawn.
  void SetScale(float scale) { Resize(mWidth, mHeight, scale); }
  // Changes the size in layout units and the scale (held within the constraints) together.
  void Resize(int width, int height, float scale);
  void SetScaleConstraints(float lo, float hi);
  float MinScale() const { return mMinScale; }
  float MaxScale() const { return mMaxScale; }
  // Called after every change of size or scale, for the window to follow.
  std::function<void()> mSizeListener;

  // ---- The control tree.
  IControl* AttachControl(IControl* control, int tag = kNoTag, const char* group = "");
  void AttachPanelBackground(const IPattern& pattern) { mBackground = pattern.mColor; }
  void AttachCornerResizer(ICornerResizerControl* control, EUIResizerMode mode, bool layoutOnResize = false);
  IControl* GetControlWithTag(int tag) const;
  void ForControlInGroup(const char* group, const std::function<void(IControl&)>& func) const;
  int NControls() const { return static_cast<int>(mControls.size()); }
  IControl* GetControl(int index) const { return mControls[static_cast<size_t>(index)].get(); }
  void SetAllControlsDirty();
  // An area to repaint on the next frame: where a hidden control or a closed pop-up was.
  void SetAreaDirty(const IRECT& area) { mPendingArea = mPendingArea.Union(area); }
  // A control was hidden: it is no longer hovered (its cursor goes with it) and its area is redrawn.
  void OnControlHidden(IControl& control);
  // The plug-in's parameter changed (host, preset, restore or editor): bound controls follow.
  void SetControlValueFromDelegate(int paramIdx, double normalized);

  void EnableTooltips(bool enable) { mTooltipsEnabled = enable; }
  void SetMouseCursor(ECursor cursor) { mCursor = cursor; }
  ECursor GetMouseCursor() const { return mCursor; }

  // Shows `menu` anchored on `bounds`; a pick or a dismissal calls caller.OnPopupMenuSelection.
  void CreatePopupMenu(IControl& caller, IPopupMenu& menu, const IRECT& bounds, int valIdx = 0);
  bool IsPopupMenuOpen() const { return mMenu.menu != nullptr; }
  // The typed-value entry for a bound control's parameter.
  void PromptUserInput(IControl& control);
  bool IsTextEntryOpen() const { return mEntry.control != nullptr; }

  // ---- Input, in layout units (a window divides its pixels by the scale).
  void OnMouseDown(float x, float y, const IMouseMod& mod);
  void OnMouseUp(float x, float y, const IMouseMod& mod);
  void OnMouseDrag(float x, float y, float dX, float dY, const IMouseMod& mod);
  // The pointer moved with no button held.
  void OnMouseOver(float x, float y, const IMouseMod& mod);
  // The pointer left the window.
  void OnMouseOut();
  // Stands for the second press of a double-click.
  void OnMouseDblClick(float x, float y, const IMouseMod& mod);
  void OnMouseWheel(float x, float y, const IMouseMod& mod, float delta);
  // True when the surface used the key.
  bool OnKeyDown(const IKeyPress& key);

  // ---- The frame loop.
  // Asks every control's IsDirty exactly once; true, with the area to repaint, when any is.
  bool IsDirty(IRECT& area);
  // Repaints `area`: the panel background, every visible control meeting it in attach order, then
  // the surface's own pop-ups.
  void Draw(const IRECT& area);
  // One frame: IsDirty, then Draw. Returns the area drawn, empty when nothing was.
  IRECT RunFrame();

  // ---- Drawing, from a control's Draw. Angles in degrees, 0 pointing up, growing clockwise.
  virtual void PathClear() = 0;
  virtual void PathMoveTo(float x, float y) = 0;
  virtual void PathLineTo(float x, float y) = 0;
  virtual void PathArc(float cx, float cy, float r, float a1, float a2, EWinding winding = EWinding::CW) = 0;
  virtual void PathEllipse(const IRECT& r) = 0;
  virtual void PathClose() = 0;
  virtual void PathStroke(const IPattern& pattern, float thickness, const IStrokeOptions& options = {},
                          const IBlend* blend = nullptr) = 0;
  virtual void PathFill(const IPattern& pattern, const IBlend* blend = nullptr) = 0;
  // Limits drawing to `r` within the area being redrawn; an empty rectangle lifts the limit.
  void PathClipRegion(const IRECT& r = IRECT());

  void PathRect(const IRECT& r);
  void PathRoundRect(const IRECT& r, float radius);
  void PathCircle(float cx, float cy, float r) { PathArc(cx, cy, r, 0.0f, 360.0f); }
  void FillRect(const IColor& color, const IRECT& r, const IBlend* blend = nullptr);
  void FillRoundRect(const IColor& color, const IRECT& r, float radius, const IBlend* blend = nullptr);
  void FillCircle(const IColor& color, float cx, float cy, float r, const IBlend* blend = nullptr);
  void FillEllipse(const IColor& color, const IRECT& r, const IBlend* blend = nullptr);
  void FillTriangle(const IColor& color, float x1, float y1, float x2, float y2, float x3, float y3,
                    const IBlend* blend = nullptr);
  void DrawLine(const IColor& color, float x1, float y1, float x2, float y2, const IBlend* blend = nullptr,
                float thickness = 1.0f);
  void DrawCircle(const IColor& color, float cx, float cy, float r, const IBlend* blend = nullptr,
                  float thickness = 1.0f);
  void DrawRect(const IColor& color, const IRECT& r, const IBlend* blend = nullptr, float thickness = 1.0f);

  // Text: one line; bytes that are not UTF-8 are replaced before they reach the font renderer.
  // Vertical Middle centres on the rectangle's centre, also for a zero-height rectangle.
  void DrawText(const IText& text, const char* str, const IRECT& bounds, const IBlend* blend = nullptr);
  // The advance width of `str`; `bounds` becomes its box as DrawText would place it in `bounds`.
  float MeasureText(const IText& text, const char* str, IRECT& bounds);
  // Registers a font file under `id`; the file is looked for in the resource folders. The first
  // font loaded also draws the surface's own menus, tooltips and entry.
  bool LoadFont(const char* id, const char* fileName);

  // Off-screen layers: drawing between StartLayer and EndLayer goes into the layer.
  void StartLayer(IControl* control, const IRECT& r, bool cacheable = false);
  ILayerPtr EndLayer();
  bool CheckLayer(const ILayerPtr& layer) const { return layer != nullptr && layer->Scale() == mScale; }
  void DrawLayer(const ILayerPtr& layer, const IBlend* blend = nullptr);

 protected:
  // What a renderer provides besides the path primitives. Text reaching these is valid UTF-8.
  virtual void SetClip(const IRECT& r) = 0;
  virtual bool DoLoadFont(const char* id, const char* fileName) = 0;
  virtual void DoDrawText(const IText& text, const char* utf8, const IRECT& bounds, const IBlend* blend) = 0;
  virtual float DoMeasureText(const IText& text, const char* utf8, IRECT& bounds) = 0;
  virtual void BeginFrame(const IRECT& area) = 0;
  virtual void EndFrame() = 0;
  // After each control has drawn: a renderer left unable to draw by it recovers here.
  virtual void ControlDrawn() {}
  virtual void PushLayer(const IRECT& r) = 0;
  virtual ILayerPtr PopLayer(const IRECT& r) = 0;
  virtual void CompositeLayer(const ILayer& layer, const IBlend* blend) = 0;
  // The size or the scale changed: the renderer resizes its pixels.
  virtual void OnSizeChanged() {}

 private:
  struct OpenMenu {
    IControl* caller = nullptr;
    IPopupMenu* menu = nullptr;
    IRECT bounds;  // where the items are drawn
    int valIdx = 0;
    int hovered = -1;
  };
  struct OpenEntry {
    IControl* control = nullptr;
    IRECT bounds;
    std::string text;
    // The value as shown starts selected: the first key typed replaces it, as in any text field.
    bool selected = true;
  };

  IControl* ControlAt(float x, float y) const;
  IText OverlayText(const IColor& color) const;
  void Hover(IControl* control, float x, float y, const IMouseMod& mod);
  bool MenuMouseDown(float x, float y);
  int MenuItemAt(float x, float y) const;
  void CloseMenu(bool picked);
  void CloseEntry(bool commit);
  void DrawOverlays(const IRECT& area);
  void DrawMenu();
  void DrawEntry();
  void DrawTooltip();
  IRECT TooltipBounds();
  void BeginGesture(IControl& control);
  void EndGesture();

  Plugin& mDelegate;
  int mWidth;
  int mHeight;
  float mScale;
  float mMinScale = 0.75f;
  float mMaxScale = 2.0f;
  std::vector<std::unique_ptr<IControl>> mControls;
  IColor mBackground = COLOR_BLACK;
  IRECT mPendingArea;
  IRECT mDrawArea;  // the area the current Draw repaints

  IControl* mHovered = nullptr;
  IControl* mCaptured = nullptr;
  int mGestureParam = kNoParameter;  // the parameter of the press's host gesture
  ECursor mCursor = ECursor::ARROW;

  bool mTooltipsEnabled = false;
  int mRestingFrames = 0;  // frames the pointer has rested on the hovered control
  bool mTooltipShown = false;
  float mPointerX = 0.0f;
  float mPointerY = 0.0f;

  std::string mOverlayFont;
  OpenMenu mMenu;
  OpenEntry mEntry;
  std::vector<IRECT> mLayers;  // the rectangles of the layers being drawn, innermost last
};

// Text made safe for a font renderer: bytes outside well-formed UTF-8 become U+FFFD.
std::string ValidUtf8(const char* text);

// The frame's renderer: a surface of width × height layout units at `scale`, drawn into pixels
// (defined by the renderer's library, which the final program links).
IGraphics* MakeGraphics(Plugin& delegate, int width, int height, float scale);

}  // namespace frame
