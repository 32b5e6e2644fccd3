// Test harness: one engine handle with helpers to feed it signals and read what it did.
#pragma once

#include <cmath>
#include <functional>
#include <vector>

#include "engine_probe.h"
#include "reelstop_engine.h"

namespace reelstop::test {

constexpr double kRate = 48000.0;

struct Engine {
  rs_handle handle;

  explicit Engine(int channels = 1, double rate = kRate) : handle(rs_create(channels, rate)) {}
  ~Engine() { rs_destroy(handle); }
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  EngineProbe probe() const { return EngineProbe(handle); }
  EngineState state() const { return probe().state(); }

  // Processes `frames` mono frames of `signal(sampleIndex)` one by one, calling `each` after
  // every frame with the output sample.
  void run(long frames, const std::function<float(long)>& signal, const std::function<void(float)>& each) {
    for (long i = 0; i < frames; ++i) {
      float sample = signal(fed++);
      float* io[1] = {&sample};
      rs_process(handle, io, 1, 1);
      each(sample);
    }
  }

  // Speeds of the next `frames` samples of silence.
  std::vector<double> speeds(long frames) {
    std::vector<double> out;
    run(
        frames, [](long) { return 0.0f; }, [&](float) { out.push_back(rs_speed(handle)); });
    return out;
  }

  void skip(long frames) { speeds(frames); }

  long fed = 0;
};

// A 100 Hz tone: slow enough that any jump of the head shows as a step between samples.
inline float tone(long i) {
  return static_cast<float>(0.5 * std::sin(2.0 * M_PI * 100.0 * static_cast<double>(i) / kRate));
}

// Largest step between neighbouring output samples while `frames` of the tone play.
inline double largestStep(Engine& engine, long frames) {
  double largest = 0.0;
  float previous = 0.0f;
  bool first = true;
  engine.run(frames, tone, [&](float out) {
    if (!first) largest = std::max(largest, static_cast<double>(std::fabs(out - previous)));
    previous = out;
    first = false;
  });
  return largest;
}

}  // namespace reelstop::test
