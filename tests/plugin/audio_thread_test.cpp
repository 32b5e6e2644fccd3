// ProcessBlock never allocates, frees or locks, whatever notes, automation and hands it meets.
#include <gtest/gtest.h>
#include <pthread.h>

#include <atomic>
#include <random>

#include "counting_allocator.h"
#include "frame/headless_host.h"
#include "reelstop.h"

namespace {
std::atomic<long> locks{0};
}  // namespace

extern "C" int __real_pthread_mutex_lock(pthread_mutex_t* mutex);
extern "C" int __wrap_pthread_mutex_lock(pthread_mutex_t* mutex) {
  locks.fetch_add(1);
  return __real_pthread_mutex_lock(mutex);
}

namespace reelstop::test {
namespace {

struct Counts {
  long allocations, releases, locks;
  bool operator==(const Counts& o) const {
    return allocations == o.allocations && releases == o.releases && locks == o.locks;
  }
};
Counts counted() { return {allocationsSoFar(), releasesSoFar(), locks.load()}; }

TEST(AudioThread, ProcessBlockNeitherAllocatesNorFreesNorLocks) {
  frame::HeadlessHost host([](const frame::InstanceInfo& info) { return std::make_unique<Reelstop>(info); });
  host.configure(48000.0, 512, 2);
  auto& plugin = static_cast<Reelstop&>(host.plugin());
  {
    const Counts before = counted();
    std::mutex mutex;
    const std::lock_guard<std::mutex> locked(mutex);
    EXPECT_EQ(counted().locks, before.locks + 1) << "the lock counter is in place";
    // Called by name: a new-expression whose result is unused may be optimised away.
    ::operator delete(::operator new(sizeof(int)));
    EXPECT_EQ(counted().allocations, before.allocations + 1) << "the allocation counter is in place";
  }
  std::mt19937 random(7);
  auto chance = [&](int percent) { return static_cast<int>(random() % 100) < percent; };
  std::vector<float> left(512), right(512);
  float* io[2] = {left.data(), right.data()};
  frame::ITimeInfo transport{120.0, 4, 4, true, 0.0, 0.0};
  for (int block = 0; block < 3000; ++block) {
    // Outside the block, as host and editor would: notes, automation, the hand.
    for (int n = 0; n < 3; ++n) {
      if (chance(10)) {
        plugin.ProcessMidiMsg(
            {static_cast<int>(random() % 700) - 50, static_cast<uint8_t>(chance(50) ? 0x90 : 0x80), 60, 100});
      }
    }
    if (chance(5))
      plugin.GetParam(static_cast<int>(random() % kNumParams))
          ->SetNormalized(static_cast<double>(random() % 1000) / 999.0);
    if (chance(4)) plugin.GetParam(kStop)->Set(chance(30) ? 1.0 : 0.0);
    if (chance(3)) plugin.editorLink().handDown.store(chance(50));
    if (chance(3)) plugin.editorLink().scratching.store(chance(50));
    if (chance(10)) plugin.editorLink().scratchAngle.store(static_cast<double>(random() % 2000) / 100.0 - 10.0);
    for (size_t i = 0; i < 512; ++i) left[i] = right[i] = static_cast<float>(random() % 2000) / 1000.0f - 1.0f;
    transport.mPPQPos += 512 * 120.0 / 60.0 / 48000.0;
    transport.mTransportIsRunning = !chance(5);
    plugin.SetTimeInfo(transport);
    const int frames = chance(5) ? static_cast<int>(random() % 512) : 512;
    const Counts before = counted();
    plugin.ProcessBlock(io, io, frames);
    ASSERT_TRUE(counted() == before) << "block " << block;
  }
  EXPECT_GT(plugin.control().stopsIssued(), 10);
  EXPECT_GT(plugin.control().startsIssued(), 10);
}

}  // namespace
}  // namespace reelstop::test
