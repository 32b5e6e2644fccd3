// CairoGraphics: the frame's renderer. It draws every IGraphics operation with Cairo into an image
// of the surface's size times its scale, and text with FreeType from the resource folder's font
// files. The image is the output: written to PNG headless, copied to a window on screen.
// Main thread only.
#pragma once

#include <cairo.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "frame/igraphics.h"

namespace frame {

class CairoGraphics : public IGraphics {
 public:
  CairoGraphics(Plugin& delegate, int width, int height, float scale);
  ~CairoGraphics() override;

  int PixelWidth() const { return mPixelWidth; }
  int PixelHeight() const { return mPixelHeight; }
  // The image's pixels: premultiplied ARGB words, rows `stride` bytes apart.
  const unsigned char* Pixels(int& stride);
  // One pixel, not premultiplied.
  IColor PixelColor(int x, int y);
  bool WritePng(const std::string& path);
  // The image as the bytes of a PNG file, for a caller that writes them itself; empty when Cairo
  // cannot encode it.
  std::string PngBytes();

  void PathClear() override;
  void PathMoveTo(float x, float y) override;
  void PathLineTo(float x, float y) override;
  void PathArc(float cx, float cy, float r, float a1, float a2, EWinding winding = EWinding::CW) override;
  void PathEllipse(const IRECT& r) override;
  void PathClose() override;
  void PathStroke(const IPattern& pattern, float thickness, const IStrokeOptions& options = {},
                  const IBlend* blend = nullptr) override;
  void PathFill(const IPattern& pattern, const IBlend* blend = nullptr) override;

 protected:
  void SetClip(const IRECT& r) override;
  bool DoLoadFont(const char* id, const char* fileName) override;
  void DoDrawText(const IText& text, const char* utf8, const IRECT& bounds, const IBlend* blend) override;
  float DoMeasureText(const IText& text, const char* utf8, IRECT& bounds) override;
  void BeginFrame(const IRECT& area) override;
  void EndFrame() override;
  void ControlDrawn() override;
  void PushLayer(const IRECT& r) override;
  ILayerPtr PopLayer(const IRECT& r) override;
  void CompositeLayer(const ILayer& layer, const IBlend* blend) override;
  void OnSizeChanged() override;

 private:
  struct ContextDeleter {
    void operator()(cairo_t* context) const { cairo_destroy(context); }
  };
  struct SurfaceDeleter {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
  };
  using Context = std::unique_ptr<cairo_t, ContextDeleter>;
  using Surface = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;
  struct Layer;

  cairo_t* Current() const { return mLayerContexts.empty() ? mContext.get() : mLayerContexts.back().get(); }
  void MakeImage();
  void RecoverContext();
  void SetSource(const IColor& color, const IBlend* blend);
  // Where `utf8` starts (pen position) when placed in `bounds`, with its advance and box.
  float Place(const IText& text, const char* utf8, const IRECT& bounds, float& x, float& y, IRECT& box);

  int mPixelWidth = 0;
  int mPixelHeight = 0;
  Surface mImage;
  Context mContext;
  std::vector<Context> mLayerContexts;
  std::vector<Surface> mLayerSurfaces;
  std::map<std::string, cairo_font_face_t*> mFonts;
};

}  // namespace frame
