// AudioSource and AudioSink: the render loop's input and output, a chunk at a time.
// Chunks of planar frames, so that a long file never has to sit in memory whole.
#pragma once

#include <cstdint>
#include <vector>

namespace reelstop::offline {

class AudioSource {
 public:
  virtual ~AudioSource() = default;
  virtual int channelCount() const = 0;
  virtual int sampleRateHz() const = 0;
  virtual int64_t frames() const = 0;
  // The next nFrames frames into channels[0 .. channelCount); throws RenderError.
  virtual void read(float* const* channels, int nFrames) = 0;
};

class AudioSink {
 public:
  virtual ~AudioSink() = default;
  virtual void write(const float* const* channels, int nFrames) = 0;
};

// Audio held in memory: one buffer per channel, all the same length.
struct Audio {
  int sampleRateHz = 48000;
  std::vector<std::vector<float>> channels;

  int channelCount() const { return static_cast<int>(channels.size()); }
  int64_t frames() const { return channels.empty() ? 0 : static_cast<int64_t>(channels[0].size()); }
};

// Plays Audio from its start.
class MemorySource : public AudioSource {
 public:
  explicit MemorySource(Audio audio) : mAudio(std::move(audio)) {}
  int channelCount() const override { return mAudio.channelCount(); }
  int sampleRateHz() const override { return mAudio.sampleRateHz; }
  int64_t frames() const override { return mAudio.frames(); }
  void read(float* const* channels, int nFrames) override;

 private:
  Audio mAudio;
  int64_t mPosition = 0;
};

}  // namespace reelstop::offline
