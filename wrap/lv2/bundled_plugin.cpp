// Reelstop, carried by the bundle.
#include "bundled_plugin.h"

#include "presets.h"
#include "reelstop.h"

namespace reelstop::lv2 {

const frame::Config& bundledConfig() {
  static const frame::Config config = Reelstop::config();
  return config;
}

const std::vector<Variant>& bundledVariants() {
  static const std::vector<Variant> variants = variantsOf(bundledConfig());
  return variants;
}

std::vector<BundledPreset> bundledPresets(const frame::Plugin& plugin) {
  std::vector<BundledPreset> presets;
  for (const Preset& preset : factoryPresets())
    presets.push_back({preset.name, preset.description, presetValues(plugin, preset)});
  return presets;
}

std::unique_ptr<frame::Plugin> makeBundledPlugin(const frame::InstanceInfo& info) {
  return std::make_unique<Reelstop>(info);
}

}  // namespace reelstop::lv2
