// Build-time program: writes manifest.ttl, the description and the presets into the bundle folder
// given, from the bundled plug-in built in the headless host, so the ports describe exactly its
// parameters and the presets carry exactly the state it saves.
#include <fstream>
#include <iostream>

#include "bundled_plugin.h"
#include "frame/headless_host.h"
#include "preset_writer.h"
#include "turtle_writer.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: " << argv[0] << " BUNDLE_FOLDER BINARY_NAME EDITOR_BINARY_NAME\n";
    return 2;
  }
  using namespace reelstop::lv2;
  const std::string folder = argv[1];
  frame::HeadlessHost host(makeBundledPlugin, frame::EHost::kHostLV2);
  const std::vector<BundledPreset> presets = bundledPresets(host.plugin());
  std::ofstream manifest(folder + "/manifest.ttl");
  writeManifest(manifest, bundledConfig(), bundledVariants(), argv[2], argv[3]);
  writePresetManifest(manifest, bundledConfig(), bundledVariants(), presets);
  std::ofstream description(folder + "/" + descriptionFileName(bundledConfig()));
  writeDescription(description, host.plugin(), bundledVariants());
  std::ofstream presetFile(folder + "/" + presetsFileName());
  writePresets(presetFile, host, bundledVariants(), presets);
  manifest.close();
  description.close();
  presetFile.close();
  if (!manifest || !description || !presetFile) {
    std::cerr << "cannot write the Turtle into " << folder << "\n";
    return 1;
  }
  return 0;
}
