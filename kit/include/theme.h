// The editor's look in one place: three faces of one font family, the palette, the text factory,
// the hover lift, and strings drawn with fixed-width digits so changing numbers do not jitter.
// Main thread only.
#pragma once

#include <string>

#include "frame/igraphics.h"

namespace theme {

// Passed around as plain integers; any value but Medium and SemiBold is Regular.
enum Weight : int { Regular = 0, Medium = 1, SemiBold = 2 };

const char* fontId(Weight weight);

inline const frame::IColor bg{255, 17, 17, 19};
inline const frame::IColor surface{255, 28, 28, 30};
inline const frame::IColor surfaceHi{255, 44, 44, 46};
inline const frame::IColor line{255, 56, 56, 58};
inline const frame::IColor thumb{255, 99, 99, 102};
inline const frame::IColor ink{255, 245, 245, 247};
inline const frame::IColor inkDim{255, 152, 152, 159};
inline const frame::IColor inkFaint{255, 99, 99, 102};
inline const frame::IColor accent{255, 255, 138, 61};
inline const frame::IColor cool{255, 100, 210, 255};
inline const frame::IColor vinyl{255, 10, 10, 11};
inline const frame::IColor white{255, 255, 255, 255};
inline const frame::IColor black{255, 0, 0, 0};

// The hover lift: each of red, green and blue moves the fraction k towards white, rounded.
frame::IColor lift(const frame::IColor& colour, float k);

// Registers the three faces with the surface; before any text is drawn.
void loadFonts(frame::IGraphics& g);

// Text of the given face, size (points), colour and alignment, vertically centred.
frame::IText sans(float size, Weight weight, const frame::IColor& colour, frame::EAlign align);

// Width drawMono takes for `s`: every digit as wide as "0", each byte its own cell.
float monoWidth(frame::IGraphics& g, const frame::IText& text, const std::string& s);
// Draws `s` from left edge x with its vertical centre on y, each glyph centred in its cell.
void drawMono(frame::IGraphics& g, const frame::IText& text, const std::string& s, float x, float y,
              const frame::IBlend* blend);
// Draws `s` inside r by the text's horizontal alignment, vertically centred.
void drawMono(frame::IGraphics& g, const frame::IText& text, const std::string& s, const frame::IRECT& r,
              const frame::IBlend* blend);

}  // namespace theme
