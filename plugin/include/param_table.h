// The parameter table of Reelstop: names, ranges, defaults, steps, shapes, units and displays.
// Main thread only (construction).
#pragma once

#include "iplug/plugin.h"

namespace reelstop {

// Initialises the nineteen parameters of `plugin` in index order.
void initParams(iplug::Plugin& plugin);

// The display functions, exposed for the editor's readouts.
void formatTime(double ms, iplug::WDL_String& text);
void formatCurve(double curve, iplug::WDL_String& text);
void formatPercent(double percent, iplug::WDL_String& text);
void formatPlain(double value, iplug::WDL_String& text);

}  // namespace reelstop
