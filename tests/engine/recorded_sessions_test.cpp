// Seeded random sessions through the C interface, hashed sample by sample and compared with the
// hashes this engine gave when they were recorded: a rework of the engine's insides must leave
// every output sample, speed and lag exactly as it was. A changed hash is printed, so a
// deliberate change of sound is recorded anew by copying it here.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "engine_harness.h"
#include "fnv1a.h"
#include "random_controls.h"

namespace reelstop::test {
namespace {

struct Recording {
  double rateHz;
  int channels;
  unsigned seed;
  uint64_t hash;
};

// Every ramp family, scratches and grids come from the random calls; a few seconds each, 30 in all.
uint64_t sessionHash(double rateHz, int channels, unsigned seed) {
  constexpr double kSeconds = 5.0;
  Engine engine(channels, rateHz);
  RandomControls controls(seed);
  std::mt19937 sizes(seed + 1);
  std::uniform_int_distribution<int> blockFrames(1, 1024);
  std::vector<std::vector<float>> buffers(static_cast<size_t>(channels));
  Fnv1a hash;
  for (long position = 0; position < static_cast<long>(kSeconds * rateHz);) {
    // A call every eighth block or so, so that short ramps run to their end and long ones do not.
    if (blockFrames(sizes) % 8 == 0) controls.applyRandomCall({engine.handle});
    const int frames = blockFrames(sizes);
    float* io[2] = {};
    for (int c = 0; c < channels; ++c) {
      std::vector<float>& buffer = buffers[static_cast<size_t>(c)];
      buffer.resize(static_cast<size_t>(frames));
      for (int i = 0; i < frames; ++i) buffer[static_cast<size_t>(i)] = tone((c + 1) * (position + i));
      io[c] = buffer.data();
    }
    rs_process(engine.handle, io, channels, frames);
    for (int c = 0; c < channels; ++c) hash.add(io[c], sizeof(float) * static_cast<size_t>(frames));
    hash.addValue(rs_speed(engine.handle));
    hash.addValue(rs_lag(engine.handle));
    position += frames;
  }
  return hash.value();
}

TEST(RecordedSessions, EveryOutputSampleSpeedAndLagIsAsRecorded) {
  const Recording recordings[] = {
      {44100.0, 1, 441, 10797649086543746478ULL}, {44100.0, 2, 442, 746790591609924345ULL},
      {48000.0, 1, 481, 8634141725284568823ULL},  {48000.0, 2, 482, 16548718363054975614ULL},
      {96000.0, 1, 961, 15941931206123268283ULL}, {96000.0, 2, 962, 16775899830466181123ULL},
  };
  for (const Recording& recording : recordings) {
    EXPECT_EQ(sessionHash(recording.rateHz, recording.channels, recording.seed), recording.hash)
        << recording.rateHz << " Hz, " << recording.channels << " channels, seed " << recording.seed;
  }
}

}  // namespace
}  // namespace reelstop::test
