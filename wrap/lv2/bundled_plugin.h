// The plug-in this bundle carries: the one place the LV2 wrapper learns which it is.
// Any thread: the configuration and the variants are made once and never change.
#pragma once

#include <memory>
#include <vector>

#include "bundle.h"
#include "frame/plugin.h"

namespace reelstop::lv2 {

const frame::Config& bundledConfig();
const std::vector<Variant>& bundledVariants();
// The factory presets, each with every parameter's value for this instance's parameters.
std::vector<BundledPreset> bundledPresets(const frame::Plugin& plugin);
// Built as on the main thread, by whoever holds the main lock.
std::unique_ptr<frame::Plugin> makeBundledPlugin(const frame::InstanceInfo& info);

}  // namespace reelstop::lv2
