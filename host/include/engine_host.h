// EngineHost: runs the built-in tape engine and swaps in a rebuilt development library while audio plays.
// Audio thread: beginBlock and current only; they never allocate, lock, load, free or log.
// Main thread only: everything else; prepare only while audio is stopped.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "slot.h"

namespace reelstop {

class EngineHost {
 public:
  EngineHost();
  ~EngineHost();
  EngineHost(const EngineHost&) = delete;
  EngineHost& operator=(const EngineHost&) = delete;

  // The process's own engine at the host's sample rate and channel count.
  std::unique_ptr<Slot> makeBuiltIn() const;

  // Where the development library is watched: dev/reelstop_engine.so in the data folder.
  static std::string devLibrary();

  // Loads a private copy of the library at path; null when it is unreadable, empty, of another
  // interface version or latency, lacks an entry point, or cannot create an engine.
  std::unique_ptr<Slot> loadDev(const std::string& path) const;

  // Every 500 ms: destroys the slot the audio thread let go of, and publishes a changed
  // development library once two consecutive polls saw the same bytes.
  void poll();

  // First thing in every block: swaps in a published slot; true when it did.
  bool beginBlock();

  // Host reset: applies the rate and channel count (at least 1) and recreates the engine.
  void prepare(double sampleRateHz, int32_t channelCount);

  // Audio thread: the slot to process with, valid until the next beginBlock or prepare.
  const Slot& current() const { return *mActive; }
  // Main thread: "built-in engine", "dev <build id>" or "dev engine failed to load (ABI 3)".
  const std::string& statusText() const { return mStatus; }

 private:
  std::unique_ptr<Slot> mActive;         // owned by the audio thread while audio runs
  std::atomic<Slot*> mPending{nullptr};  // main thread -> audio thread
  std::atomic<Slot*> mRetired{nullptr};  // audio thread -> main thread
  double mSampleRate = 48000.0;          // Hz
  int32_t mChannels = 2;
  uint64_t mLoadedHash = 0;  // the bytes last handed to loadDev
  uint64_t mSeenHash = 0;    // the bytes the previous poll saw
  std::string mStatus = "built-in engine";
};

}  // namespace reelstop
