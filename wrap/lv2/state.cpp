// Instance state: the plug-in's state chunk as one atom:Chunk property, byte for byte.
// Instantiation class (never during run); the plug-in's state calls are main-thread calls, so
// they run under the main lock, away from the timer's ticks.
#include <climits>
#include <mutex>

#include "frame/main_lock.h"
#include "instance.h"

namespace reelstop::lv2 {

LV2_State_Status Instance::save(LV2_State_Store_Function store, LV2_State_Handle handle) {
  frame::IByteChunk chunk;
  {
    const std::lock_guard<std::recursive_mutex> main(frame::MainLock());
    // A port moved since the last run counts: saved before any run, it would be lost.
    mControls.pull(*mPlugin);
    mPlugin->SerializeState(chunk);
  }
  return store(handle, mUrids.stateChunk, chunk.GetData(), static_cast<size_t>(chunk.Size()), mUrids.atomChunk,
               LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
}

LV2_State_Status Instance::restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle) {
  size_t size = 0;
  uint32_t type = 0;
  uint32_t flags = 0;
  const void* data = retrieve(handle, mUrids.stateChunk, &size, &type, &flags);
  if (data == nullptr) return LV2_STATE_ERR_NO_PROPERTY;
  if (type != mUrids.atomChunk) return LV2_STATE_ERR_BAD_TYPE;
  if (size > INT_MAX) return LV2_STATE_ERR_UNKNOWN;
  const frame::IByteChunk chunk(data, static_cast<int>(size));

  const std::lock_guard<std::recursive_mutex> main(frame::MainLock());
  frame::IByteChunk before;
  mPlugin->SerializeState(before);
  if (mPlugin->UnserializeState(chunk, 0) < 0) {
    // A chunk cut inside the values has restored the complete ones: a refusal changes nothing,
    // so everything goes back as it was.
    mPlugin->UnserializeState(before, 0);
    return LV2_STATE_ERR_UNKNOWN;
  }
  mControls.restored(*mPlugin);
  return LV2_STATE_SUCCESS;
}

}  // namespace reelstop::lv2
