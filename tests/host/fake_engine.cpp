// A stand-in tape engine library: passes audio through times FAKE_GAIN, so a test can tell which
// engine played a block; the definitions FAKE_ABI, FAKE_LATENCY and FAKE_WITHOUT_RELEASE_PLATTER
// build the faulty variants the host must refuse.
#include <new>

#include "reelstop_engine.h"

#ifndef FAKE_ABI
#define FAKE_ABI 3
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

struct rs_engine_t {
  int32_t channels;
};

extern "C" {

int32_t rs_abi_version(void) { return FAKE_ABI; }
const char* rs_build_id(void) { return FAKE_BUILD_ID; }
int32_t rs_latency(void) { return FAKE_LATENCY; }
rs_handle rs_create(int32_t channels, double) { return new (std::nothrow) rs_engine_t{channels}; }
void rs_destroy(rs_handle engine) { delete engine; }

void rs_process(rs_handle engine, float* const* io, int32_t channels, int32_t frames) {
  if (engine == nullptr) return;
  for (int32_t c = 0; c < channels; ++c) {
    const float gain = c < engine->channels ? FAKE_GAIN : 0.0f;
    for (int32_t i = 0; i < frames; ++i) io[c][i] *= gain;
  }
}

void rs_engage(rs_handle, double, double) {}
void rs_release(rs_handle, int32_t, double, double) {}
void rs_set_varispeed(rs_handle, double) {}
void rs_begin_scratch(rs_handle) {}
void rs_set_scratch_target(rs_handle, double) {}
int32_t rs_is_scratching(rs_handle) { return 0; }
double rs_speed(rs_handle) { return 1.0; }
double rs_lag(rs_handle) { return 0.0; }
void rs_engage_shaped(rs_handle, int32_t, double, double, double) {}
void rs_release_shaped(rs_handle, int32_t, double, double, double, double) {}
void rs_engage_platter(rs_handle, double, double, double) {}
#ifndef FAKE_WITHOUT_RELEASE_PLATTER
void rs_release_platter(rs_handle, double, double, double, double) {}
#endif

}  // extern "C"
