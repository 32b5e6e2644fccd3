// The factory presets as LV2 presets: their entries in the manifest, and presets.ttl with every
// port's value and the state chunk, so a host that loads one sets every parameter.
#pragma once

#include <ostream>
#include <vector>

#include "bundle.h"
#include "frame/headless_host.h"

namespace reelstop::lv2 {

// A preset's URI: the project's, then "/presets#" and the name in lower case with dashes.
std::string presetUri(const frame::Config& config, const BundledPreset& preset);

// The manifest's lines that name each preset, the plug-ins it applies to and where it is described.
void writePresetManifest(std::ostream& out, const frame::Config& config, const std::vector<Variant>& variants,
                         const std::vector<BundledPreset>& presets);
// presets.ttl. The host is left with the last preset's values.
void writePresets(std::ostream& out, frame::HeadlessHost& host, const std::vector<Variant>& variants,
                  const std::vector<BundledPreset>& presets);

}  // namespace reelstop::lv2
