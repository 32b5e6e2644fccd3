// The bundle's names and port layout, shared by the DSP wrapper and the Turtle generator so the
// two can never disagree about an index or a URI.
#pragma once

#include <cstdint>

#include "params.h"

namespace reelstop::lv2 {

#define REELSTOP_LV2_PROJECT "https://ferncliff.example/plugins/reelstop"

constexpr const char* kProjectUri = REELSTOP_LV2_PROJECT;
// The one state property: the plug-in's own state chunk.
constexpr const char* kStateChunkUri = REELSTOP_LV2_PROJECT "#state";
constexpr const char* kBinaryName = "reelstop_dsp.so";
constexpr const char* kDescriptionName = "reelstop.ttl";

// The channel configurations "1-1 2-2": one plug-in each, in lv2_descriptor's index order.
struct Variant {
  const char* uri;
  const char* label;  // tells mono and stereo apart in the name
  int channels;       // audio inputs, and as many outputs
};
constexpr Variant kVariants[] = {
    {REELSTOP_LV2_PROJECT "#mono", "mono", 1},
    {REELSTOP_LV2_PROJECT "#stereo", "stereo", 2},
};
constexpr int kVariantCount = 2;
constexpr int kMaxChannels = 2;

// Ports: one control input per parameter at its EParams index, the latency output, the atom
// input for MIDI and the transport, the audio inputs and outputs, then an atom input for the
// transport alone. Ardour feeds an atom input that takes MIDI only while its MIDI is connected,
// but one that takes time:Position alone always; it comes last so that no port that sessions
// saved before it existed changes its index.
constexpr uint32_t kLatencyPort = kNumParams;
constexpr uint32_t kEventPort = kNumParams + 1;
constexpr uint32_t kFirstAudioPort = kNumParams + 2;
constexpr uint32_t audioInputPort(int channel) { return kFirstAudioPort + static_cast<uint32_t>(channel); }
constexpr uint32_t audioOutputPort(const Variant& variant, int channel) {
  return kFirstAudioPort + static_cast<uint32_t>(variant.channels + channel);
}
constexpr uint32_t transportPort(const Variant& variant) { return audioOutputPort(variant, variant.channels); }
constexpr uint32_t portCount(const Variant& variant) { return transportPort(variant) + 1; }

}  // namespace reelstop::lv2
