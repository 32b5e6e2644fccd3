// WindowSurface: what a window needs of the editor's surface. Events arrive in window pixels and
// reach the controls in layout units; each call, the frame step included, holds the main lock.
// The window shows the pixels a frame changed.
#pragma once

#include "cairo_graphics.h"

namespace frame {

class WindowSurface {
 public:
  explicit WindowSurface(CairoGraphics& graphics) : mGraphics(graphics) {}

  int PixelWidth() const { return mGraphics.PixelWidth(); }
  int PixelHeight() const { return mGraphics.PixelHeight(); }
  float Scale() const { return mGraphics.GetDrawScale(); }
  ECursor Cursor() const { return mGraphics.GetMouseCursor(); }

  void Press(float px, float py, const IMouseMod& mod);
  // The second press of a double-click, instead of Press.
  void DoubleClick(float px, float py, const IMouseMod& mod);
  void Release(float px, float py, const IMouseMod& mod);
  // A drag while a button is held, a hover otherwise.
  void Move(float px, float py, const IMouseMod& mod);
  void Wheel(float px, float py, const IMouseMod& mod, float delta);
  void Leave();
  bool Key(const IKeyPress& key);

  // One frame of the editor; the window pixels it changed, empty when none.
  IRECT Frame();
  const unsigned char* Pixels(int& stride) { return mGraphics.Pixels(stride); }

 private:
  float Units(float pixels) const { return pixels / mGraphics.GetDrawScale(); }
  // A button went down at (px, py): drags start from here.
  void Down(float px, float py);

  CairoGraphics& mGraphics;
  bool mPressed = false;
  float mLastX = 0.0f;  // layout units
  float mLastY = 0.0f;
};

}  // namespace frame
