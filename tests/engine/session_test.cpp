// A seeded random session: whole blocks and single samples must give the very same tape.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "engine_harness.h"
#include "random_controls.h"

namespace reelstop::test {
namespace {

TEST(Session, WholeBlocksAndSingleSamplesGiveIdenticalOutputSpeedAndLag) {
  Engine blocks(2);
  Engine samples(2);
  RandomControls controls(20261207);
  std::mt19937 sizes(99);
  std::uniform_int_distribution<int> blockFrames(1, 700);
  std::vector<float> left, right, leftSingle, rightSingle;
  long position = 0;
  for (int block = 0; block < 600; ++block) {
    controls.applyRandomCall({blocks.handle, samples.handle});
    const auto frames = static_cast<size_t>(blockFrames(sizes));
    left.resize(frames);
    right.resize(frames);
    for (size_t i = 0; i < frames; ++i) {
      left[i] = tone(position + static_cast<long>(i));
      right[i] = tone(3 * (position + static_cast<long>(i)));
    }
    leftSingle = left;
    rightSingle = right;
    float* io[2] = {left.data(), right.data()};
    rs_process(blocks.handle, io, 2, static_cast<int32_t>(frames));
    for (size_t i = 0; i < frames; ++i) {
      float* one[2] = {&leftSingle[i], &rightSingle[i]};
      rs_process(samples.handle, one, 2, 1);
    }
    position += static_cast<long>(frames);
    ASSERT_EQ(0, std::memcmp(left.data(), leftSingle.data(), frames * sizeof(float))) << "block " << block;
    ASSERT_EQ(0, std::memcmp(right.data(), rightSingle.data(), frames * sizeof(float))) << "block " << block;
    ASSERT_EQ(rs_speed(blocks.handle), rs_speed(samples.handle)) << "block " << block;
    ASSERT_EQ(rs_lag(blocks.handle), rs_lag(samples.handle)) << "block " << block;
  }
  EXPECT_GT(controls.callsMade(), 0);
}

}  // namespace
}  // namespace reelstop::test
