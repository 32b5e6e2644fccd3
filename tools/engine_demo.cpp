// Engine demo: a 2-second platter stop and spin-up on a tone, printed as speed, lag and level.
#include <cmath>
#include <cstdio>
#include <vector>

#include "reelstop_engine.h"

namespace {

constexpr double kSampleRate = 48000.0;
constexpr int kChannels = 2;
constexpr int kBlockFrames = 512;
constexpr double kRampSeconds = 2.0;
constexpr double kReportEverySeconds = 0.25;
constexpr double kInertiaMs = 65.0;
constexpr double kMotorMs = 85.0;
constexpr double kTwoPi = 6.28318530717958647692;

struct Demo {
  rs_handle engine = rs_create(kChannels, kSampleRate);
  std::vector<float> left = std::vector<float>(kBlockFrames);
  std::vector<float> right = std::vector<float>(kBlockFrames);
  long long played = 0;
  double squares = 0.0;
  long long squaredFrames = 0;

  ~Demo() { rs_destroy(engine); }

  void play(double seconds, const char* phase) {
    const auto frames = static_cast<long long>(seconds * kSampleRate);
    const auto reportFrames = static_cast<long long>(kReportEverySeconds * kSampleRate);
    for (long long done = 0; done < frames; done += kBlockFrames) {
      for (int i = 0; i < kBlockFrames; ++i) {
        const double t = static_cast<double>(played + i) / kSampleRate;
        left[i] = static_cast<float>(0.5 * std::sin(kTwoPi * 220.0 * t));
        right[i] = static_cast<float>(0.5 * std::sin(kTwoPi * 330.0 * t));
      }
      float* io[kChannels] = {left.data(), right.data()};
      rs_process(engine, io, kChannels, kBlockFrames);
      for (float sample : left) squares += static_cast<double>(sample) * sample;
      squaredFrames += kBlockFrames;
      played += kBlockFrames;
      if (played % reportFrames < kBlockFrames) report(phase);
    }
  }

  void report(const char* phase) {
    const double rms = std::sqrt(squares / static_cast<double>(squaredFrames));
    std::printf("%7.3f  %-9s %7.1f %%  %10.1f  %6.1f dB\n", static_cast<double>(played) / kSampleRate, phase,
                100.0 * rs_speed(engine), rs_lag(engine), 20.0 * std::log10(rms + 1e-12));
    squares = 0.0;
    squaredFrames = 0;
  }
};

}  // namespace

int main() {
  Demo demo;
  if (demo.engine == nullptr) {
    std::fprintf(stderr, "reelstop-engine-demo: could not create the engine\n");
    return 1;
  }
  std::printf("Reelstop engine %s (interface %d, latency %d samples), %.0f Hz stereo\n", rs_build_id(),
              rs_abi_version(), rs_latency(), kSampleRate);
  std::printf("A 220/330 Hz tone: playing, a %.0f s platter stop, standing, a %.0f s platter spin-up.\n\n",
              kRampSeconds, kRampSeconds);
  std::printf(" time s  phase       speed    lag samples  level\n");
  const double rampSamples = kRampSeconds * kSampleRate;
  demo.play(1.0, "playing");
  rs_engage_platter(demo.engine, rampSamples, kInertiaMs, kMotorMs);
  demo.play(kRampSeconds, "stopping");
  demo.play(1.0, "stopped");
  rs_release_platter(demo.engine, rampSamples, kInertiaMs, kMotorMs, 0.0);
  demo.play(kRampSeconds, "starting");
  demo.play(1.0, "playing");
  std::printf("\nBack on the live signal: lag %.1f samples, speed %.3f.\n", rs_lag(demo.engine), rs_speed(demo.engine));
  return 0;
}
