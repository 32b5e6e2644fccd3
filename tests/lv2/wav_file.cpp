// WAV files: RIFF chunks, little-endian, format 3 (IEEE float), 32 bits a sample.
#include "wav_file.h"

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace reelstop::lv2::test {
namespace {

constexpr uint16_t kFloatFormat = 3;
constexpr uint16_t kBitsPerSample = 32;

void put(std::string& bytes, uint32_t value, int size) {
  for (int i = 0; i < size; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
}

uint32_t get(const std::string& bytes, size_t pos, int size) {
  if (pos + static_cast<size_t>(size) > bytes.size()) throw std::runtime_error("WAV file cut short");
  uint32_t value = 0;
  for (int i = 0; i < size; ++i)
    value |= static_cast<uint32_t>(static_cast<uint8_t>(bytes[pos + static_cast<size_t>(i)])) << (8 * i);
  return value;
}

}  // namespace

void writeWav(const std::string& path, const WavFile& wav) {
  const auto nch = static_cast<uint32_t>(wav.channels.size());
  const auto frames = static_cast<uint32_t>(nch > 0 ? wav.channels[0].size() : 0);
  const uint32_t dataBytes = frames * nch * 4;
  std::string bytes = "RIFF";
  put(bytes, 36 + dataBytes, 4);
  bytes += "WAVEfmt ";
  put(bytes, 16, 4);
  put(bytes, kFloatFormat, 2);
  put(bytes, nch, 2);
  put(bytes, static_cast<uint32_t>(wav.sampleRateHz), 4);
  put(bytes, static_cast<uint32_t>(wav.sampleRateHz) * nch * 4, 4);
  put(bytes, nch * 4, 2);
  put(bytes, kBitsPerSample, 2);
  bytes += "data";
  put(bytes, dataBytes, 4);
  for (uint32_t i = 0; i < frames; ++i) {
    for (uint32_t c = 0; c < nch; ++c) {
      uint32_t bits = 0;
      std::memcpy(&bits, &wav.channels[c][i], 4);
      put(bytes, bits, 4);
    }
  }
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

WavFile readWav(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0) throw std::runtime_error("not a WAV file");
  WavFile wav;
  uint32_t nch = 0;
  for (size_t pos = 12; pos + 8 <= bytes.size();) {
    const std::string id = bytes.substr(pos, 4);
    const uint32_t size = get(bytes, pos + 4, 4);
    const size_t body = pos + 8;
    if (id == "fmt ") {
      if (get(bytes, body, 2) != kFloatFormat || get(bytes, body + 14, 2) != kBitsPerSample) {
        throw std::runtime_error(path + " is not 32-bit float");
      }
      nch = get(bytes, body + 2, 2);
      wav.sampleRateHz = static_cast<int>(get(bytes, body + 4, 4));
    } else if (id == "data") {
      if (nch == 0) throw std::runtime_error("data before fmt in " + path);
      const uint32_t frames = size / (4 * nch);
      wav.channels.assign(nch, std::vector<float>(frames));
      for (uint32_t i = 0; i < frames; ++i) {
        for (uint32_t c = 0; c < nch; ++c) {
          const uint32_t bits = get(bytes, body + 4 * (static_cast<size_t>(i) * nch + c), 4);
          std::memcpy(&wav.channels[c][i], &bits, 4);
        }
      }
      return wav;
    }
    pos = body + size + (size & 1);  // chunks are padded to even sizes
  }
  throw std::runtime_error("no data in " + path);
}

}  // namespace reelstop::lv2::test
