// Reelstop, carried by the bundle.
#include "bundled_plugin.h"

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

std::unique_ptr<frame::Plugin> makeBundledPlugin(const frame::InstanceInfo& info) {
  return std::make_unique<Reelstop>(info);
}

}  // namespace reelstop::lv2
