// The Cairo renderer's pixels: text placement, layers with their opacity and scale, and a
// drawing context that an error cannot leave blank.
#include "cairo_graphics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>

#include "blank_plugin.h"
#include "frame/headless_host.h"
#include "frame/resources.h"

namespace frame {
namespace {

using Blank = test::BlankPlugin;

// Draws what it is given, each frame.
class Painter : public IControl {
 public:
  explicit Painter(std::function<void(IGraphics&)> paint) : IControl({0, 0, 100, 100}), mPaint(std::move(paint)) {}
  void Draw(IGraphics& g) override { mPaint(g); }

 private:
  std::function<void(IGraphics&)> mPaint;
};

struct Canvas {
  HeadlessHost host{[](const InstanceInfo& info) { return std::make_unique<Blank>(info); }};
  std::unique_ptr<CairoGraphics> g;
  explicit Canvas(float scale = 1.0f) : g(new CairoGraphics(host.plugin(), 100, 100, scale)) {
    SetResourceFolder(REELSTOP_RESOURCES);
    EXPECT_TRUE(g->LoadFont("sans", "Inter-Regular.ttf")) << "found as the .otf face";
    g->AttachPanelBackground(COLOR_BLACK);
  }
  // The first and last rows with a lit pixel.
  std::pair<int, int> inkedRows() {
    int first = -1;
    int last = -1;
    for (int y = 0; y < g->PixelHeight(); ++y) {
      for (int x = 0; x < g->PixelWidth(); ++x) {
        if (g->PixelColor(x, y).R > 60) {
          if (first < 0) first = y;
          last = y;
          break;
        }
      }
    }
    return {first, last};
  }
};

TEST(CairoGraphics, TextCentresOnAZeroHeightRectangleAndFarAlignmentEndsOnTheRightEdge) {
  Canvas c;
  IText text;
  text.mFont = "sans";
  text.mSize = 20.0f;
  text.mFGColor = COLOR_WHITE;
  text.mAlign = EAlign::Far;
  c.g->AttachControl(new Painter([&](IGraphics& g) { g.DrawText(text, "HH", {10, 50, 80, 50}); }));
  c.g->RunFrame();
  const auto [top, bottom] = c.inkedRows();
  ASSERT_GE(top, 0) << "text drawn";
  EXPECT_NEAR((top + bottom + 1) / 2.0, 50.0, 1.5) << "capitals centred on the line";
  IRECT box(10, 50, 80, 50);
  const float advance = c.g->MeasureText(text, "HH", box);
  EXPECT_GT(advance, 20.0f);
  EXPECT_FLOAT_EQ(box.R, 80.0f);
  EXPECT_FLOAT_EQ(box.L, 80.0f - advance);
}

TEST(CairoGraphics, ALayerKeepsItsPicturesAndOpacityUntilTheScaleChanges) {
  Canvas c;
  ILayerPtr layer;
  IBlend half{EBlend::Default, 0.5f};
  c.g->AttachControl(new Painter([&](IGraphics& g) {
    if (!g.CheckLayer(layer)) {
      g.StartLayer(nullptr, {20, 20, 60, 60});
      g.FillRect(COLOR_WHITE, {20, 20, 60, 60});
      layer = g.EndLayer();
    }
    g.DrawLayer(layer, &half);
  }));
  c.g->RunFrame();
  EXPECT_NEAR(c.g->PixelColor(40, 40).R, 128, 1);
  EXPECT_EQ(c.g->PixelColor(10, 10).R, 0) << "only the layer's rectangle";
  const ILayer* kept = layer.get();
  c.g->SetAllControlsDirty();
  c.g->RunFrame();
  EXPECT_EQ(layer.get(), kept) << "kept while valid";
  c.g->SetScaleConstraints(0.75f, 2.0f);
  c.g->SetScale(2.0f);
  c.g->RunFrame();
  EXPECT_NE(layer.get(), kept) << "a new scale draws it again";
  EXPECT_NEAR(c.g->PixelColor(80, 80).R, 128, 1);
}

TEST(CairoGraphics, AControlThatBreaksTheContextLeavesTheOthersDrawn) {
  Canvas c;
  IText broken;
  broken.mFont = "sans";
  broken.mSize = std::numeric_limits<float>::quiet_NaN();  // Cairo's font matrix becomes invalid
  c.g->AttachControl(new Painter([&](IGraphics& g) { g.DrawText(broken, "x", {0, 0, 100, 100}); }));
  c.g->AttachControl(new Painter([](IGraphics& g) { g.FillRect(COLOR_WHITE, {30, 30, 70, 70}); }));
  c.g->RunFrame();
  EXPECT_EQ(c.g->PixelColor(50, 50), COLOR_WHITE);
}

TEST(CairoGraphics, PngBytesAndThePngFileHoldTheSameImage) {
  Canvas c(2.0f);
  c.g->AttachControl(new Painter([](IGraphics& g) { g.FillRect(IColor(255, 200, 40, 10), {0, 0, 50, 100}); }));
  c.g->RunFrame();
  const std::string png = c.g->PngBytes();
  ASSERT_GT(png.size(), 8u);
  EXPECT_EQ(png.substr(1, 3), "PNG");

  std::string rest = png;
  const cairo_read_func_t read = [](void* closure, unsigned char* data, unsigned int length) {
    auto& left = *static_cast<std::string*>(closure);
    if (left.size() < length) return CAIRO_STATUS_READ_ERROR;
    std::copy_n(left.begin(), length, data);
    left.erase(0, length);
    return CAIRO_STATUS_SUCCESS;
  };
  cairo_surface_t* decoded = cairo_image_surface_create_from_png_stream(read, &rest);
  ASSERT_EQ(cairo_surface_status(decoded), CAIRO_STATUS_SUCCESS);
  EXPECT_EQ(cairo_image_surface_get_width(decoded), 200) << "pixels at the scale";
  EXPECT_EQ(cairo_image_surface_get_height(decoded), 200);
  const auto pixel = [decoded](int x, int y) {
    const unsigned char* row = cairo_image_surface_get_data(decoded) + y * cairo_image_surface_get_stride(decoded);
    uint32_t word = 0;
    std::memcpy(&word, row + 4 * x, sizeof word);
    return word;
  };
  EXPECT_EQ(pixel(10, 10), 0xFFC8280Au) << "the painted half";
  EXPECT_EQ(pixel(150, 10), 0xFF000000u) << "the background";
  cairo_surface_destroy(decoded);

  const std::string path = testing::TempDir() + "/png-bytes-test.png";
  ASSERT_TRUE(c.g->WritePng(path));
  std::ifstream file(path, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), png);
  std::remove(path.c_str());
}

}  // namespace
}  // namespace frame
