// WAV files through libsndfile, 32-bit float, the channels planar in memory.
#include "wav_file.h"

#include <sndfile.h>

#include <stdexcept>

namespace reelstop::lv2::test {

void writeWav(const std::string& path, const WavFile& wav) {
  const auto channels = static_cast<int>(wav.channels.size());
  const size_t frames = channels > 0 ? wav.channels[0].size() : 0;
  std::vector<float> interleaved(frames * wav.channels.size());
  for (size_t c = 0; c < wav.channels.size(); ++c) {
    for (size_t i = 0; i < frames; ++i) interleaved[i * wav.channels.size() + c] = wav.channels[c][i];
  }
  SF_INFO info{0, wav.sampleRateHz, channels, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 0, 0};
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (file == nullptr) throw std::runtime_error("cannot write " + path);
  const auto written = sf_writef_float(file, interleaved.data(), static_cast<sf_count_t>(frames));
  sf_close(file);
  if (written != static_cast<sf_count_t>(frames)) throw std::runtime_error("cannot write " + path);
}

WavFile readWav(const std::string& path) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (file == nullptr) throw std::runtime_error("cannot read " + path);
  if ((info.format & SF_FORMAT_SUBMASK) != SF_FORMAT_FLOAT) {
    sf_close(file);
    throw std::runtime_error(path + " is not 32-bit float");
  }
  const auto channels = static_cast<size_t>(info.channels);
  const auto frames = static_cast<size_t>(info.frames);
  std::vector<float> interleaved(frames * channels);
  sf_readf_float(file, interleaved.data(), info.frames);
  sf_close(file);
  WavFile wav{info.samplerate, Signal(channels, std::vector<float>(frames))};
  for (size_t c = 0; c < channels; ++c) {
    for (size_t i = 0; i < frames; ++i) wav.channels[c][i] = interleaved[i * channels + c];
  }
  return wav;
}

}  // namespace reelstop::lv2::test
