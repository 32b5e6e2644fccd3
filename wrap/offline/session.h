// One run of reelstop-render, from options to committed files.
// The input or the demo goes through a fresh plug-in instance; the outputs are committed
// together at the end or not at all. Main thread only.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "options.h"

namespace reelstop::offline {

struct RenderSummary {
  std::string outputPath;
  double audioSeconds = 0.0;
  double wallSeconds = 0.0;  // the whole run, reading and writing included
  int64_t stops = 0;
  int64_t starts = 0;
};

// Throws RenderError before anything is written, or leaves every output complete.
RenderSummary runRender(const Options& options);

// The parameter table of a fresh instance.
void listParams(std::FILE* out);

// The factory presets: name and description.
void listPresets(std::FILE* out);

}  // namespace reelstop::offline
