// CairoGraphics: fonts from the resource folder through FreeType, and text placed by its alignments.
#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <string>

#include "cairo_graphics.h"
#include "frame/resources.h"

namespace frame {
namespace {

FT_Library freeType() {
  static FT_Library library = [] {
    FT_Library made = nullptr;
    return FT_Init_FreeType(&made) == 0 ? made : nullptr;
  }();
  return library;
}

const cairo_user_data_key_t kFaceKey{};

void doneFace(void* face) { FT_Done_Face(static_cast<FT_Face>(face)); }

// "Inter-Regular.ttf" is also found as the OpenType file "Inter-Regular.otf".
std::string findFontFile(const std::string& name) {
  const std::string folder = ResourceFolder().empty() ? std::string(".") : ResourceFolder();
  std::vector<std::string> candidates{folder + "/" + name};
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos) {
    const std::string stem = name.substr(0, dot);
    candidates.push_back(folder + "/" + stem + ".otf");
    candidates.push_back(folder + "/" + stem + ".ttf");
  }
  for (const std::string& path : candidates) {
    if (FILE* file = std::fopen(path.c_str(), "rb")) {
      std::fclose(file);
      return path;
    }
  }
  return {};
}

}  // namespace

bool CairoGraphics::DoLoadFont(const char* id, const char* fileName) {
  if (mFonts.count(id) != 0) return true;
  const std::string path = findFontFile(fileName);
  FT_Face face = nullptr;
  if (path.empty() || freeType() == nullptr || FT_New_Face(freeType(), path.c_str(), 0, &face) != 0) return false;
  cairo_font_face_t* cairoFace = cairo_ft_font_face_create_for_ft_face(face, 0);
  if (cairo_font_face_set_user_data(cairoFace, &kFaceKey, face, doneFace) != CAIRO_STATUS_SUCCESS) {
    cairo_font_face_destroy(cairoFace);
    FT_Done_Face(face);
    return false;
  }
  mFonts[id] = cairoFace;
  return true;
}

float CairoGraphics::Place(const IText& text, const char* utf8, const IRECT& bounds, float& x, float& y, IRECT& box) {
  cairo_t* cr = Current();
  const auto font = mFonts.find(text.mFont);
  if (font != mFonts.end()) cairo_set_font_face(cr, font->second);
  cairo_set_font_size(cr, text.mSize);
  cairo_text_extents_t extents;
  cairo_text_extents(cr, utf8, &extents);
  cairo_font_extents_t fontExtents;
  cairo_font_extents(cr, &fontExtents);
  const auto advance = static_cast<float>(extents.x_advance);
  const auto ascent = static_cast<float>(fontExtents.ascent);
  const auto descent = static_cast<float>(fontExtents.descent);
  switch (text.mAlign) {
    case EAlign::Near: x = bounds.L; break;
    case EAlign::Center: x = bounds.MW() - advance / 2.0f; break;
    case EAlign::Far: x = bounds.R - advance; break;
  }
  switch (text.mVAlign) {
    case EVAlign::Top: y = bounds.T + ascent; break;
    case EVAlign::Middle: y = bounds.MH() + (ascent - descent) / 2.0f; break;
    case EVAlign::Bottom: y = bounds.B - descent; break;
  }
  box = {x, y - ascent, x + advance, y + descent};
  return advance;
}

void CairoGraphics::DoDrawText(const IText& text, const char* utf8, const IRECT& bounds, const IBlend* blend) {
  float x = 0.0f;
  float y = 0.0f;
  IRECT box;
  Place(text, utf8, bounds, x, y, box);
  cairo_t* cr = Current();
  SetSource(text.mFGColor, blend);
  cairo_move_to(cr, x, y);
  cairo_show_text(cr, utf8);
  cairo_new_path(cr);
}

float CairoGraphics::DoMeasureText(const IText& text, const char* utf8, IRECT& bounds) {
  float x = 0.0f;
  float y = 0.0f;
  IRECT box;
  const float advance = Place(text, utf8, bounds, x, y, box);
  bounds = box;
  return advance;
}

}  // namespace frame
