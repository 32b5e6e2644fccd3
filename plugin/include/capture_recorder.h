// CaptureRecorder: with its marker file present at a reset, records the first 30 seconds of
// signal (dry input, processed output, tape speed) and the spin-ups among them, for tuning the
// engine; the timer writes them out as a WAV and a CSV file.
// Threads: arm runs in the reset (audio stopped) and allocates; the block and release hooks run
// on the audio thread and only copy; takeFull and write run on the main thread, after the audio
// thread has set the atomic full flag and stopped touching the buffers.
#pragma once

#include <array>
#include <atomic>
#include <string>
#include <vector>

namespace reelstop {

class CaptureRecorder {
 public:
  static std::string folder();  // the application data folder's "capture" subfolder

  // At every reset: armed when the marker exists, with buffers for 30 seconds.
  void arm(double sampleRate, int blockSize);
  bool enabled() const { return captureEnabled; }

  // Before the engine: keeps the block's dry input (outputs still hold it).
  void beforeEngine(float* const* dry, int channels, int nFrames);
  // After the engine: records the block once the signal has begun.
  void afterEngine(float* const* processed, int channels, int nFrames, bool stereoOutput, double speed,
                   bool songPlaying, double blockPpq);
  // A spin-up beginning offset samples into the block.
  void logRelease(int offset, double rampSamples, double blockPpq, double gridBeats, bool songPlaying);

  // True once per recording, when it is full: the caller then writes it.
  bool takeFull();
  // Writes the WAV and the CSV; failures pass silently.
  void write(double sampleRate, double tempo, double beatsPerBar, double gridBeats) const;

 private:
  struct ReleaseLogEntry {
    int32_t sample;
    double ramp;
    double blockPpq;
    double grid;
    bool playing;
  };
  static constexpr int kReleaseLogSize = 64;

  void writeWav(double sampleRate) const;
  std::string csvText(double sampleRate, double tempo, double beatsPerBar, double gridBeats) const;

  bool captureEnabled = false;
  std::vector<float> captureIn;     // mono mix of the dry input
  std::vector<float> captureOut;    // mono mix of the processed output
  std::vector<float> captureSpeed;  // engine speed of each sample
  std::vector<float> captureBlock;  // the current block's dry input, channel after channel
  int32_t captureWritePos = 0;
  bool capturing = false;
  std::atomic<bool> captureFull{false};
  bool captureWritten = false;
  double capturePpq = -1.0;
  std::array<ReleaseLogEntry, kReleaseLogSize> releaseLog{};
  int32_t releaseLogCount = 0;
  // The current block, as the hook before the engine found it.
  bool blockToRecord = false;
  bool blockSilent = true;
};

}  // namespace reelstop
