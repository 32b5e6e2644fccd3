// The LV2 editor in a host: its idle calls with the record page open while the audio plays in
// real time on a thread of its own, one call every 1/60 s, each with a frame due. Reported: the
// median time of one idle call (one frame drawn and shown), and the share of one core the UI
// thread takes at that rate. Needs an X server (scripts/bench starts Xvfb).
#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "lilv_host.h"
#include "test_editor.h"
#include "test_signal.h"

namespace {

using Clock = std::chrono::steady_clock;
using reelstop::lv2::test::LilvBundle;
using reelstop::lv2::test::TestEditor;
using reelstop::lv2::test::TestInstance;

constexpr const char* kStereo = "https://ferncliff.example/plugins/reelstop#stereo";
constexpr double kRate = 48000.0;
constexpr int kBlock = 512;
constexpr auto kFramePeriod = std::chrono::microseconds(16667);

double threadCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

void RecordPageIdleAt60Fps(benchmark::State& state) {
  const LilvBundle bundle;
  TestInstance instance(bundle, kStereo, kRate, kBlock);
  TestEditor editor(instance);
  std::atomic<bool> done{false};
  // Blocks at the pace a sound card asks for them: the record turns and its ring fills.
  std::thread audio([&] {
    const auto blockPeriod = std::chrono::duration<double>(kBlock / kRate);
    auto next = Clock::now();
    for (int64_t from = 0; !done; from += kBlock) {
      instance.run(reelstop::lv2::test::noise(2, kBlock, from));
      next += std::chrono::duration_cast<Clock::duration>(blockPeriod);
      std::this_thread::sleep_until(next);
    }
  });
  editor.idleFor(2000);  // the ring of signal fills

  std::vector<double> callMs;
  const double cpuBefore = threadCpuSeconds();
  const auto wallBefore = Clock::now();
  auto next = Clock::now();
  for (auto _ : state) {
    next += kFramePeriod;
    std::this_thread::sleep_until(next);
    const auto start = Clock::now();
    editor.idle();
    const std::chrono::duration<double> took = Clock::now() - start;
    state.SetIterationTime(took.count());
    callMs.push_back(1e3 * took.count());
  }
  const std::chrono::duration<double> wall = Clock::now() - wallBefore;
  const double cpu = threadCpuSeconds() - cpuBefore;
  done = true;
  audio.join();

  std::sort(callMs.begin(), callMs.end());
  state.counters["median_ms"] = callMs[callMs.size() / 2];
  state.counters["worst_ms"] = callMs.back();
  state.counters["ui_thread_cpu_pct"] = 100.0 * cpu / wall.count();
}
BENCHMARK(RecordPageIdleAt60Fps)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(600);

}  // namespace

BENCHMARK_MAIN();
