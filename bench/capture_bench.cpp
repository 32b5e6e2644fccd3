// The capture recorder's file writing: 30 seconds of stereo audio and the speed table, written on
// the main thread while every instance's reset, state calls and editor frames wait for the lock.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "capture_recorder.h"

namespace {

namespace fs = std::filesystem;

constexpr double kRateHz = 48000.0;
constexpr int kBlockFrames = 512;

// A full recording of a tone in a data folder of its own, ready to be written.
class FullRecording {
 public:
  FullRecording() {
    folder = fs::temp_directory_path() / ("reelstop-capture-bench-" + std::to_string(::getpid()));
    fs::create_directories(folder / "Reelstop" / "capture");
    ::setenv("XDG_DATA_HOME", folder.c_str(), 1);
    std::ofstream(folder / "Reelstop" / "capture" / "reelstop-capture.on").put('\n');
    recorder.arm(kRateHz, kBlockFrames);
    std::vector<float> left(kBlockFrames), right(kBlockFrames);
    float* io[2] = {left.data(), right.data()};
    for (long frame = 0; !recorder.takeFull(); frame += kBlockFrames) {
      for (int i = 0; i < kBlockFrames; ++i) {
        left[static_cast<size_t>(i)] = static_cast<float>((frame + i) % 480) / 480.0f - 0.5f;
        right[static_cast<size_t>(i)] = -left[static_cast<size_t>(i)];
      }
      recorder.beforeEngine(io, 2, kBlockFrames);
      recorder.afterEngine(io, 2, kBlockFrames, {true, 1.0, false, 0.0, 120.0, 4.0, 1.0});
    }
  }
  ~FullRecording() {
    ::unsetenv("XDG_DATA_HOME");
    fs::remove_all(folder);
  }
  reelstop::CaptureRecorder recorder;
  fs::path folder;
};

void BM_CaptureWrite(benchmark::State& state) {
  FullRecording recording;
  for (auto _ : state) recording.recorder.write();
  state.counters["wav_bytes"] =
      static_cast<double>(fs::file_size(recording.folder / "Reelstop" / "capture" / "reelstop-capture.wav"));
}
BENCHMARK(BM_CaptureWrite)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
