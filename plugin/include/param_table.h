// The parameter table of Reelstop: names, ranges, defaults, steps, shapes, units and displays.
// Main thread only (construction).
#pragma once

#include "frame/plugin.h"

namespace reelstop {

// Initialises the nineteen parameters of `plugin` in index order.
void initParams(frame::Plugin& plugin);

// The display functions, exposed for the editor's readouts.
void formatTime(double ms, frame::DisplayText& text);
void formatCurve(double curve, frame::DisplayText& text);
void formatPercent(double percent, frame::DisplayText& text);
void formatPlain(double value, frame::DisplayText& text);

}  // namespace reelstop
