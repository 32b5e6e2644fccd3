// The plug-in's parameters as the command line names them, and the --list-params table.
// Looked up by display name; values are numbers in the parameter's own units or its display
// texts, applied the way a host does. Main thread only.
#pragma once

#include <cstdio>
#include <string>

#include "frame/headless_host.h"
#include "frame/plugin.h"

namespace reelstop::offline {

struct ParamSetting {
  int paramIdx = 0;
  double value = 0.0;  // in the parameter's own units
};

// "NAME=VALUE", the name and texts compared without regard to case; throws RenderError.
ParamSetting parseSetting(const frame::Plugin& plugin, const std::string& assignment);

// Normalised and handed over as host automation.
void applySetting(frame::HeadlessHost& host, const ParamSetting& setting);

void printParamTable(const frame::Plugin& plugin, std::FILE* out);

}  // namespace reelstop::offline
