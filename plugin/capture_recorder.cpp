// The capture recorder: arming, recording hooks, release log and the two files.
#include "capture_recorder.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <sstream>

#include "engine_host.h"
#include "shared_constants.h"

namespace reelstop {
namespace {

constexpr double kCaptureSeconds = 30.0;
constexpr int kMinBlockRoom = 4096;
constexpr int kCsvPrecision = 12;

std::string inDir(const char* name) { return CaptureRecorder::folder() + "/" + name; }

void putLE(std::ofstream& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.put(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void putFloatLE(std::ofstream& out, float value) {
  uint32_t bits = 0;
  static_assert(sizeof bits == sizeof value);
  std::memcpy(&bits, &value, sizeof bits);
  putLE(out, bits, 4);
}

}  // namespace

std::string CaptureRecorder::folder() { return EngineHost::appDataDir() + "/capture"; }

void CaptureRecorder::arm(double sampleRate, int blockSize) {
  captureEnabled = EngineHost::fileExists(inDir("reelstop-capture.on"));
  if (!captureEnabled) return;
  const auto capacity = static_cast<size_t>(kCaptureSeconds * sampleRate);
  captureIn.assign(capacity, 0.0f);
  captureOut.assign(capacity, 0.0f);
  captureSpeed.assign(capacity, 0.0f);
  captureBlock.assign(2 * static_cast<size_t>(std::max(blockSize, kMinBlockRoom)), 0.0f);
  captureWritePos = 0;
  releaseLogCount = 0;
  capturing = false;
  captureFull.store(false);
  captureWritten = false;
}

void CaptureRecorder::beforeEngine(float* const* dry, int channels, int nFrames) {
  blockToRecord = false;
  if (!captureEnabled || captureFull.load() || nFrames <= 0) return;
  if (2 * static_cast<size_t>(nFrames) > captureBlock.size()) return;
  float loudest = 0.0f;
  for (int c = 0; c < channels; ++c) {
    for (int i = 0; i < nFrames; ++i) {
      captureBlock[static_cast<size_t>(c * nFrames + i)] = dry[c][i];
      loudest = std::max(loudest, std::fabs(dry[c][i]));
    }
  }
  blockSilent = loudest <= kSilenceLevel;
  blockToRecord = true;
}

void CaptureRecorder::afterEngine(float* const* processed, int channels, int nFrames, bool stereoOutput, double speed,
                                  bool songPlaying, double blockPpq) {
  if (!blockToRecord) return;
  blockToRecord = false;
  if (!blockSilent && !capturing) {
    capturing = true;
    capturePpq = songPlaying ? blockPpq : -1.0;
  }
  if (!capturing) return;
  const int capacity = static_cast<int>(captureIn.size());
  const int n = std::min(capacity - captureWritePos, nFrames);
  const float gain = stereoOutput ? 0.5f : 1.0f;
  for (int i = 0; i < n; ++i) {
    float dry = 0.0f;
    float wet = 0.0f;
    for (int c = 0; c < channels; ++c) {
      dry += captureBlock[static_cast<size_t>(c * nFrames + i)];
      wet += processed[c][i];
    }
    const auto at = static_cast<size_t>(captureWritePos + i);
    captureIn[at] = gain * dry;
    captureOut[at] = gain * wet;
    captureSpeed[at] = static_cast<float>(speed);
  }
  captureWritePos += n;
  if (captureWritePos >= capacity) captureFull.store(true);
}

void CaptureRecorder::logRelease(int offset, double rampSamples, double blockPpq, double gridBeats, bool songPlaying) {
  if (!capturing || captureFull.load() || releaseLogCount >= kReleaseLogSize) return;
  releaseLog[static_cast<size_t>(releaseLogCount++)] = {offset + captureWritePos, rampSamples, blockPpq, gridBeats,
                                                        songPlaying};
}

bool CaptureRecorder::takeFull() {
  if (!captureEnabled || captureWritten || !captureFull.load()) return false;
  captureWritten = true;
  return true;
}

void CaptureRecorder::write(double sampleRate, double tempo, double beatsPerBar, double gridBeats) const {
  writeWav(sampleRate);
  std::ofstream csv(inDir("reelstop-capture-speed.csv"), std::ios::trunc);
  csv << csvText(sampleRate, tempo, beatsPerBar, gridBeats);
}

void CaptureRecorder::writeWav(double sampleRate) const {
  std::ofstream wav(inDir("reelstop-capture.wav"), std::ios::binary | std::ios::trunc);
  if (!wav) return;
  const auto frames = static_cast<uint32_t>(captureIn.size());
  const auto rate = static_cast<uint32_t>(sampleRate);
  wav.write("RIFF", 4);
  putLE(wav, frames * 8 + 36, 4);
  wav.write("WAVEfmt ", 8);
  putLE(wav, 16, 4);
  putLE(wav, 3, 2);  // IEEE float
  putLE(wav, 2, 2);  // dry left, processed right
  putLE(wav, rate, 4);
  putLE(wav, rate * 8, 4);
  putLE(wav, 8, 2);
  putLE(wav, 32, 2);
  wav.write("data", 4);
  putLE(wav, frames * 8, 4);
  for (uint32_t i = 0; i < frames; ++i) {
    putFloatLE(wav, captureIn[i]);
    putFloatLE(wav, captureOut[i]);
  }
}

std::string CaptureRecorder::csvText(double sampleRate, double tempo, double beatsPerBar, double gridBeats) const {
  std::ostringstream text;
  text.precision(kCsvPrecision);
  text << "# sr," << sampleRate << ",bpm," << tempo << ",ppq_at_start," << capturePpq << ",beats_per_bar,"
       << beatsPerBar << ",grid_beats," << gridBeats << "\n";
  for (int i = 0; i < releaseLogCount; ++i) {
    const ReleaseLogEntry& entry = releaseLog[static_cast<size_t>(i)];
    text << "# release," << entry.sample << ",ramp," << entry.ramp << ",block_ppq," << entry.blockPpq << ",grid,"
         << entry.grid << ",playing," << (entry.playing ? 1 : 0) << "\n";
  }
  text << "sample,speed\n";
  const size_t step = std::max<size_t>(1, static_cast<size_t>(sampleRate / 1000.0));
  for (size_t i = 0; i < captureSpeed.size(); i += step) text << i << "," << captureSpeed[i] << "\n";
  return text.str();
}

}  // namespace reelstop
