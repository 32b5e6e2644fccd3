// The bundle's plug-ins and their port layout, made from the bundled plug-in's configuration and
// shared by the DSP wrapper and the Turtle generator, so the two can never disagree about an
// index or a URI. Nothing here knows which plug-in the bundle carries.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "frame/config.h"

namespace reelstop::lv2 {

// Ports: one control input per parameter at its index, the latency output, the atom input for
// MIDI and the transport, the audio inputs and outputs, then an atom input for the transport
// alone. Ardour feeds an atom input that takes MIDI only while its MIDI is connected, but one
// that takes time:Position alone always; it comes last so that no port that sessions saved
// before it existed changes its index.
struct PortLayout {
  uint32_t params;
  int channels;

  uint32_t latency() const { return params; }
  uint32_t events() const { return params + 1; }
  uint32_t audioInput(int channel) const { return params + 2 + static_cast<uint32_t>(channel); }
  uint32_t audioOutput(int channel) const { return audioInput(channels + channel); }
  uint32_t transport() const { return audioOutput(channels); }
  uint32_t count() const { return transport() + 1; }
};

// The most audio channels a plug-in of the bundle takes in (and out): the instance keeps its
// buffers' pointers in place, with nothing to allocate.
constexpr int kMaxChannels = 8;

// One plug-in per in-out pair of the configuration's channel list ("1-1 2-2"), in
// lv2_descriptor's index order; pairs of more than kMaxChannels are left out.
struct Variant {
  std::string uri;
  std::string label;  // tells the channel configurations apart in the name: "mono", "stereo"
  int channels;       // audio inputs, and as many outputs
  PortLayout ports;
};

std::vector<Variant> variantsOf(const frame::Config& config);

// A factory preset of the bundled plug-in: every parameter's plain value, in index order.
struct BundledPreset {
  std::string name;
  std::string description;
  std::vector<double> values;
};
// Where a preset is described: "presets.ttl".
std::string presetsFileName();
// The one state property: the plug-in's own state chunk.
std::string stateChunkUri(const frame::Config& config);
// The one editor of every plug-in: an X11 UI in a binary of its own.
std::string editorUri(const frame::Config& config);
// The Turtle file that describes the plug-ins: "reelstop.ttl".
std::string descriptionFileName(const frame::Config& config);

}  // namespace reelstop::lv2
