// Instance: creation from the host's features and options, the ports, activation.
#include "instance.h"

#include <lv2/urid/urid.h>

#include <algorithm>
#include <cstring>
#include <mutex>

#include "bundled_plugin.h"
#include "frame/main_lock.h"
#include "host_features.h"

namespace reelstop::lv2 {
namespace {

// Without a bound from the host, the plug-in is reset for this and longer runs are split.
constexpr int kDefaultMaxFrames = 4096;
// A larger bound than this buys nothing but memory: runs are split to it all the same.
constexpr int kLargestMaxFrames = 16384;

// The host's bufsz:maxBlockLength, else its nominalBlockLength, else the default.
int maxBlockFrames(const LV2_Options_Option* options, const Urids& urids) {
  int maxFrames = 0;
  int nominalFrames = 0;
  for (const LV2_Options_Option* o = options; o != nullptr && o->key != 0; ++o) {
    if (o->type != urids.atomInt || o->size != sizeof(int32_t) || o->value == nullptr) continue;
    int32_t frames = 0;
    std::memcpy(&frames, o->value, sizeof frames);
    if (o->key == urids.maxBlockLength) maxFrames = frames;
    if (o->key == urids.nominalBlockLength) nominalFrames = frames;
  }
  const int frames = maxFrames > 0 ? maxFrames : nominalFrames > 0 ? nominalFrames : kDefaultMaxFrames;
  return std::min(frames, kLargestMaxFrames);
}

}  // namespace

std::unique_ptr<Instance> Instance::create(const Variant& variant, double sampleRateHz,
                                           const LV2_Feature* const* features) {
  const auto* map = static_cast<const LV2_URID_Map*>(featureData(features, LV2_URID__map));
  if (map == nullptr) return nullptr;
  const auto* options = static_cast<const LV2_Options_Option*>(featureData(features, LV2_OPTIONS__options));
  return std::unique_ptr<Instance>(new Instance(variant, sampleRateHz, *map, options));
}

Instance::Instance(const Variant& variant, double sampleRateHz, const LV2_URID_Map& map,
                   const LV2_Options_Option* options)
    : mVariant(variant),
      mUrids(map, stateChunkUri(bundledConfig())),
      mMaxFrames(maxBlockFrames(options, mUrids)),
      mTransport(mUrids, sampleRateHz),
      mControls(bundledConfig().nParams),
      mBridge(mControls) {
  build = buildStamp();
  editor = &mBridge;
  {
    // Constructed as on the main thread, its timer on this instance's own clock.
    const frame::TimerClock::Scope clock(mClock);
    const std::lock_guard<std::recursive_mutex> main(frame::MainLock());
    mPlugin = makeBundledPlugin(frame::InstanceInfo{frame::EHost::kHostLV2, &mBridge});
    mBridge.bind(*mPlugin);
  }
  mPlugin->SetSampleRate(sampleRateHz);
  mPlugin->SetBlockSize(mMaxFrames);
  mPlugin->SetChannelsConnected(variant.channels, variant.channels);
  mControls.start(*mPlugin);
}

Instance::~Instance() {
  // Destroyed as on the main thread; the clock's thread is joined afterwards, outside the lock
  // it may be waiting for.
  const std::lock_guard<std::recursive_mutex> main(frame::MainLock());
  mBridge.instanceGoing();
  mPlugin.reset();
}

void Instance::connect(uint32_t port, void* data) {
  const PortLayout& ports = mVariant.ports;
  if (port < ports.params) {
    mControls.connect(static_cast<int>(port), static_cast<const float*>(data));
  } else if (port == ports.latency()) {
    mLatencyPort = static_cast<float*>(data);
  } else if (port == ports.events()) {
    mEvents = static_cast<const LV2_Atom_Sequence*>(data);
  } else if (port == ports.transport()) {
    mTransportEvents = static_cast<const LV2_Atom_Sequence*>(data);
  } else {
    for (int c = 0; c < mVariant.channels; ++c) {
      if (port == ports.audioInput(c)) mInputs[static_cast<size_t>(c)] = static_cast<float*>(data);
      if (port == ports.audioOutput(c)) mOutputs[static_cast<size_t>(c)] = static_cast<float*>(data);
    }
  }
}

void Instance::activate() {
  // The host tells its transport afresh once it runs again.
  mTransport.reset();
  mPlugin->Reset();
}

}  // namespace reelstop::lv2
