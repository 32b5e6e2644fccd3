// Build-time program: writes manifest.ttl and reelstop.ttl into the bundle folder given, from a
// Reelstop built in the headless host, so the ports describe exactly its parameters.
#include <fstream>
#include <iostream>
#include <memory>

#include "bundle.h"
#include "frame/headless_host.h"
#include "reelstop.h"
#include "turtle_writer.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: " << argv[0] << " BUNDLE_FOLDER\n";
    return 2;
  }
  const std::string folder = argv[1];
  frame::HeadlessHost host([](const frame::InstanceInfo& info) { return std::make_unique<reelstop::Reelstop>(info); },
                           frame::EHost::kHostLV2);
  std::ofstream manifest(folder + "/manifest.ttl");
  reelstop::lv2::writeManifest(manifest);
  std::ofstream description(folder + "/" + reelstop::lv2::kDescriptionName);
  reelstop::lv2::writeDescription(description, host.plugin());
  manifest.close();
  description.close();
  if (!manifest || !description) {
    std::cerr << "cannot write the Turtle into " << folder << "\n";
    return 1;
  }
  return 0;
}
