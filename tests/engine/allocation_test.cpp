// Only rs_create and rs_destroy may allocate: every other call runs on the audio thread.
#include <gtest/gtest.h>

#include <vector>

#include "counting_allocator.h"
#include "random_controls.h"
#include "reelstop_engine.h"

namespace reelstop::test {
namespace {

struct Counts {
  long allocations;
  long releases;
};

Counts counted() { return {allocationsSoFar(), releasesSoFar()}; }

TEST(AudioThread, NoCallButCreateAndDestroyAllocatesOrFrees) {
  const Counts beforeCreate = counted();
  rs_handle engine = rs_create(2, 48000.0);
  EXPECT_GT(counted().allocations, beforeCreate.allocations) << "the counting allocator is not in use";

  std::vector<float> left(512), right(512);
  float* io[2] = {left.data(), right.data()};
  RandomControls controls(4242);
  const Counts beforeSession = counted();
  auto playBlocks = [&](int blocks) {
    for (int b = 0; b < blocks; ++b) rs_process(engine, io, 2, 512);
  };
  // Every ramp family through every state, then random calls on top.
  rs_set_varispeed(engine, 0.5);
  playBlocks(20);
  rs_set_varispeed(engine, 1.0);
  playBlocks(20);
  rs_engage(engine, 9000, 0.3);
  playBlocks(10);
  rs_release(engine, 1, 9000, 0.0);
  playBlocks(10);
  rs_engage_shaped(engine, 1, 9000, 0.3, 0.3);
  playBlocks(30);
  rs_release_shaped(engine, 0, 9000, 0.3, 0.3, 4000);
  playBlocks(10);
  rs_engage_platter(engine, 9000, 65, 85);
  playBlocks(10);
  rs_release_platter(engine, 9000, 65, 85, 4000);
  playBlocks(10);
  rs_begin_scratch(engine);
  rs_set_scratch_target(engine, -5000);
  playBlocks(10);
  rs_release(engine, 0, 9000, -0.5);
  playBlocks(30);
  for (int b = 0; b < 300; ++b) {
    controls.applyRandomCall({engine});
    rs_process(engine, io, 2, 1 + b % 512);
  }
  rs_speed(engine);
  rs_lag(engine);
  rs_is_scratching(engine);
  rs_build_id();
  const Counts afterSession = counted();
  EXPECT_EQ(afterSession.allocations, beforeSession.allocations);
  EXPECT_EQ(afterSession.releases, beforeSession.releases);

  rs_destroy(engine);
  EXPECT_GT(counted().releases, afterSession.releases);
}

}  // namespace
}  // namespace reelstop::test
