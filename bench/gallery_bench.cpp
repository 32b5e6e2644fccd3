// The gallery frame drawn whole by the Cairo renderer at scale 1 and 2, on a live Reelstop; the
// counter `surface_bytes` is the image one surface holds.
#include <benchmark/benchmark.h>

#include <memory>

#include "cairo_graphics.h"
#include "frame/headless_host.h"
#include "frame/resources.h"
#include "gallery_layout.h"
#include "reelstop.h"

namespace {

void BM_GalleryFrame(benchmark::State& state) {
  frame::SetResourceFolder(REELSTOP_RESOURCES);
  frame::HeadlessHost host([](const frame::InstanceInfo& info) { return std::make_unique<reelstop::Reelstop>(info); });
  frame::Plugin& plugin = host.plugin();
  plugin.mMakeGraphicsFunc = [&plugin](int w, int h, float s) { return frame::MakeGraphics(plugin, w, h, s); };
  plugin.mLayoutFunc = [](frame::IGraphics* g) { gallery::layout(*g); };
  auto* g = static_cast<frame::CairoGraphics*>(host.openEditor());
  g->SetScale(static_cast<float>(state.range(0)));
  g->RunFrame();
  for (auto _ : state) {
    g->SetAllControlsDirty();
    benchmark::DoNotOptimize(g->RunFrame());
  }
  int stride = 0;
  g->Pixels(stride);
  state.counters["surface_bytes"] = static_cast<double>(stride) * g->PixelHeight();
}
BENCHMARK(BM_GalleryFrame)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
