// PNG pixels through Cairo's reader.
#include "png_picture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace reelstop::offline::test {

Picture::Picture(const std::string& path) : mSurface(cairo_image_surface_create_from_png(path.c_str())) {
  if (cairo_surface_status(mSurface) != CAIRO_STATUS_SUCCESS) {
    ADD_FAILURE() << "cannot read the picture " << path;
    return;
  }
  mWidth = cairo_image_surface_get_width(mSurface);
  mHeight = cairo_image_surface_get_height(mSurface);
}

Picture::~Picture() { cairo_surface_destroy(mSurface); }

frame::IColor Picture::at(int x, int y) const {
  if (x < 0 || y < 0 || x >= mWidth || y >= mHeight) return {0, 0, 0, 0};
  uint32_t word = 0;
  const unsigned char* row = cairo_image_surface_get_data(mSurface) + y * cairo_image_surface_get_stride(mSurface);
  std::memcpy(&word, row + 4 * x, sizeof word);
  const int alpha = static_cast<int>(word >> 24);
  const auto channel = [alpha](uint32_t premultiplied) {
    return alpha == 0 ? 0 : static_cast<int>(std::lround(premultiplied * 255.0 / alpha));
  };
  return {alpha, channel((word >> 16) & 0xFFu), channel((word >> 8) & 0xFFu), channel(word & 0xFFu)};
}

int Picture::count(const frame::IColor& colour, const frame::IRECT& area) const {
  int found = 0;
  for (int y = std::max(0, static_cast<int>(area.T)); y < std::min(mHeight, static_cast<int>(area.B)); ++y) {
    for (int x = std::max(0, static_cast<int>(area.L)); x < std::min(mWidth, static_cast<int>(area.R)); ++x) {
      found += at(x, y) == colour ? 1 : 0;
    }
  }
  return found;
}

}  // namespace reelstop::offline::test
