// The bundle's plug-ins from the configuration's channel list.
#include "bundle.h"

#include <cstdlib>
#include <sstream>

namespace reelstop::lv2 {
namespace {

std::string labelFor(int channels) {
  if (channels == 1) return "mono";
  if (channels == 2) return "stereo";
  return std::to_string(channels) + " channels";
}

}  // namespace

std::vector<Variant> variantsOf(const frame::Config& config) {
  std::vector<Variant> variants;
  std::istringstream pairs(config.channelIOStr);
  for (std::string pair; pairs >> pair;) {
    // An effect with as many outputs as inputs: the outputs' count names the configuration.
    const int channels = std::atoi(pair.c_str() + pair.find('-') + 1);  // 0 when the pair is not "in-out"
    if (channels < 1 || channels > kMaxChannels) continue;
    const std::string label = labelFor(channels);
    std::string fragment = label;
    for (char& c : fragment) c = c == ' ' ? '_' : c;
    variants.push_back({std::string(config.projectUri) + "#" + fragment, label, channels,
                        PortLayout{static_cast<uint32_t>(config.nParams), channels}});
  }
  return variants;
}

std::string stateChunkUri(const frame::Config& config) { return std::string(config.projectUri) + "#state"; }

std::string editorUri(const frame::Config& config) { return std::string(config.projectUri) + "#ui"; }

std::string descriptionFileName(const frame::Config& config) { return std::string(config.pluginName) + ".ttl"; }

std::string presetsFileName() { return "presets.ttl"; }

}  // namespace reelstop::lv2
