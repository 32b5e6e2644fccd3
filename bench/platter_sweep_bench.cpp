// The platter set-up over the whole sweep: one benchmark per rate, ramp length, call and kind of
// start, reporting the worst and the median cost of a single call over the feels and starts of its
// slice, and which case was the worst. Each call is timed on a fresh engine brought to its state
// through the C interface; a call the engine would ignore in that state (a stop of a standing
// record) times the solver directly from the same speed and acceleration.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <string>
#include <vector>

#include "platter_solver.h"
#include "platter_sweep.h"

namespace {

using reelstop::sweep::Call;
using reelstop::sweep::Deck;
using reelstop::sweep::Feel;
using reelstop::sweep::Start;
using Clock = std::chrono::steady_clock;

constexpr double kQuickCallMs = 20.0;  // calls quicker than this are timed three times, the median kept

double milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// The solver on its own, with the engine's own feel and length conversions and lag bound.
void solveDirectly(const Deck& deck, Call call, double rampSamples, const Feel& feel) {
  const double response = 1.0 - std::exp(-1.0 / (std::max(feel.inertiaMs, 0.1) * 0.001 * deck.rate()));
  const double motorSamples = std::max(1.0, 0.001 * feel.motorMs * deck.rate());
  const double speed = deck.probe().speed();
  const double accel = deck.probe().accel();
  if (call == Call::Engage) {
    benchmark::DoNotOptimize(reelstop::solvePlatterBrake(speed, accel, response, rampSamples));
  } else {
    benchmark::DoNotOptimize(reelstop::solvePlatterMotor(speed, accel, response, motorSamples, rampSamples,
                                                         call == Call::ReleaseOnGrid, deck.probe().maxLag()));
  }
}

double timeOnce(double rate, const Start& start, Call call, double rampSamples, const Feel& feel) {
  Deck deck(rate);
  start.reach(deck);
  const bool throughInterface = reelstop::sweep::callActs(deck, call);
  const Clock::time_point begin = Clock::now();
  if (throughInterface) {
    reelstop::sweep::callPlatter(deck.handle(), call, rampSamples, feel, rate);
  } else {
    solveDirectly(deck, call, rampSamples, feel);
  }
  return milliseconds(Clock::now() - begin);
}

double timeCall(double rate, const Start& start, Call call, double rampSamples, const Feel& feel) {
  std::vector<double> times{timeOnce(rate, start, call, rampSamples, feel)};
  if (times[0] < kQuickCallMs) {
    times.push_back(timeOnce(rate, start, call, rampSamples, feel));
    times.push_back(timeOnce(rate, start, call, rampSamples, feel));
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

// args: rate index, ramp length, call, hard starts (1) or ordinary (0).
void BM_PlatterSweep(benchmark::State& state) {
  const double rate = reelstop::sweep::kRates[static_cast<size_t>(state.range(0))];
  const auto rampSamples = static_cast<double>(state.range(1));
  const Call call = reelstop::sweep::kCalls[static_cast<size_t>(state.range(2))];
  const bool hard = state.range(3) == 1;
  std::vector<double> times;
  std::string worstCase;
  double worst = -1.0;
  for (auto _ : state) {
    times.clear();
    for (const Start& start : reelstop::sweep::kStarts) {
      if (start.hard != hard) continue;
      for (const Feel& feel : reelstop::sweep::kFeels) {
        const double ms = timeCall(rate, start, call, rampSamples, feel);
        times.push_back(ms);
        if (ms > worst) {
          worst = ms;
          worstCase = std::string(start.name) + "/" + feel.name;
        }
      }
    }
    state.SetIterationTime(worst / 1000.0);
  }
  std::sort(times.begin(), times.end());
  state.counters["worst_ms"] = worst;
  state.counters["median_ms"] = times[times.size() / 2];
  state.SetLabel(std::string(reelstop::sweep::callName(call)) + (hard ? " hard " : " ordinary ") + worstCase);
}

void sweepArgs(benchmark::internal::Benchmark* b) {
  for (int64_t rate = 0; rate < static_cast<int64_t>(reelstop::sweep::kRates.size()); ++rate) {
    for (double length : reelstop::sweep::kLengths) {
      for (int64_t call = 0; call < static_cast<int64_t>(reelstop::sweep::kCalls.size()); ++call) {
        for (int64_t hard : {0, 1}) b->Args({rate, static_cast<int64_t>(length), call, hard});
      }
    }
  }
  b->ArgNames({"rate", "L", "call", "hard"})->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
}

const Start& startNamed(const std::string& name) {
  for (const Start& start : reelstop::sweep::kStarts) {
    if (name == start.name) return start;
  }
  return reelstop::sweep::kStarts[0];
}

const Feel& feelNamed(const std::string& name) {
  for (const Feel& feel : reelstop::sweep::kFeels) {
    if (name == feel.name) return feel;
  }
  return reelstop::sweep::kFeels[0];
}

// One case of the sweep, timed call by call: the worst cases the sweep has found.
void BM_PlatterCase(benchmark::State& state, double rate, const char* start, const char* feel, double rampSamples,
                    Call call) {
  for (auto _ : state) {
    state.SetIterationTime(timeOnce(rate, startNamed(start), call, rampSamples, feelNamed(feel)) / 1000.0);
  }
}

}  // namespace

BENCHMARK(BM_PlatterSweep)->Apply(sweepArgs);

// The plain engine's worst: a start after the hand pulled the record back, and the lag of a
// weak motor's start on a grid; this engine's worst: weak motors and heavy platters on a grid
// whose lag stays within the tape's reach (at 44.1 and 48 kHz a weak start from standing at the
// longest ramp runs beyond it).
#define PLATTER_CASE(name, ...) \
  BENCHMARK_CAPTURE(BM_PlatterCase, name, __VA_ARGS__)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond)
PLATTER_CASE(ReleaseAfterPullBack_44k_weak_L480000, 44100.0, "pulledBack", "weak", 480000.0, Call::Release);
PLATTER_CASE(ReleaseAfterPullBack_48k_weight100_L84000, 48000.0, "pulledBack", "weight100", 84000.0, Call::Release);
PLATTER_CASE(ReleaseAfterFlick_48k_weight50_L480000, 48000.0, "flick", "weight50", 480000.0, Call::Release);
PLATTER_CASE(ReleaseBackwardFaster_192k_weight100_L480000, 192000.0, "backwardFaster", "weight100", 480000.0,
             Call::Release);
PLATTER_CASE(ReleaseStanding_48k_heavy_L7344, 48000.0, "standing", "heavy", 7344.0, Call::Release);
PLATTER_CASE(ReleaseHeldBack_44k_weight15_L480000, 44100.0, "heldBack", "weight15", 480000.0, Call::Release);
PLATTER_CASE(ReleaseOnGridStanding_48k_weight50_L480000, 48000.0, "standing", "weight50", 480000.0,
             Call::ReleaseOnGrid);
PLATTER_CASE(ReleaseOnGridStanding_96k_weak_L480000, 96000.0, "standing", "weak", 480000.0, Call::ReleaseOnGrid);
PLATTER_CASE(ReleaseOnGridVarispeed_44k_weak_L480000, 44100.0, "varispeed", "weak", 480000.0, Call::ReleaseOnGrid);
PLATTER_CASE(ReleaseOnGridVarispeed_192k_heavy_L240000, 192000.0, "varispeed", "heavy", 240000.0, Call::ReleaseOnGrid);
PLATTER_CASE(EngageFlungForward_192k_heavy_L480000, 192000.0, "flungForward", "heavy", 480000.0, Call::Engage);
PLATTER_CASE(EngageHeldBack_48k_weight0_L480000, 48000.0, "heldBack", "weight0", 480000.0, Call::Engage);

BENCHMARK_MAIN();
