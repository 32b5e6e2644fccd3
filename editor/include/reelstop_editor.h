// The editor of Reelstop: the record page and the settings page on the frame's drawing surface.
// Main thread only.
#pragma once

#include "frame/igraphics.h"
#include "reelstop.h"

namespace reelstop_ui {

// Builds both pages on a new surface and shows the first; a surface that already has controls is
// left as it is.
void layout(reelstop::Reelstop& plugin, frame::IGraphics& g);

// A parameter changed while the editor is open: "Auto" re-lays the settings page.
void paramChanged(frame::IGraphics& g, int paramIdx);

// Gives the plug-in its editor: the surface it opens, the layout and the parameter forward. The
// program that calls it links the frame's renderer.
void install(reelstop::Reelstop& plugin);

}  // namespace reelstop_ui
