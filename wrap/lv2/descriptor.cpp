// The LV2 entry points: one descriptor per channel configuration, each call handed to Instance.
// lv2_descriptor is the only symbol the shared object exports (exports.map).
#include <lv2/core/lv2.h>
#include <lv2/state/state.h>

#include <cstring>
#include <vector>

#include "bundled_plugin.h"
#include "instance.h"

namespace reelstop::lv2 {
namespace {

// The handle is the instance's InstanceAccess part, for an editor to read.
Instance& self(LV2_Handle handle) { return static_cast<Instance&>(*static_cast<InstanceAccess*>(handle)); }

// Instantiation class: the host calls it from any thread but never alongside another call on
// the same instance. Refuses (null) without urid:map, or when memory or threads run out.
LV2_Handle instantiate(const LV2_Descriptor* descriptor, double sampleRateHz, const char*,
                       const LV2_Feature* const* features);

// Instantiation class: the host connects ports before run and whenever buffers change.
void connectPort(LV2_Handle handle, uint32_t port, void* data) { self(handle).connect(port, data); }

// Instantiation class: audio is stopped; resets the plug-in under the main lock.
void activate(LV2_Handle handle) { self(handle).activate(); }

// Audio thread: real-time, so nothing in it allocates, locks, loads, frees or logs.
void run(LV2_Handle handle, uint32_t nFrames) { self(handle).run(nFrames); }

// Instantiation class: nothing is held between activations, so nothing to let go of.
void deactivate(LV2_Handle) {}

// Instantiation class: destroys the plug-in, then joins its timer thread.
void cleanup(LV2_Handle handle) { delete &self(handle); }

// Instantiation class, as LV2 classes state calls without the thread-safe restore feature.
LV2_State_Status save(LV2_Handle handle, LV2_State_Store_Function store, LV2_State_Handle state, uint32_t,
                      const LV2_Feature* const*) {
  return self(handle).save(store, state);
}
LV2_State_Status restore(LV2_Handle handle, LV2_State_Retrieve_Function retrieve, LV2_State_Handle state, uint32_t,
                         const LV2_Feature* const*) {
  return self(handle).restore(retrieve, state);
}

// Discovery class: any thread, and it returns static data only.
const void* extensionData(const char* uri) {
  static const LV2_State_Interface kState = {save, restore};
  return std::strcmp(uri, LV2_STATE__interface) == 0 ? &kState : nullptr;
}

// Discovery class: made once, in the order of the bundle's variants, and never changed.
const std::vector<LV2_Descriptor>& descriptors() {
  static const std::vector<LV2_Descriptor> all = [] {
    std::vector<LV2_Descriptor> made;
    for (const Variant& variant : bundledVariants()) {
      made.push_back(
          {variant.uri.c_str(), instantiate, connectPort, activate, run, deactivate, cleanup, extensionData});
    }
    return made;
  }();
  return all;
}

LV2_Handle instantiate(const LV2_Descriptor* descriptor, double sampleRateHz, const char*,
                       const LV2_Feature* const* features) {
  const Variant& variant = bundledVariants()[static_cast<size_t>(descriptor - descriptors().data())];
  // No exception may cross into the host's C code: out of memory or threads, the host is refused.
  try {
    InstanceAccess* access = Instance::create(variant, sampleRateHz, features).release();
    return access;
  } catch (...) {
    return nullptr;
  }
}

}  // namespace
}  // namespace reelstop::lv2

LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) {
  const std::vector<LV2_Descriptor>& all = reelstop::lv2::descriptors();
  return index < all.size() ? &all[index] : nullptr;
}
