// One of each widget of the kit, bound to a live Reelstop's parameters, on one editor page: what a
// new user would meet, for looking at and for timing the renderer.
#pragma once

#include "frame/igraphics.h"

namespace gallery {

void layout(frame::IGraphics& g);

}  // namespace gallery
