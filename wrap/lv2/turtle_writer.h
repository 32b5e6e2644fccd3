// The bundle's Turtle, written from the plug-in's own parameter table and configuration, so the
// ports' ranges, defaults, steps, texts and units are those the plug-in uses.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "bundle.h"
#include "frame/plugin.h"

namespace reelstop::lv2 {

// manifest.ttl: the plug-ins and their editor, their binaries and where they are described.
void writeManifest(std::ostream& out, const frame::Config& config, const std::vector<Variant>& variants,
                   const std::string& binaryName, const std::string& editorBinaryName);
// The description file: the project, the full description of every plug-in in the bundle and of
// the editor they share.
void writeDescription(std::ostream& out, const frame::Plugin& plugin, const std::vector<Variant>& variants);

}  // namespace reelstop::lv2
