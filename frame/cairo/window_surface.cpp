// WindowSurface: window pixels to layout units, under the main lock.
#include "window_surface.h"

#include <cmath>
#include <mutex>

#include "frame/main_lock.h"

namespace frame {

void WindowSurface::Press(float px, float py, const IMouseMod& mod) {
  std::lock_guard<std::recursive_mutex> main(MainLock());
  Down(px, py);
  mGraphics.OnMouseDown(mLastX, mLastY, mod);
}

void WindowSurface::DoubleClick(float px, float py, const IMouseMod& mod) {
  std::lock_guard<std::recursive_mutex> main(MainLock());
  Down(px, py);
  mGraphics.OnMouseDblClick(mLastX, mLastY, mod);
}

void WindowSurface::Down(float px, float py) {
  mPressed = true;
  mLastX = Units(px);
  mLastY = Units(py);
}

void WindowSurface::Release(float px, float py, const IMouseMod& mod) {
  std::lock_guard<std::recursive_mutex> main(MainLock());
  mPressed = false;
  mGraphics.OnMouseUp(Units(px), Units(py), mod);
}

void WindowSurface::Move(float px, float py, const IMouseMod& mod) {
  std::lock_guard<std::recursive_mutex> main(MainLock());
  const float x = Units(px);
  const float y = Units(py);
  if (mPressed) {
    mGraphics.OnMouseDrag(x, y, x - mLastX, y - mLastY, mod);
  } else {
    mGraphics.OnMouseOver(x, y, mod);
  }
  // A resize during the drag changes the units: the next delta starts from where the pointer is now.
  mLastX = Units(px);
  mLastY = Units(py);
}

void WindowSurface::Wheel(float px, float py, const IMouseMod& mod, float delta) {
  std::lock_guard<std::recursive_mutex> main(MainLock());
  mGraphics.OnMouseWheel(Units(px), Units(py), mod, delta);
}

void WindowSurface::Leave() {
  std::lock_guard<std::recursive_mutex> main(MainLock());
  mGraphics.OnMouseOut();
}

bool WindowSurface::Key(const IKeyPress& key) {
  std::lock_guard<std::recursive_mutex> main(MainLock());
  return mGraphics.OnKeyDown(key);
}

IRECT WindowSurface::Frame() {
  std::lock_guard<std::recursive_mutex> main(MainLock());
  const IRECT area = mGraphics.RunFrame();
  if (area.Empty()) return {};
  const float s = mGraphics.GetDrawScale();
  return {std::floor(area.L * s), std::floor(area.T * s), std::ceil(area.R * s), std::ceil(area.B * s)};
}

}  // namespace frame
