// The factory bank: named sounds, each the parameters it sets (plain values); every parameter it
// does not name is at its default, so a preset never inherits the values of the one before.
#pragma once

#include <string>
#include <vector>

#include "frame/plugin.h"

namespace reelstop {

struct PresetValue {
  int paramIdx;
  double value;  // in the parameter's own units; an enumeration's index
};

struct Preset {
  const char* name;
  const char* description;
  std::vector<PresetValue> values;
};

const std::vector<Preset>& factoryPresets();

// The preset with this name (compared without regard to case), or null.
const Preset* findPreset(const std::string& name);

// The plain value of every parameter under the preset, in index order.
std::vector<double> presetValues(const frame::Plugin& plugin, const Preset& preset);

}  // namespace reelstop
