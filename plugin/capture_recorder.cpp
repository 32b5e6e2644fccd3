// The capture recorder: arming, recording hooks, release log and the two files.
#include "capture_recorder.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <sstream>

#include "data_folder.h"
#include "shared_constants.h"

namespace reelstop {
namespace {

constexpr double kCaptureSeconds = 30.0;
constexpr int kMinBlockRoom = 4096;
constexpr int kCsvPrecision = 12;

std::string inDir(const char* name) { return CaptureRecorder::folder() + "/" + name; }

constexpr size_t kWavHeaderBytes = 44;
constexpr size_t kWavFrameBytes = 8;  // a 32-bit float dry sample, then a processed one
constexpr size_t kWavChunkFrames = 8192;
constexpr bool kLittleEndian = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__;

// Little-endian whatever the machine, as WAV requires.
unsigned char* putLE(unsigned char* out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) *out++ = static_cast<unsigned char>((value >> (8 * i)) & 0xFF);
  return out;
}

unsigned char* putFloatLE(unsigned char* out, float value) {
  uint32_t bits = 0;
  static_assert(sizeof bits == sizeof value);
  std::memcpy(&bits, &value, sizeof bits);
  return putLE(out, bits, 4);
}

unsigned char* putText(unsigned char* out, const char* fourCharacters) {
  std::memcpy(out, fourCharacters, 4);
  return out + 4;
}

}  // namespace

std::string CaptureRecorder::folder() { return appDataDir() + "/capture"; }

void CaptureRecorder::arm(double sampleRateHz, int blockSize) {
  mEnabled = fileExists(inDir("reelstop-capture.on"));
  if (!mEnabled) return;
  mSampleRate = sampleRateHz;
  const auto capacity = static_cast<size_t>(kCaptureSeconds * sampleRateHz);
  mIn.assign(capacity, 0.0f);
  mOut.assign(capacity, 0.0f);
  mSpeed.assign(capacity, 0.0f);
  mBlock.assign(2 * static_cast<size_t>(std::max(blockSize, kMinBlockRoom)), 0.0f);
  mWritePos = 0;
  mReleaseLogCount = 0;
  mCapturing = false;
  mFull.store(false);
  mWritten = false;
}

void CaptureRecorder::beforeEngine(float* const* dry, int channels, int nFrames) {
  mBlockToRecord = false;
  if (!mEnabled || mFull.load() || nFrames <= 0) return;
  if (2 * static_cast<size_t>(nFrames) > mBlock.size()) return;
  float loudest = 0.0f;
  const auto frames = static_cast<size_t>(nFrames);
  for (int c = 0; c < channels; ++c) {
    for (int i = 0; i < nFrames; ++i) {
      mBlock[static_cast<size_t>(c) * frames + static_cast<size_t>(i)] = dry[c][i];
      loudest = std::max(loudest, std::fabs(dry[c][i]));
    }
  }
  mBlockSilent = loudest <= kSilenceLevel;
  mBlockToRecord = true;
}

void CaptureRecorder::afterEngine(float* const* processed, int channels, int nFrames, const BlockContext& context) {
  if (!mBlockToRecord) return;
  mBlockToRecord = false;
  if (!mBlockSilent && !mCapturing) {
    mCapturing = true;
    mPpqAtStart = context.songPlaying ? context.blockPpq : -1.0;
  }
  if (!mCapturing) return;
  const int capacity = static_cast<int>(mIn.size());
  const int n = std::min(capacity - mWritePos, nFrames);
  const float gain = context.stereoOutput ? 0.5f : 1.0f;
  for (int i = 0; i < n; ++i) {
    float dry = 0.0f;
    float wet = 0.0f;
    for (int c = 0; c < channels; ++c) {
      dry += mBlock[static_cast<size_t>(c) * static_cast<size_t>(nFrames) + static_cast<size_t>(i)];
      wet += processed[c][i];
    }
    const auto at = static_cast<size_t>(mWritePos) + static_cast<size_t>(i);
    mIn[at] = gain * dry;
    mOut[at] = gain * wet;
    mSpeed[at] = static_cast<float>(context.speed);
  }
  mWritePos += n;
  if (mWritePos >= capacity) {
    mFullTempo = context.tempo;
    mFullBeatsPerBar = context.beatsPerBar;
    mFullGridBeats = context.snapGridBeats;
    mFull.store(true);
  }
}

void CaptureRecorder::logRelease(int offset, double rampSamples, double blockPpq, double gridBeats, bool songPlaying) {
  if (!mCapturing || mFull.load() || mReleaseLogCount >= kReleaseLogSize) return;
  mReleaseLog[static_cast<size_t>(mReleaseLogCount++)] = {offset + mWritePos, rampSamples, blockPpq, gridBeats,
                                                          songPlaying};
}

bool CaptureRecorder::takeFull() {
  if (!mEnabled || mWritten || !mFull.load()) return false;
  mWritten = true;
  return true;
}

void CaptureRecorder::write() const {
  writeWav();
  std::ofstream csv(inDir("reelstop-capture-speed.csv"), std::ios::trunc);
  csv << csvText();
}

void CaptureRecorder::writeWav() const {
  std::ofstream wav(inDir("reelstop-capture.wav"), std::ios::binary | std::ios::trunc);
  if (!wav) return;
  const auto frames = static_cast<uint32_t>(mIn.size());
  const auto rate = static_cast<uint32_t>(mSampleRate);
  std::array<unsigned char, kWavHeaderBytes> header{};
  unsigned char* at = putText(header.data(), "RIFF");
  at = putLE(at, frames * 8 + 36, 4);
  at = putText(at, "WAVE");
  at = putText(at, "fmt ");
  at = putLE(at, 16, 4);
  at = putLE(at, 3, 2);  // IEEE float
  at = putLE(at, 2, 2);  // dry left, processed right
  at = putLE(at, rate, 4);
  at = putLE(at, rate * 8, 4);
  at = putLE(at, 8, 2);
  at = putLE(at, 32, 2);
  at = putText(at, "data");
  putLE(at, frames * 8, 4);
  wav.write(reinterpret_cast<const char*>(header.data()), kWavHeaderBytes);

  // The frames go out in large chunks: byte-sized writes held the main lock for a quarter second.
  std::vector<float> chunk(kWavChunkFrames * 2);
  for (uint32_t first = 0; first < frames; first += kWavChunkFrames) {
    const uint32_t count = std::min<uint32_t>(kWavChunkFrames, frames - first);
    for (size_t i = 0; i < count; ++i) {
      chunk[2 * i] = mIn[first + i];
      chunk[2 * i + 1] = mOut[first + i];
    }
    if (!kLittleEndian) {
      for (float& sample : chunk) putFloatLE(reinterpret_cast<unsigned char*>(&sample), sample);
    }
    wav.write(reinterpret_cast<const char*>(chunk.data()), static_cast<std::streamsize>(count * kWavFrameBytes));
  }
}

std::string CaptureRecorder::csvText() const {
  std::ostringstream text;
  text.precision(kCsvPrecision);
  text << "# sr," << mSampleRate << ",bpm," << mFullTempo << ",ppq_at_start," << mPpqAtStart << ",beats_per_bar,"
       << mFullBeatsPerBar << ",grid_beats," << mFullGridBeats << "\n";
  for (int i = 0; i < mReleaseLogCount; ++i) {
    const ReleaseLogEntry& entry = mReleaseLog[static_cast<size_t>(i)];
    text << "# release," << entry.sample << ",ramp," << entry.ramp << ",block_ppq," << entry.blockPpq << ",grid,"
         << entry.grid << ",playing," << (entry.playing ? 1 : 0) << "\n";
  }
  text << "sample,speed\n";
  std::string csv = text.str();
  // A row per millisecond: to_chars at precision 12 writes what the stream would, many times faster.
  const size_t step = std::max<size_t>(1, static_cast<size_t>(mSampleRate / 1000.0));
  char row[64];
  for (size_t i = 0; i < mSpeed.size(); i += step) {
    char* end = std::to_chars(row, row + sizeof row, i).ptr;
    *end++ = ',';
    end =
        std::to_chars(end, row + sizeof row, static_cast<double>(mSpeed[i]), std::chars_format::general, kCsvPrecision)
            .ptr;
    *end++ = '\n';
    csv.append(row, end);
  }
  return csv;
}

}  // namespace reelstop
