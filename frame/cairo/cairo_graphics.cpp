// CairoGraphics: the path primitives, clips, layers and the image they draw into.
#include "cairo_graphics.h"

#include <algorithm>
#include <cmath>

namespace frame {
namespace {

constexpr double kPi = 3.14159265358979323846;

// Degrees with 0 up and growing clockwise, to Cairo's radians from the x axis towards y (down).
double cairoAngle(float degrees) { return (static_cast<double>(degrees) - 90.0) * kPi / 180.0; }

int pixels(int units, float scale) {
  return std::max(1, static_cast<int>(std::lround(static_cast<float>(units) * scale)));
}

}  // namespace

struct CairoGraphics::Layer : ILayer {
  Layer(const IRECT& bounds, float scale, Surface pixels) : ILayer(bounds, scale), surface(std::move(pixels)) {}
  Surface surface;
};

IGraphics* MakeGraphics(Plugin& delegate, int width, int height, float scale) {
  return new CairoGraphics(delegate, width, height, scale);
}

CairoGraphics::CairoGraphics(Plugin& delegate, int width, int height, float scale)
    : IGraphics(delegate, width, height, scale) {
  MakeImage();
}

CairoGraphics::~CairoGraphics() {
  mLayerContexts.clear();
  mContext.reset();
  for (auto& font : mFonts) cairo_font_face_destroy(font.second);
}

void CairoGraphics::MakeImage() {
  mPixelWidth = pixels(Width(), GetDrawScale());
  mPixelHeight = pixels(Height(), GetDrawScale());
  mImage.reset(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, mPixelWidth, mPixelHeight));
  RecoverContext();
}

// A context in an error state draws nothing ever after; a fresh one on the same image does.
void CairoGraphics::RecoverContext() {
  mContext.reset(cairo_create(mImage.get()));
  cairo_scale(mContext.get(), GetDrawScale(), GetDrawScale());
}

void CairoGraphics::OnSizeChanged() { MakeImage(); }

const unsigned char* CairoGraphics::Pixels(int& stride) {
  cairo_surface_flush(mImage.get());
  stride = cairo_image_surface_get_stride(mImage.get());
  return cairo_image_surface_get_data(mImage.get());
}

IColor CairoGraphics::PixelColor(int x, int y) {
  int stride = 0;
  const unsigned char* data = Pixels(stride);
  if (x < 0 || y < 0 || x >= mPixelWidth || y >= mPixelHeight) return {0, 0, 0, 0};
  uint32_t word = 0;
  std::copy_n(data + static_cast<size_t>(y) * static_cast<size_t>(stride) + static_cast<size_t>(x) * 4, 4,
              reinterpret_cast<unsigned char*>(&word));
  const int a = static_cast<int>(word >> 24);
  auto channel = [a](uint32_t premultiplied) {
    return a == 0 ? 0
                  : std::min(255, static_cast<int>((premultiplied * 255 + static_cast<uint32_t>(a) / 2) /
                                                   static_cast<uint32_t>(a)));
  };
  return {a, channel((word >> 16) & 0xFFu), channel((word >> 8) & 0xFFu), channel(word & 0xFFu)};
}

bool CairoGraphics::WritePng(const std::string& path) {
  cairo_surface_flush(mImage.get());
  return cairo_surface_write_to_png(mImage.get(), path.c_str()) == CAIRO_STATUS_SUCCESS;
}

std::string CairoGraphics::PngBytes() {
  cairo_surface_flush(mImage.get());
  std::string png;
  const cairo_write_func_t append = [](void* closure, const unsigned char* data, unsigned int length) {
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
  };
  if (cairo_surface_write_to_png_stream(mImage.get(), append, &png) != CAIRO_STATUS_SUCCESS) png.clear();
  return png;
}

void CairoGraphics::BeginFrame(const IRECT&) {
  if (cairo_status(mContext.get()) != CAIRO_STATUS_SUCCESS) RecoverContext();
}

void CairoGraphics::ControlDrawn() {
  if (cairo_status(mContext.get()) == CAIRO_STATUS_SUCCESS) return;
  mLayerContexts.clear();
  mLayerSurfaces.clear();
  RecoverContext();
}

void CairoGraphics::EndFrame() {
  mLayerContexts.clear();
  mLayerSurfaces.clear();
  if (cairo_status(mContext.get()) != CAIRO_STATUS_SUCCESS) RecoverContext();
  cairo_surface_flush(mImage.get());
}

void CairoGraphics::SetSource(const IColor& color, const IBlend* blend) {
  cairo_set_source_rgba(Current(), color.R / 255.0, color.G / 255.0, color.B / 255.0,
                        color.A / 255.0 * static_cast<double>(BlendWeight(blend)));
}

void CairoGraphics::PathClear() { cairo_new_path(Current()); }

void CairoGraphics::PathMoveTo(float x, float y) { cairo_move_to(Current(), x, y); }

void CairoGraphics::PathLineTo(float x, float y) { cairo_line_to(Current(), x, y); }

void CairoGraphics::PathArc(float cx, float cy, float r, float a1, float a2, EWinding winding) {
  if (!(r > 0.0f)) return;
  if (winding == EWinding::CW) {
    cairo_arc(Current(), cx, cy, r, cairoAngle(a1), cairoAngle(a2));
  } else {
    cairo_arc_negative(Current(), cx, cy, r, cairoAngle(a1), cairoAngle(a2));
  }
}

void CairoGraphics::PathEllipse(const IRECT& r) {
  if (!(r.W() > 0.0f && r.H() > 0.0f)) return;
  cairo_t* cr = Current();
  cairo_new_sub_path(cr);
  cairo_save(cr);
  cairo_translate(cr, r.MW(), r.MH());
  cairo_scale(cr, r.W() / 2.0, r.H() / 2.0);
  cairo_arc(cr, 0.0, 0.0, 1.0, 0.0, 2.0 * kPi);
  cairo_restore(cr);
}

void CairoGraphics::PathClose() { cairo_close_path(Current()); }

void CairoGraphics::PathStroke(const IPattern& pattern, float thickness, const IStrokeOptions& options,
                               const IBlend* blend) {
  cairo_t* cr = Current();
  SetSource(pattern.mColor, blend);
  cairo_set_line_width(cr, thickness);
  cairo_set_miter_limit(cr, options.mMiterLimit);
  switch (options.mCapOption) {
    case ELineCap::Butt: cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT); break;
    case ELineCap::Round: cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND); break;
    case ELineCap::Square: cairo_set_line_cap(cr, CAIRO_LINE_CAP_SQUARE); break;
  }
  switch (options.mJoinOption) {
    case ELineJoin::Miter: cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER); break;
    case ELineJoin::Round: cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND); break;
    case ELineJoin::Bevel: cairo_set_line_join(cr, CAIRO_LINE_JOIN_BEVEL); break;
  }
  if (options.mPreserve) {
    cairo_stroke_preserve(cr);
  } else {
    cairo_stroke(cr);
  }
}

void CairoGraphics::PathFill(const IPattern& pattern, const IBlend* blend) {
  SetSource(pattern.mColor, blend);
  cairo_fill(Current());
}

void CairoGraphics::SetClip(const IRECT& r) {
  cairo_t* cr = Current();
  cairo_reset_clip(cr);
  cairo_rectangle(cr, r.L, r.T, r.W(), r.H());
  cairo_clip(cr);
}

// A layer is an image of its rectangle at the present scale; drawing goes there until it ends.
void CairoGraphics::PushLayer(const IRECT& r) {
  const float scale = GetDrawScale();
  Surface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32,
                                             std::max(1, static_cast<int>(std::ceil(r.W() * scale))),
                                             std::max(1, static_cast<int>(std::ceil(r.H() * scale)))));
  Context context(cairo_create(surface.get()));
  cairo_scale(context.get(), scale, scale);
  cairo_translate(context.get(), -r.L, -r.T);
  mLayerSurfaces.push_back(std::move(surface));
  mLayerContexts.push_back(std::move(context));
}

ILayerPtr CairoGraphics::PopLayer(const IRECT& r) {
  if (mLayerContexts.empty()) return nullptr;
  mLayerContexts.pop_back();
  Surface surface = std::move(mLayerSurfaces.back());
  mLayerSurfaces.pop_back();
  cairo_surface_flush(surface.get());
  return std::make_unique<Layer>(r, GetDrawScale(), std::move(surface));
}

void CairoGraphics::CompositeLayer(const ILayer& layer, const IBlend* blend) {
  const auto& pixels = static_cast<const Layer&>(layer);
  cairo_t* cr = Current();
  cairo_save(cr);
  cairo_translate(cr, layer.Bounds().L, layer.Bounds().T);
  cairo_scale(cr, 1.0 / layer.Scale(), 1.0 / layer.Scale());
  cairo_set_source_surface(cr, pixels.surface.get(), 0.0, 0.0);
  cairo_paint_with_alpha(cr, BlendWeight(blend));
  cairo_restore(cr);
}

}  // namespace frame
