// The tape engine's flat C interface: eighteen functions over an opaque engine handle.
// Units: sample rate in Hz; ramp lengths, grids, lags and positions in samples; speed as a
// ratio of normal playback; platter times in milliseconds.
// Every function but rs_create and rs_destroy is free of allocation, locks and system calls,
// so the audio thread may call them. A null handle is tolerated everywhere and does nothing.
#pragma once

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define RS_EXPORT __attribute__((visibility("default")))

// The interface version this header describes; a library reporting another is refused.
#define RS_ABI_VERSION 3

// Every entry point, in the order of a host's function table: X(name) for each rs_name.
#define RS_ENTRY_POINTS(X) \
  X(abi_version)           \
  X(build_id)              \
  X(latency)               \
  X(create)                \
  X(destroy)               \
  X(process)               \
  X(engage)                \
  X(release)               \
  X(set_varispeed)         \
  X(begin_scratch)         \
  X(set_scratch_target)    \
  X(is_scratching)         \
  X(speed)                 \
  X(lag)                   \
  X(engage_shaped)         \
  X(release_shaped)        \
  X(engage_platter)        \
  X(release_platter)

typedef struct rs_engine_t* rs_handle;

RS_EXPORT int32_t rs_abi_version(void);
RS_EXPORT const char* rs_build_id(void);
RS_EXPORT int32_t rs_latency(void);
RS_EXPORT rs_handle rs_create(int32_t channels, double sampleRate);
RS_EXPORT void rs_destroy(rs_handle engine);
RS_EXPORT void rs_process(rs_handle engine, float* const* io, int32_t channels, int32_t frames);
RS_EXPORT void rs_engage(rs_handle engine, double rampSamples, double curve);
RS_EXPORT void rs_release(rs_handle engine, int32_t mode, double rampSamples, double curve);
RS_EXPORT void rs_set_varispeed(rs_handle engine, double ratio);
RS_EXPORT void rs_begin_scratch(rs_handle engine);
RS_EXPORT void rs_set_scratch_target(rs_handle engine, double offsetSamples);
RS_EXPORT int32_t rs_is_scratching(rs_handle engine);
RS_EXPORT double rs_speed(rs_handle engine);
RS_EXPORT double rs_lag(rs_handle engine);
RS_EXPORT void rs_engage_shaped(rs_handle engine, int32_t pitch, double rampSamples, double easeIn, double easeOut);
RS_EXPORT void rs_release_shaped(rs_handle engine, int32_t pitch, double rampSamples, double easeIn, double easeOut,
                                 double gridSamples);
RS_EXPORT void rs_engage_platter(rs_handle engine, double rampSamples, double inertiaMs, double motorMs);
RS_EXPORT void rs_release_platter(rs_handle engine, double rampSamples, double inertiaMs, double motorMs,
                                  double gridSamples);

#ifdef __cplusplus
}
#endif
