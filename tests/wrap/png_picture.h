// A PNG file read back for pixel checks on what reelstop-render drew.
#pragma once

#include <cairo.h>

#include <string>

#include "frame/graphics_types.h"

namespace reelstop::offline::test {

class Picture {
 public:
  // Fails the test when the file is not a PNG; an empty picture then.
  explicit Picture(const std::string& path);
  ~Picture();
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;

  int width() const { return mWidth; }
  int height() const { return mHeight; }
  // One pixel, not premultiplied.
  frame::IColor at(int x, int y) const;
  // The pixels of exactly this colour inside the rectangle, in pixels.
  int count(const frame::IColor& colour, const frame::IRECT& area) const;

 private:
  cairo_surface_t* mSurface = nullptr;
  int mWidth = 0;
  int mHeight = 0;
};

}  // namespace reelstop::offline::test
