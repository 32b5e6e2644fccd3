// The editor's frames drawn by the Cairo renderer on a live Reelstop: the record page with a full
// ring of signal at scale 1 and 2, and the settings page.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "cairo_graphics.h"
#include "frame/headless_host.h"
#include "frame/resources.h"
#include "reelstop_editor.h"

namespace {

constexpr int kBlock = 512;

struct PlayingEditor {
  frame::HeadlessHost host{[](const frame::InstanceInfo& info) { return std::make_unique<reelstop::Reelstop>(info); }};
  frame::IGraphics* g = nullptr;
  std::vector<float> left = std::vector<float>(kBlock);
  std::vector<float> right = std::vector<float>(kBlock);
  long sample = 0;

  explicit PlayingEditor(float scale) {
    frame::SetResourceFolder(REELSTOP_RESOURCES);
    host.configure(48000.0, kBlock, 2);
    auto& plugin = static_cast<reelstop::Reelstop&>(host.plugin());
    reelstop_ui::install(plugin);
    g = host.openEditor();
    g->SetScale(scale);
    for (int i = 0; i < 200; ++i) play();  // two seconds: a full ring of history
  }
  // One block of a loud, changing signal, as a host plays it between frames.
  void play() {
    for (int i = 0; i < kBlock; ++i, ++sample)
      left[static_cast<size_t>(i)] = right[static_cast<size_t>(i)] = (sample % 4800 < 2400) ? 0.8f : -0.3f;
    float* io[2] = {left.data(), right.data()};
    host.process(io, io, kBlock);
  }
};

// A record-page frame after each block of audio: what changed (the record always), as drawn 60
// times a second, or with `whole` the whole window, as after a resize or a page change.
void recordPageFrames(benchmark::State& state, bool whole) {
  PlayingEditor editor(static_cast<float>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    editor.play();
    state.ResumeTiming();
    if (whole) editor.g->SetAllControlsDirty();
    benchmark::DoNotOptimize(editor.g->RunFrame());
  }
}

void BM_RecordPageFrame(benchmark::State& state) { recordPageFrames(state, false); }
BENCHMARK(BM_RecordPageFrame)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_RecordPageWholeFrame(benchmark::State& state) { recordPageFrames(state, true); }
BENCHMARK(BM_RecordPageWholeFrame)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_SettingsPageFrame(benchmark::State& state) {
  PlayingEditor editor(static_cast<float>(state.range(0)));
  editor.g->OnMouseDown(388.0f, 25.0f, {true});  // the settings button
  editor.g->OnMouseUp(388.0f, 25.0f, {true});
  for (auto _ : state) {
    editor.g->SetAllControlsDirty();
    benchmark::DoNotOptimize(editor.g->RunFrame());
  }
}
BENCHMARK(BM_SettingsPageFrame)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
