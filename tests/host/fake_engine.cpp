// A stand-in tape engine library: passes audio through times FAKE_GAIN, so a test can tell which
// engine played a block, and records its commands in its handle; the definitions FAKE_ABI,
// FAKE_LATENCY and FAKE_WITHOUT_RELEASE_PLATTER build the faulty variants the host must refuse.
#include "fake_engine.h"

#include <algorithm>
#include <initializer_list>
#include <new>

#include "reelstop_engine.h"

#ifndef FAKE_ABI
#define FAKE_ABI RS_ABI_VERSION
#endif
#ifndef FAKE_LATENCY
#define FAKE_LATENCY 2
#endif
#ifndef FAKE_GAIN
#define FAKE_GAIN 0.5f
#endif
#ifndef FAKE_BUILD_ID
#define FAKE_BUILD_ID "fake"
#endif

struct rs_engine_t : FakeEngineState {};

namespace {

using Kind = FakeEngineCall::Kind;

void record(rs_handle engine, Kind kind, int32_t mode, std::initializer_list<double> values) {
  if (engine == nullptr) return;
  if (kind != Kind::kSetScratchTarget) engine->scratching = kind == Kind::kBeginScratch ? 1 : 0;
  if (engine->callCount < kFakeEngineCallLog) {
    FakeEngineCall& call = engine->calls[engine->callCount];
    call.kind = kind;
    call.mode = mode;
    std::copy(values.begin(), values.end(), call.values);
    call.atFrame = engine->framesProcessed;
  }
  ++engine->callCount;
}

}  // namespace

extern "C" {

int32_t rs_abi_version(void) { return FAKE_ABI; }
const char* rs_build_id(void) { return FAKE_BUILD_ID; }
int32_t rs_latency(void) { return FAKE_LATENCY; }
rs_handle rs_create(int32_t channels, double) { return new (std::nothrow) rs_engine_t{{channels, 0, 0, 0, {}}}; }
void rs_destroy(rs_handle engine) { delete engine; }

void rs_process(rs_handle engine, float* const* io, int32_t channels, int32_t frames) {
  if (engine == nullptr) return;
  engine->framesProcessed += frames;
  for (int32_t c = 0; c < channels; ++c) {
    const float gain = c < engine->channels ? FAKE_GAIN : 0.0f;
    for (int32_t i = 0; i < frames; ++i) io[c][i] *= gain;
  }
}

void rs_engage(rs_handle e, double length, double curve) { record(e, Kind::kEngage, 0, {length, curve}); }
void rs_release(rs_handle e, int32_t mode, double length, double curve) {
  record(e, Kind::kRelease, mode, {length, curve});
}
void rs_set_varispeed(rs_handle, double) {}
void rs_begin_scratch(rs_handle e) { record(e, Kind::kBeginScratch, 0, {}); }
void rs_set_scratch_target(rs_handle e, double offset) { record(e, Kind::kSetScratchTarget, 0, {offset}); }
int32_t rs_is_scratching(rs_handle e) { return e != nullptr ? e->scratching : 0; }
double rs_speed(rs_handle) { return 1.0; }
double rs_lag(rs_handle) { return 0.0; }
void rs_engage_shaped(rs_handle e, int32_t pitch, double length, double easeIn, double easeOut) {
  record(e, Kind::kEngageShaped, pitch, {length, easeIn, easeOut});
}
void rs_release_shaped(rs_handle e, int32_t pitch, double length, double easeIn, double easeOut, double grid) {
  record(e, Kind::kReleaseShaped, pitch, {length, easeIn, easeOut, grid});
}
void rs_engage_platter(rs_handle e, double length, double inertiaMs, double motorMs) {
  record(e, Kind::kEngagePlatter, 0, {length, inertiaMs, motorMs});
}
#ifndef FAKE_WITHOUT_RELEASE_PLATTER
void rs_release_platter(rs_handle e, double length, double inertiaMs, double motorMs, double grid) {
  record(e, Kind::kReleasePlatter, 0, {length, inertiaMs, motorMs, grid});
}
#endif

}  // extern "C"
