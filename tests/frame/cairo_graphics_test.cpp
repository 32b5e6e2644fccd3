// The Cairo renderer's pixels: text placement, layers with their opacity and scale, and a
// drawing context that an error cannot leave blank.
#include "cairo_graphics.h"

#include <gtest/gtest.h>

#include <cstdio>
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
  Canvas() : g(new CairoGraphics(host.plugin(), 100, 100, 1.0f)) {
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

TEST(CairoGraphics, PngBytesAndThePngFileAreTheSame) {
  Canvas c;
  c.g->RunFrame();
  const std::string png = c.g->PngBytes();
  EXPECT_EQ(png.substr(1, 3), "PNG");
  const std::string path = testing::TempDir() + "/png-bytes-test.png";
  ASSERT_TRUE(c.g->WritePng(path));
  std::ifstream file(path, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), png);
  std::remove(path.c_str());
}

}  // namespace
}  // namespace frame
