// EditorLink: everything the editor and the audio thread share, each a single atomic value.
// The editor writes the hand state; the audio thread publishes the display values once per block.
// No lock is taken on either side.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

namespace reelstop {

constexpr int kPeakSlotSamples = 128;
constexpr int kPeakHistorySlots = 16384;  // about 44 seconds at 48 kHz

struct EditorLink {
  // The hand as the editor and the offline host move it (main thread).
  void pressHand() { handDown.store(true); }
  void drag(double angleRad) {
    scratchAngle.store(angleRad);
    scratching.store(true);
  }
  // Scratching first, so the audio thread never sees a scratch without a hand.
  void releaseHand() {
    scratching.store(false);
    handDown.store(false);
  }

  // Written by the editor (main thread), read by the audio thread in every decision.
  std::atomic<bool> handDown{false};      // the hand holds the record: the tape stops
  std::atomic<bool> scratching{false};    // the hand drags the record: the tape follows
  std::atomic<double> scratchAngle{0.0};  // radians turned since the drag began, clockwise positive

  // Written by the audio thread once per block, read by the editor every frame.
  std::atomic<float> displaySpeed{1.0f};                            // engine speed after the last block
  std::atomic<double> platterPhase{0.0};                            // angle of the drawn record, radians
  std::atomic<bool> active{false};                                  // the record turns (false: idle and silent)
  std::atomic<uint32_t> blockCount{0};                              // blocks processed
  std::array<std::atomic<float>, kPeakHistorySlots> peakHistory{};  // input peak per 128 samples, a ring
  std::atomic<int64_t> samplesSeen{0};                              // input samples counted into peakHistory
  std::atomic<double> playhead{0.0};                                // samplesSeen position of the sample now heard
  std::atomic<double> samplesPerTurn{86400.0};                      // song samples per turn of the record
  std::atomic<double> barOriginSample{0.0};                         // samplesSeen position of song position 0
  std::atomic<double> samplesPerBeat{24000.0};
};

}  // namespace reelstop
