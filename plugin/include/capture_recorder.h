// CaptureRecorder: with its marker file present at a reset, records the first 30 seconds of
// signal (dry input, processed output, tape speed) and the spin-ups among them, for tuning the
// engine; the timer writes them out as a WAV and a CSV file.
// Threads: arm runs in the reset, under the main lock while audio is stopped, and allocates; the
// block and release hooks run on the audio thread and only copy; takeFull and write run on the
// main thread, after the audio thread has set the atomic full flag and stopped touching the
// recording, so everything the files report was taken by the audio thread.
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
  void arm(double sampleRateHz, int blockSize);
  bool enabled() const { return mEnabled; }

  // Before the engine: keeps the block's dry input (outputs still hold it).
  void beforeEngine(float* const* dry, int channels, int nFrames);
  // What the audio thread knows of a block besides its audio.
  struct BlockContext {
    bool stereoOutput;
    double speed;  // the engine's, after the block
    bool songPlaying;
    double blockPpq;
    double tempo;  // beats per minute
    double beatsPerBar;
    double snapGridBeats;  // the "Snap" grid, 0 for "Free"
  };
  // After the engine: records the block once the signal has begun.
  void afterEngine(float* const* processed, int channels, int nFrames, const BlockContext& context);
  // A spin-up beginning offset samples into the block.
  void logRelease(int offset, double rampSamples, double blockPpq, double gridBeats, bool songPlaying);

  // True once per recording, when it is full: the caller then writes it.
  bool takeFull();
  // Writes the WAV and the CSV; failures pass silently.
  void write() const;

 private:
  struct ReleaseLogEntry {
    int32_t sample;
    double ramp;
    double blockPpq;
    double grid;
    bool playing;
  };
  static constexpr int kReleaseLogSize = 64;

  void writeWav() const;
  std::string csvText() const;

  bool mEnabled = false;
  double mSampleRate = 48000.0;  // Hz, of the recording
  std::vector<float> mIn;        // mono mix of the dry input
  std::vector<float> mOut;       // mono mix of the processed output
  std::vector<float> mSpeed;     // engine speed of each sample
  std::vector<float> mBlock;     // the current block's dry input, channel after channel
  int32_t mWritePos = 0;
  bool mCapturing = false;
  std::atomic<bool> mFull{false};
  bool mWritten = false;
  double mPpqAtStart = -1.0;
  // The tempo context when the recording became full: the CSV describes the recording, not the
  // moment of writing.
  double mFullTempo = 0.0;
  double mFullBeatsPerBar = 0.0;
  double mFullGridBeats = 0.0;
  std::array<ReleaseLogEntry, kReleaseLogSize> mReleaseLog{};
  int32_t mReleaseLogCount = 0;
  // The current block, as the hook before the engine found it.
  bool mBlockToRecord = false;
  bool mBlockSilent = true;
};

}  // namespace reelstop
