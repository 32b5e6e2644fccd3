// EngineHost's life cycle and the hand-over of slots between the main and the audio thread.
#include "engine_host.h"

#include "data_folder.h"
#include "file_bytes.h"

namespace reelstop {

namespace {

// Takes ownership of what a hand-over cell holds, leaving it empty.
std::unique_ptr<Slot> take(std::atomic<Slot*>& cell) { return std::unique_ptr<Slot>(cell.exchange(nullptr)); }

}  // namespace

EngineHost::EngineHost() { active = makeBuiltIn(); }

EngineHost::~EngineHost() {
  take(pending).reset();
  take(retired).reset();
  active.reset();
}

std::unique_ptr<Slot> EngineHost::makeBuiltIn() const {
  auto slot = std::make_unique<Slot>();
  slot->api = builtInApi();
  slot->engine = rs_create(channels, sampleRate);
  slot->label = std::string("built-in ") + rs_build_id();
  return slot;
}

void EngineHost::poll() {
  take(retired).reset();
  if (pending.load() != nullptr) return;
  const std::string path = devLibrary();
  if (!fileExists(path)) return;
  const std::vector<char> bytes = readFileBytes(path);
  if (bytes.empty()) return;
  const uint64_t hash = fnv1a64(bytes);
  if (hash == loadedHash) return;
  // A build still being written changes between polls: load only bytes seen twice in a row.
  if (hash != seenHash) {
    seenHash = hash;
    return;
  }
  loadedHash = hash;  // a refused build is not retried until its bytes change
  std::unique_ptr<Slot> slot = loadDev(path);
  if (slot == nullptr) {
    status = "dev engine failed to load (ABI " + std::to_string(kEngineAbiVersion) + ")";
    return;
  }
  status = slot->label;
  pending.exchange(slot.release());
}

bool EngineHost::beginBlock() {
  // Retired has one place: swapping while poll has not yet collected it would overwrite a slot
  // nobody then destroys, so the published build waits for a block after the next poll.
  if (retired.load() != nullptr) return false;
  Slot* next = pending.exchange(nullptr);
  if (next == nullptr) return false;
  Slot* previous = active.release();
  active.reset(next);  // active is empty after release: nothing is freed here
  retired.store(previous);
  return true;
}

void EngineHost::prepare(double sampleRateHz, int32_t channelCount) {
  sampleRate = sampleRateHz;
  channels = channelCount < 1 ? 1 : channelCount;
  if (std::unique_ptr<Slot> next = take(pending)) active = std::move(next);
  take(retired).reset();
  active->api.destroy(active->engine);
  active->engine = active->api.create(channels, sampleRate);
}

}  // namespace reelstop
