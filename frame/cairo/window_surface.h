// WindowSurface: what a window needs of the editor's surface. Events arrive in window pixels and
// reach the controls in layout units; each call, the frame step included, holds the lock of the
// plug-in the surface belongs to. The window shows the pixels a frame changed.
#pragma once

#include <mutex>

#include "cairo_graphics.h"
#include "frame/main_lock.h"

namespace frame {

class WindowSurface {
 public:
  // `lock` is the plug-in's main lock. An editor in a binary of its own holds its instance's
  // lock, not the one of its own copy of the frame.
  WindowSurface(CairoGraphics& graphics, std::recursive_mutex& lock) : mGraphics(graphics), mLock(lock) {}
  explicit WindowSurface(CairoGraphics& graphics) : WindowSurface(graphics, MainLock()) {}

  std::recursive_mutex& Lock() const { return mLock; }
  // Under the lock: a restore on another thread may resize the surface.
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
  // The window will never see the held button come up (its grab was taken, it was hidden or
  // lost the focus): the control holding the mouse is released where the pointer was last.
  void CancelPress();
  bool Pressed() const { return mPressed; }
  // Someone else made the window this many pixels: the scale that fits the layout in it.
  void FitTo(int pixelWidth, int pixelHeight);

  // One frame of the editor; the window pixels it changed, empty when none.
  IRECT Frame() { return Frames(1); }
  // `steps` frames of animation and one drawing of all they changed: a window called less often
  // than its frame rate still animates at that rate.
  IRECT Frames(int steps);
  const unsigned char* Pixels(int& stride) { return mGraphics.Pixels(stride); }

 private:
  float Units(float pixels) const { return pixels / mGraphics.GetDrawScale(); }
  // A button went down at (px, py): drags start from here.
  void Down(float px, float py);

  CairoGraphics& mGraphics;
  std::recursive_mutex& mLock;
  bool mPressed = false;
  float mLastX = 0.0f;  // layout units
  float mLastY = 0.0f;
};

}  // namespace frame
