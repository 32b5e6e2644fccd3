// WindowSurface: window pixels to layout units, under the plug-in's lock.
#include "window_surface.h"

#include <algorithm>
#include <cmath>

namespace frame {

using Guard = std::lock_guard<std::recursive_mutex>;

void WindowSurface::Press(float px, float py, const IMouseMod& mod) {
  const Guard guard(mLock);
  Down(px, py);
  mGraphics.OnMouseDown(mLastX, mLastY, mod);
}

void WindowSurface::DoubleClick(float px, float py, const IMouseMod& mod) {
  const Guard guard(mLock);
  Down(px, py);
  mGraphics.OnMouseDblClick(mLastX, mLastY, mod);
}

void WindowSurface::Down(float px, float py) {
  mPressed = true;
  mLastX = Units(px);
  mLastY = Units(py);
}

void WindowSurface::Release(float px, float py, const IMouseMod& mod) {
  const Guard guard(mLock);
  mPressed = false;
  mGraphics.OnMouseUp(Units(px), Units(py), mod);
}

void WindowSurface::CancelPress() {
  const Guard guard(mLock);
  if (!mPressed) return;
  mPressed = false;
  mGraphics.OnMouseUp(mLastX, mLastY, IMouseMod{});
}

void WindowSurface::Move(float px, float py, const IMouseMod& mod) {
  const Guard guard(mLock);
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
  const Guard guard(mLock);
  mGraphics.OnMouseWheel(Units(px), Units(py), mod, delta);
}

void WindowSurface::Leave() {
  const Guard guard(mLock);
  mGraphics.OnMouseOut();
}

bool WindowSurface::Key(const IKeyPress& key) {
  const Guard guard(mLock);
  return mGraphics.OnKeyDown(key);
}

void WindowSurface::FitTo(int pixelWidth, int pixelHeight) {
  const Guard guard(mLock);
  const float across = static_cast<float>(pixelWidth) / static_cast<float>(mGraphics.Width());
  const float down = static_cast<float>(pixelHeight) / static_cast<float>(mGraphics.Height());
  mGraphics.SetScale(std::min(across, down));
}

IRECT WindowSurface::Frames(int steps) {
  const Guard guard(mLock);
  IRECT area;
  for (int i = 0; i < steps; ++i) {
    IRECT changed;
    if (mGraphics.IsDirty(changed)) area = area.Union(changed);
  }
  if (area.Empty()) return {};
  mGraphics.Draw(area);
  const float s = mGraphics.GetDrawScale();
  return {std::floor(area.L * s), std::floor(area.T * s), std::ceil(area.R * s), std::ceil(area.B * s)};
}

}  // namespace frame
