// The platter set-up sweep shared by the benchmarks and the tests: the states a musician leaves
// the record in, reached through the C interface, times the plug-in's feels, ramp lengths, rates
// and grids.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine_probe.h"
#include "reelstop_engine.h"

namespace reelstop::sweep {

constexpr std::array<double, 4> kRates{44100.0, 48000.0, 96000.0, 192000.0};
constexpr std::array<double, 9> kLengths{4320, 7344, 12000, 24000, 48000, 84000, 160000, 240000, 480000};

struct Feel {
  const char* name;
  double inertiaMs;
  double motorMs;
};

// The plug-in's Weight mapping (inertia 1.1 W + 10 ms, motor W + 35 ms), and the raw extremes.
constexpr Feel weight(const char* name, double w) { return {name, 1.1 * w + 10.0, w + 35.0}; }
constexpr std::array<Feel, 7> kFeels{
    weight("weight0", 0.0),     weight("weight15", 15.0),   weight("weight50", 50.0),    weight("weight75", 75.0),
    weight("weight100", 100.0), Feel{"heavy", 1.0e6, 85.0}, Feel{"weak", 65.0, 600000.0}};

// One engine, mono, driven one block at a time.
class Deck {
 public:
  explicit Deck(double rate) : mHandle(rs_create(1, rate)), mRate(rate) {}
  ~Deck() { rs_destroy(mHandle); }
  Deck(const Deck&) = delete;
  Deck& operator=(const Deck&) = delete;

  rs_handle handle() const { return mHandle; }
  double rate() const { return mRate; }
  EngineProbe probe() const { return EngineProbe(mHandle); }

  void process(int64_t frames) {
    while (frames > 0) {
      const auto n = static_cast<int32_t>(std::min<int64_t>(frames, kBlock));
      mBlock.fill(0.0f);
      float* io[1] = {mBlock.data()};
      rs_process(mHandle, io, 1, n);
      frames -= n;
    }
  }
  void seconds(double s) { process(static_cast<int64_t>(s * mRate)); }

  // The hand moves the scratch target by `perSample` each sample for `frames` samples.
  void moveHand(double& offset, double perSample, int64_t frames) {
    for (int64_t done = 0; done < frames; done += kHandBlock) {
      offset += perSample * kHandBlock;
      rs_set_scratch_target(mHandle, offset);
      process(kHandBlock);
    }
  }

 private:
  static constexpr int64_t kBlock = 256;
  static constexpr int64_t kHandBlock = 16;
  rs_handle mHandle;
  double mRate;
  std::array<float, kBlock> mBlock{};
};

// Hard starts: the hand just moved fast, or the platter moves backwards faster and faster; the
// others are ordinary.
struct Start {
  const char* name;
  bool hard;
  void (*reach)(Deck&);
};

// Scratching from a record held 20000 samples behind the live signal, with room either way.
inline double holdBack(Deck& deck) {
  rs_begin_scratch(deck.handle());
  rs_set_scratch_target(deck.handle(), -20000.0);
  deck.seconds(0.5);
  return -20000.0;
}

inline void scratchAt(Deck& deck, double perSample) {
  double offset = holdBack(deck);
  deck.moveHand(offset, perSample, 4096);
}

// The target jumps by `jump` samples and the hand lets go `after` samples later.
inline void throwFromHeldBack(Deck& deck, double jump, int64_t after) {
  const double offset = holdBack(deck);
  rs_set_scratch_target(deck.handle(), offset + jump);
  deck.process(after);
}

const std::array<Start, 16> kStarts{{
    {"standing", false, [](Deck& d) { rs_engage(d.handle(), 1.0, 0.0), d.process(64); }},
    {"playing", false, [](Deck& d) { d.process(512); }},
    {"varispeed", false, [](Deck& d) { rs_set_varispeed(d.handle(), 0.5), d.seconds(1.0); }},
    {"midStop", false, [](Deck& d) { rs_engage(d.handle(), 0.5 * d.rate(), 0.3), d.seconds(0.25); }},
    {"midStart", false,
     [](Deck& d) {
       rs_engage(d.handle(), 1.0, 0.0), d.process(64);
       rs_release(d.handle(), 0, 0.5 * d.rate(), 0.3), d.seconds(0.25);
     }},
    {"cameToRest", false, [](Deck& d) { rs_engage(d.handle(), 0.25 * d.rate(), 0.3), d.seconds(0.25); }},
    {"scratchSlowForward", false, [](Deck& d) { scratchAt(d, 0.5); }},
    {"scratchSlowBackward", false, [](Deck& d) { scratchAt(d, -0.5); }},
    {"heldBack", false, [](Deck& d) { holdBack(d), d.seconds(0.1); }},
    {"scratchFastForward", true, [](Deck& d) { scratchAt(d, 2.5); }},
    {"scratchFastBackward", true, [](Deck& d) { scratchAt(d, -2.5); }},
    {"flick", true, [](Deck& d) { throwFromHeldBack(d, 2000.0, 40); }},
    {"pulledBack", true, [](Deck& d) { throwFromHeldBack(d, -2000.0, 40); }},
    {"flungForward", true, [](Deck& d) { throwFromHeldBack(d, 19000.0, 2000); }},
    {"flungBackward", true, [](Deck& d) { throwFromHeldBack(d, -1.0e6, 600); }},
    {"backwardFaster", true, [](Deck& d) { throwFromHeldBack(d, -1.0e6, 20); }},
}};

enum class Call { Engage, Release, ReleaseOnGrid };
constexpr std::array<Call, 3> kCalls{Call::Engage, Call::Release, Call::ReleaseOnGrid};
inline const char* callName(Call call) {
  return call == Call::Engage ? "engage" : call == Call::Release ? "release" : "releaseGrid";
}

// One beat at 120 BPM.
inline double gridSamples(double rate) { return 0.5 * rate; }

// Whether the C call acts from the state `start` leaves: a stop needs a moving platter, a start a
// stopped or scratched one. The others are timed on the solver directly.
inline bool callActs(const Deck& deck, Call call) {
  const EngineState s = deck.probe().state();
  if (call == Call::Engage) return s != EngineState::Stopping && s != EngineState::Stopped;
  return s != EngineState::Playing && s != EngineState::Starting;
}

inline void callPlatter(rs_handle h, Call call, double rampSamples, const Feel& feel, double rate) {
  if (call == Call::Engage) {
    rs_engage_platter(h, rampSamples, feel.inertiaMs, feel.motorMs);
  } else {
    rs_release_platter(h, rampSamples, feel.inertiaMs, feel.motorMs, call == Call::Release ? 0.0 : gridSamples(rate));
  }
}

}  // namespace reelstop::sweep
