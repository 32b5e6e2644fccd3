// EngineHost's life cycle and the hand-over of slots between the main and the audio thread.
#include "engine_host.h"

#include "data_folder.h"
#include "file_bytes.h"

namespace reelstop {

namespace {

// Takes ownership of what a hand-over cell holds, leaving it empty.
std::unique_ptr<Slot> take(std::atomic<Slot*>& cell) { return std::unique_ptr<Slot>(cell.exchange(nullptr)); }

}  // namespace

EngineHost::EngineHost() { mActive = makeBuiltIn(); }

EngineHost::~EngineHost() {
  take(mPending).reset();
  take(mRetired).reset();
  mActive.reset();
}

std::unique_ptr<Slot> EngineHost::makeBuiltIn() const {
  auto slot = std::make_unique<Slot>();
  slot->api = builtInApi();
  slot->engine = rs_create(mChannels, mSampleRate);
  slot->label = std::string("built-in ") + rs_build_id();
  return slot;
}

void EngineHost::poll() {
  take(mRetired).reset();
  if (mPending.load() != nullptr) return;
  const std::string path = devLibrary();
  if (!fileExists(path)) return;
  const std::vector<char> bytes = readFileBytes(path);
  if (bytes.empty()) return;
  const uint64_t hash = fnv1a64(bytes);
  if (hash == mLoadedHash) return;
  // A build still being written changes between polls: load only bytes seen twice in a row.
  if (hash != mSeenHash) {
    mSeenHash = hash;
    return;
  }
  mLoadedHash = hash;  // a refused build is not retried until its bytes change
  std::unique_ptr<Slot> slot = loadDev(path);
  if (slot == nullptr) {
    mStatus = "dev engine failed to load (ABI " + std::to_string(kEngineAbiVersion) + ")";
    return;
  }
  mStatus = slot->label;
  mPending.exchange(slot.release());
}

bool EngineHost::beginBlock() {
  // Retired has one place: swapping while poll has not yet collected it would overwrite a slot
  // nobody then destroys, so the published build waits for a block after the next poll.
  if (mRetired.load() != nullptr) return false;
  Slot* next = mPending.exchange(nullptr);
  if (next == nullptr) return false;
  Slot* previous = mActive.release();
  mActive.reset(next);  // mActive is empty after release: nothing is freed here
  mRetired.store(previous);
  return true;
}

void EngineHost::prepare(double sampleRateHz, int32_t channelCount) {
  mSampleRate = sampleRateHz;
  mChannels = channelCount < 1 ? 1 : channelCount;
  if (std::unique_ptr<Slot> next = take(mPending)) mActive = std::move(next);
  take(mRetired).reset();
  mActive->api.destroy(mActive->engine);
  mActive->engine = mActive->api.create(mChannels, mSampleRate);
}

}  // namespace reelstop
