// Sound files through libsndfile: a streaming reader and a writer.
// The reader takes any mono or stereo file; the writer uses the format the output's extension
// names. Both move planar float chunks. Main thread only.
#pragma once

#include <sndfile.h>

#include <memory>
#include <string>
#include <vector>

#include "audio_stream.h"
#include "staged_file.h"

namespace reelstop::offline {

struct SndfileCloser {
  void operator()(SNDFILE* file) const { sf_close(file); }
};

class SoundFileReader : public AudioSource {
 public:
  // Throws RenderError when the file is unreadable, empty or has more than two channels.
  explicit SoundFileReader(const std::string& path);
  int channelCount() const override { return mInfo.channels; }
  int sampleRateHz() const override { return mInfo.samplerate; }
  int64_t frames() const override { return mInfo.frames; }
  void read(float* const* channels, int nFrames) override;

 private:
  std::string mPath;
  SF_INFO mInfo{};
  std::unique_ptr<SNDFILE, SndfileCloser> mFile;
  std::vector<float> mInterleaved;
};

// The libsndfile format for a file name: 32-bit float WAV unless the extension names another
// format libsndfile writes, then its most faithful sample type for these channels and rate.
int outputFormatFor(const std::string& path, int channels, int sampleRateHz);

class SoundFileWriter : public AudioSink {
 public:
  // Writes into the staged file; throws RenderError when libsndfile refuses the format.
  SoundFileWriter(StagedFile& file, int channels, int sampleRateHz, int format);
  void write(const float* const* channels, int nFrames) override;
  // Completes the file's headers; the staged file can then be committed.
  void finish();

 private:
  std::string mFailure;  // the start of every error message
  int mChannels;
  std::unique_ptr<SNDFILE, SndfileCloser> mFile;
  std::vector<float> mInterleaved;
};

}  // namespace reelstop::offline
