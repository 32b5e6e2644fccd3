// Benchmarks of the tape engine through its C interface: per-frame and per-call costs.
#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>

#include "reelstop_engine.h"

namespace {

constexpr int32_t kChannels = 2;
constexpr double kSampleRate = 48000.0;
constexpr int32_t kBlockFrames = 512;
constexpr double kPi = 3.14159265358979323846;

// Ten seconds keeps a ramp running for hundreds of blocks; the engine is re-armed a block before
// the ramp would end, so every measured block stays inside it.
constexpr double kLongRamp = 10.0 * kSampleRate;
constexpr int64_t kBlocksPerArm = static_cast<int64_t>(kLongRamp) / kBlockFrames - 1;
constexpr int64_t kNeverRearm = std::numeric_limits<int64_t>::max();

constexpr double kStopCurve = 0.3;
constexpr int32_t kSpinUp = 0;
constexpr int32_t kCatchUp = 1;

// Two sines with a whole number of periods in one block (4 and 9), so copying the same block in
// again each time keeps the input continuous for the price of a 4 KiB copy.
struct SourceBlock {
  std::array<std::array<float, kBlockFrames>, kChannels> samples{};
  SourceBlock() {
    for (int32_t c = 0; c < kChannels; ++c) {
      for (int32_t i = 0; i < kBlockFrames; ++i) {
        const double phase = 2.0 * kPi * i / kBlockFrames;
        samples[static_cast<size_t>(c)][static_cast<size_t>(i)] =
            static_cast<float>(0.4 * std::sin(4.0 * phase + c) + 0.3 * std::sin(9.0 * phase));
      }
    }
  }
};

const SourceBlock& sourceBlock() {
  static const SourceBlock block;
  return block;
}

class Engine {
 public:
  Engine() : mHandle(rs_create(kChannels, kSampleRate)) {
    for (size_t c = 0; c < static_cast<size_t>(kChannels); ++c) mIo[c] = mBuffers[c].data();
  }
  ~Engine() { rs_destroy(mHandle); }
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  rs_handle get() const { return mHandle; }

  void processBlocks(int64_t count) {
    for (int64_t b = 0; b < count; ++b) {
      mBuffers = sourceBlock().samples;
      rs_process(mHandle, mIo.data(), kChannels, kBlockFrames);
    }
  }

 private:
  rs_handle mHandle;
  std::array<std::array<float, kBlockFrames>, kChannels> mBuffers{};
  std::array<float*, kChannels> mIo{};
};

// Any state back to Playing at the live position: a scratch accepts a release from every state,
// a one-sample start ends at once, and the second block lets its closing crossfade finish.
void resetToPlaying(Engine& engine) {
  rs_begin_scratch(engine.get());
  rs_release(engine.get(), kSpinUp, 1.0, 0.0);
  engine.processBlocks(2);
}

// A one-sample stop; the block lets it reach Stopped, the only state a silent restart starts from.
void stopAtOnce(Engine& engine) {
  rs_engage(engine.get(), 1.0, 0.0);
  engine.processBlocks(1);
}

// The engine plays from creation: the steady workloads and the calls on a playing tape need nothing.
void keepPlaying(Engine&) {}

void reportFrames(benchmark::State& state) {
  const auto frames = static_cast<int64_t>(state.iterations()) * kBlockFrames;
  state.SetItemsProcessed(frames);
  state.counters["time_per_frame"] =
      benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// One block an iteration. `arm` puts a playing engine into the workload (untimed); `beforeBlock`
// steers it inside the timing; after `blocksPerArm` blocks the engine is reset and re-armed untimed.
template <typename Arm, typename BeforeBlock>
void runBlocks(benchmark::State& state, int64_t blocksPerArm, Arm arm, BeforeBlock beforeBlock) {
  Engine engine;
  if (engine.get() == nullptr) {
    state.SkipWithError("rs_create failed");
    return;
  }
  engine.processBlocks(2);
  arm(engine);
  int64_t block = 0;
  for (auto _ : state) {
    if (block == blocksPerArm) {
      state.PauseTiming();
      resetToPlaying(engine);
      arm(engine);
      block = 0;
      state.ResumeTiming();
    }
    beforeBlock(engine.get(), block);
    engine.processBlocks(1);
    ++block;
  }
  reportFrames(state);
}

template <typename Arm>
void runArmed(benchmark::State& state, Arm arm) {
  runBlocks(state, kBlocksPerArm, arm, [](rs_handle, int64_t) {});
}

void steer(benchmark::State& state, void (*beforeBlock)(rs_handle, int64_t)) {
  runBlocks(state, kNeverRearm, keepPlaying, beforeBlock);
}

void BM_SteadyPlaying(benchmark::State& state) {
  steer(state, [](rs_handle, int64_t) {});
}

constexpr int64_t kGlideBlocks = 24;  // long enough for the catch-up boost to build up

void BM_VarispeedGlide(benchmark::State& state) {
  steer(state, [](rs_handle h, int64_t block) { rs_set_varispeed(h, (block / kGlideBlocks) % 2 == 0 ? 0.5 : 1.0); });
}

void BM_PlainStop(benchmark::State& state) {
  runArmed(state, [](Engine& e) { rs_engage(e.get(), kLongRamp, kStopCurve); });
}

constexpr int32_t kSpeedDomain = 0;
constexpr int32_t kPitchDomain = 1;
constexpr double kEaseIn = 0.3;
constexpr double kEaseOut = 0.4;

void BM_BezierStopSpeed(benchmark::State& state) {
  runArmed(state, [](Engine& e) { rs_engage_shaped(e.get(), kSpeedDomain, kLongRamp, kEaseIn, kEaseOut); });
}

void BM_BezierStopPitch(benchmark::State& state) {
  runArmed(state, [](Engine& e) { rs_engage_shaped(e.get(), kPitchDomain, kLongRamp, kEaseIn, kEaseOut); });
}

struct PlatterFeel {
  double inertiaMs;
  double motorMs;
};

constexpr PlatterFeel kPlatter{65.0, 85.0};
// Heavy enough that even the strongest brake the solver tries cannot stop it within 960000 samples.
constexpr PlatterFeel kTooHeavy{1.0e6, 85.0};
// So weak that no motor pull the solver tries brings the tape up to speed within 960000 samples.
constexpr PlatterFeel kMotorTooWeak{65.0, 600000.0};

void engagePlatter(rs_handle h, double ramp, const PlatterFeel& feel) {
  rs_engage_platter(h, ramp, feel.inertiaMs, feel.motorMs);
}

void releasePlatter(rs_handle h, double ramp, const PlatterFeel& feel, double grid) {
  rs_release_platter(h, ramp, feel.inertiaMs, feel.motorMs, grid);
}

void BM_PlatterStop(benchmark::State& state) {
  runArmed(state, [](Engine& e) { engagePlatter(e.get(), kLongRamp, kPlatter); });
}

void BM_CatchUpStart(benchmark::State& state) {
  runArmed(state, [](Engine& e) {
    stopAtOnce(e);
    rs_release(e.get(), kCatchUp, kLongRamp, kStopCurve);
  });
}

constexpr double kScratchSwing = 3000.0;      // samples: the hand swings 0 .. -2 * kScratchSwing
constexpr int64_t kScratchPeriodBlocks = 48;  // about half a second a swing, near normal speed

// The hand stays behind where the scratch began, so the target is never clamped to the live
// position; re-arming every ten seconds keeps it well within the tape.
void BM_ScratchMovingHand(benchmark::State& state) {
  runBlocks(
      state, kBlocksPerArm, [](Engine& e) { rs_begin_scratch(e.get()); },
      [](rs_handle h, int64_t block) {
        const double phase = 2.0 * kPi * static_cast<double>(block) / kScratchPeriodBlocks;
        rs_set_scratch_target(h, -kScratchSwing * (1.0 - std::cos(phase)));
      });
}

constexpr double kSpinUpRamp = 4096.0;  // eight blocks, the last 720 samples crossfading
constexpr int64_t kSpinUpCycleBlocks = 1 + static_cast<int64_t>(kSpinUpRamp) / kBlockFrames;

// A cycle of one block that stops at once and eight spin-up blocks; the start ends with the last.
void BM_SpinUpWithCrossfade(benchmark::State& state) {
  steer(state, [](rs_handle h, int64_t block) {
    const int64_t step = block % kSpinUpCycleBlocks;
    if (step == 0) rs_engage(h, 1.0, 0.0);
    if (step == 1) rs_release(h, kSpinUp, kSpinUpRamp, kStopCurve);
  });
}

// One timed call an iteration on a fresh engine; creating, preparing and destroying it is untimed.
template <typename Prepare, typename Call>
void timeOneCall(benchmark::State& state, Prepare prepare, Call call) {
  const auto ramp = static_cast<double>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    auto engine = std::make_unique<Engine>();
    engine->processBlocks(2);
    prepare(*engine);
    state.ResumeTiming();
    call(engine->get(), ramp);
    state.PauseTiming();
    engine.reset();
    state.ResumeTiming();
  }
}

constexpr double kGridSamples = 12000.0;
constexpr double kMovingTapeSpeed = 0.8;

// Part-way down a linear ten-second stop: the tape still moves and lags the live signal.
void movingAfterLongStop(Engine& engine) {
  rs_engage(engine.get(), kLongRamp, 0.0);
  while (rs_speed(engine.get()) > kMovingTapeSpeed) engine.processBlocks(1);
}

void BM_EngagePlatter(benchmark::State& state) {
  timeOneCall(state, keepPlaying, [](rs_handle h, double ramp) { engagePlatter(h, ramp, kPlatter); });
}

void BM_EngagePlatterTooHeavy(benchmark::State& state) {
  timeOneCall(state, keepPlaying, [](rs_handle h, double ramp) { engagePlatter(h, ramp, kTooHeavy); });
}

void BM_ReleasePlatter(benchmark::State& state) {
  timeOneCall(state, stopAtOnce, [](rs_handle h, double ramp) { releasePlatter(h, ramp, kPlatter, 0.0); });
}

void BM_ReleasePlatterGrid(benchmark::State& state) {
  timeOneCall(state, stopAtOnce, [](rs_handle h, double ramp) { releasePlatter(h, ramp, kPlatter, kGridSamples); });
}

void BM_ReleasePlatterMotorTooWeak(benchmark::State& state) {
  timeOneCall(state, stopAtOnce, [](rs_handle h, double ramp) { releasePlatter(h, ramp, kMotorTooWeak, 0.0); });
}

void BM_ReleaseShapedGridMovingTape(benchmark::State& state) {
  timeOneCall(state, movingAfterLongStop, [](rs_handle h, double ramp) {
    rs_release_shaped(h, kSpeedDomain, ramp, kEaseIn, kEaseOut, kGridSamples);
  });
}

// A few timed calls each: the slowest solvers take hundreds of milliseconds at the longest ramp.
void perCallRamps(benchmark::internal::Benchmark* b) {
  b->Arg(24000)->Arg(480000)->Arg(960000)->Iterations(3)->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK(BM_SteadyPlaying)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_VarispeedGlide)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlainStop)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BezierStopSpeed)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BezierStopPitch)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlatterStop)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ScratchMovingHand)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CatchUpStart)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SpinUpWithCrossfade)->Unit(benchmark::kMicrosecond);

BENCHMARK(BM_EngagePlatter)->Apply(perCallRamps);
BENCHMARK(BM_EngagePlatterTooHeavy)->Apply(perCallRamps);
BENCHMARK(BM_ReleasePlatter)->Apply(perCallRamps);
BENCHMARK(BM_ReleasePlatterGrid)->Apply(perCallRamps);
BENCHMARK(BM_ReleasePlatterMotorTooWeak)->Apply(perCallRamps);
BENCHMARK(BM_ReleaseShapedGridMovingTape)->Apply(perCallRamps);

BENCHMARK_MAIN();
