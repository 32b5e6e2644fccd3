// Reading and writing 32-bit float WAV files, the format the command-line hosts are fed and
// write back (they keep the input's format): channels planar in memory.
#pragma once

#include <string>
#include <vector>

namespace reelstop::lv2::test {

using Signal = std::vector<std::vector<float>>;  // one vector per channel

struct WavFile {
  int sampleRateHz = 0;
  Signal channels;
};

// Throws std::runtime_error when the file cannot be written.
void writeWav(const std::string& path, const WavFile& wav);
// Throws std::runtime_error when the file is missing or not 32-bit float.
WavFile readWav(const std::string& path);

}  // namespace reelstop::lv2::test
