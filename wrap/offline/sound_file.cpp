// Reading and writing sound files with libsndfile, (de)interleaving a chunk at a time.
#include "sound_file.h"

#include "render_error.h"
#include "text_parse.h"

namespace reelstop::offline {
namespace {

constexpr int kMaxChannels = 2;

// Extensions libsndfile's table lists under other names ("oga", "m1a"), or under several formats.
int majorFormatAlias(const std::string& extension) {
  if (extension == "wav") return SF_FORMAT_WAV;
  if (extension == "ogg" || extension == "opus") return SF_FORMAT_OGG;
  if (extension == "aif") return SF_FORMAT_AIFF;
  if (extension == "mp3") return SF_FORMAT_MPEG;
  return 0;
}

int majorFormatFor(const std::string& extension) {
  if (const int alias = majorFormatAlias(extension)) return alias;
  int count = 0;
  sf_command(nullptr, SFC_GET_FORMAT_MAJOR_COUNT, &count, sizeof count);
  for (int i = 0; i < count; ++i) {
    SF_FORMAT_INFO info{};
    info.format = i;
    sf_command(nullptr, SFC_GET_FORMAT_MAJOR, &info, sizeof info);
    if (info.extension != nullptr && extension == info.extension) return info.format;
  }
  return 0;
}

}  // namespace

SoundFileReader::SoundFileReader(const std::string& path)
    : mPath(path), mFile(sf_open(path.c_str(), SFM_READ, &mInfo)) {
  if (!mFile) throw RenderError("cannot read '" + path + "': " + sf_strerror(nullptr));
  if (mInfo.channels > kMaxChannels) {
    throw RenderError("'" + path + "' has " + std::to_string(mInfo.channels) +
                      " channels; only mono and stereo files are taken");
  }
  if (mInfo.frames <= 0) throw RenderError("'" + path + "' holds no audio");
}

void SoundFileReader::read(float* const* channels, int nFrames) {
  const int nch = mInfo.channels;
  mInterleaved.resize(static_cast<size_t>(nFrames) * static_cast<size_t>(nch));
  if (sf_readf_float(mFile.get(), mInterleaved.data(), nFrames) != nFrames) {
    throw RenderError("cannot read '" + mPath + "': it ends early");
  }
  for (int c = 0; c < nch; ++c) {
    for (int f = 0; f < nFrames; ++f) {
      channels[c][f] = mInterleaved[static_cast<size_t>(f) * static_cast<size_t>(nch) + static_cast<size_t>(c)];
    }
  }
}

int outputFormatFor(const std::string& path, int channels, int sampleRateHz) {
  const size_t slash = path.rfind('/');
  const size_t dot = path.rfind('.');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
  const std::string extension = hasExtension ? lowerCase(path.substr(dot + 1)) : "";
  const int major = majorFormatFor(extension);
  if (major == 0 || major == SF_FORMAT_WAV) return SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  // Float, then the deepest integers, then the lossy codecs of the containers that hold only those.
  const int preferred = extension == "opus" ? SF_FORMAT_OPUS : SF_FORMAT_FLOAT;
  const int subtypes[] = {preferred,        SF_FORMAT_FLOAT,  SF_FORMAT_PCM_24,
                          SF_FORMAT_PCM_16, SF_FORMAT_VORBIS, SF_FORMAT_MPEG_LAYER_III};
  for (const int subtype : subtypes) {
    const SF_INFO info{0, sampleRateHz, channels, major | subtype, 0, 0};
    if (sf_format_check(&info)) return major | subtype;
  }
  return SF_FORMAT_WAV | SF_FORMAT_FLOAT;
}

SoundFileWriter::SoundFileWriter(StagedFile& file, int channels, int sampleRateHz, int format)
    : mFailure("cannot write '" + file.finalPath() + "': "), mChannels(channels) {
  SF_INFO info{0, sampleRateHz, channels, format, 0, 0};
  mFile.reset(sf_open_fd(file.descriptor(), SFM_WRITE, &info, SF_FALSE));
  if (!mFile) throw RenderError(mFailure + sf_strerror(nullptr));
  // Integer formats clip a sample past full scale instead of wrapping it round.
  sf_command(mFile.get(), SFC_SET_CLIPPING, nullptr, SF_TRUE);
  // The peak chunk carries the time of writing; without it the same render gives the same bytes.
  sf_command(mFile.get(), SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
}

void SoundFileWriter::write(const float* const* channels, int nFrames) {
  mInterleaved.resize(static_cast<size_t>(nFrames) * static_cast<size_t>(mChannels));
  for (int c = 0; c < mChannels; ++c) {
    for (int f = 0; f < nFrames; ++f) {
      mInterleaved[static_cast<size_t>(f) * static_cast<size_t>(mChannels) + static_cast<size_t>(c)] = channels[c][f];
    }
  }
  if (sf_writef_float(mFile.get(), mInterleaved.data(), nFrames) != nFrames) {
    throw RenderError(mFailure + sf_strerror(mFile.get()));
  }
}

void SoundFileWriter::finish() {
  if (sf_close(mFile.release()) != 0) throw RenderError(mFailure + "the file could not be finished");
}

}  // namespace reelstop::offline
