// Only rs_create and rs_destroy may allocate: every other call runs on the audio thread.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

#include "random_controls.h"
#include "reelstop_engine.h"

namespace {

std::atomic<long> allocations{0};
std::atomic<long> releases{0};

void countedFree(void* p) {
  if (p != nullptr) releases.fetch_add(1, std::memory_order_relaxed);
  std::free(p);
}

}  // namespace

void* operator new(std::size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  allocations.fetch_add(1, std::memory_order_relaxed);
  return std::malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* p) noexcept { countedFree(p); }
void operator delete[](void* p) noexcept { countedFree(p); }
void operator delete(void* p, std::size_t) noexcept { countedFree(p); }
void operator delete[](void* p, std::size_t) noexcept { countedFree(p); }

namespace reelstop::test {
namespace {

struct Counts {
  long allocations;
  long releases;
};

Counts counted() { return {allocations.load(), releases.load()}; }

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
