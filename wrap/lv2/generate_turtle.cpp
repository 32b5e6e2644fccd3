// Build-time program: writes manifest.ttl and the description into the bundle folder given, from
// the bundled plug-in built in the headless host, so the ports describe exactly its parameters.
#include <fstream>
#include <iostream>

#include "bundled_plugin.h"
#include "frame/headless_host.h"
#include "turtle_writer.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: " << argv[0] << " BUNDLE_FOLDER BINARY_NAME EDITOR_BINARY_NAME\n";
    return 2;
  }
  using namespace reelstop::lv2;
  const std::string folder = argv[1];
  frame::HeadlessHost host(makeBundledPlugin, frame::EHost::kHostLV2);
  std::ofstream manifest(folder + "/manifest.ttl");
  writeManifest(manifest, bundledConfig(), bundledVariants(), argv[2], argv[3]);
  std::ofstream description(folder + "/" + descriptionFileName(bundledConfig()));
  writeDescription(description, host.plugin(), bundledVariants());
  manifest.close();
  description.close();
  if (!manifest || !description) {
    std::cerr << "cannot write the Turtle into " << folder << "\n";
    return 1;
  }
  return 0;
}
