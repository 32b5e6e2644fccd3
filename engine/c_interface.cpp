// The eighteen C entry points over TapeEngine, shared by the built-in engine and the
// development library.
#include <cmath>
#include <exception>
#include <new>

#include "build_id.h"
#include "engine_handle.h"
#include "reelstop_engine.h"

using reelstop::TapeEngine;

namespace {

constexpr int32_t kLatencySamples = 2;
constexpr double kTapeSeconds = 20.0;
constexpr double kFallbackSampleRate = 48000.0;

constexpr auto kBuildId = reelstop::compactBuildId(__DATE__, __TIME__);

TapeEngine* tape(rs_handle engine) { return reelstop::engineOf(engine); }

}  // namespace

extern "C" {

int32_t rs_abi_version(void) { return RS_ABI_VERSION; }

const char* rs_build_id(void) { return kBuildId.data(); }

int32_t rs_latency(void) { return kLatencySamples; }

rs_handle rs_create(int32_t channels, double sampleRate) {
  // An unusable rate would put the head ahead of the live position; fall back to a usable one.
  const double rate = std::isfinite(sampleRate) && sampleRate > 0.0 ? sampleRate : kFallbackSampleRate;
  auto* engine = new (std::nothrow) TapeEngine;
  if (engine == nullptr) return nullptr;
  try {
    engine->prepare(rate, channels < 0 ? 0 : channels, kTapeSeconds);
  } catch (const std::exception&) {  // a tape too large for memory: no engine
    delete engine;
    return nullptr;
  }
  return reelstop::handleOf(engine);
}

void rs_destroy(rs_handle engine) { delete tape(engine); }

void rs_process(rs_handle engine, float* const* io, int32_t channels, int32_t frames) {
  if (engine != nullptr) tape(engine)->process(io, channels, frames);
}

void rs_engage(rs_handle engine, double rampSamples, double curve) {
  if (engine != nullptr) tape(engine)->engage(rampSamples, curve);
}

void rs_release(rs_handle engine, int32_t mode, double rampSamples, double curve) {
  const auto startMode = mode == 1 ? reelstop::StartMode::CatchUp : reelstop::StartMode::SpinUp;
  if (engine != nullptr) tape(engine)->release(rampSamples, curve, startMode);
}

void rs_set_varispeed(rs_handle engine, double ratio) {
  if (engine != nullptr) tape(engine)->setVarispeed(ratio);
}

void rs_begin_scratch(rs_handle engine) {
  if (engine != nullptr) tape(engine)->beginScratch();
}

void rs_set_scratch_target(rs_handle engine, double offsetSamples) {
  if (engine != nullptr) tape(engine)->setScratchTarget(offsetSamples);
}

int32_t rs_is_scratching(rs_handle engine) {
  return engine != nullptr && tape(engine)->state() == reelstop::EngineState::Scratching ? 1 : 0;
}

double rs_speed(rs_handle engine) { return engine != nullptr ? tape(engine)->speed() : 0.0; }

double rs_lag(rs_handle engine) { return engine != nullptr ? tape(engine)->lag() : 0.0; }

void rs_engage_shaped(rs_handle engine, int32_t pitch, double rampSamples, double easeIn, double easeOut) {
  if (engine != nullptr) tape(engine)->engageShaped(rampSamples, {easeIn, easeOut, pitch != 0});
}

void rs_release_shaped(rs_handle engine, int32_t pitch, double rampSamples, double easeIn, double easeOut,
                       double gridSamples) {
  if (engine != nullptr) tape(engine)->releaseShaped(rampSamples, {easeIn, easeOut, pitch != 0}, gridSamples);
}

void rs_engage_platter(rs_handle engine, double rampSamples, double inertiaMs, double motorMs) {
  if (engine != nullptr) tape(engine)->engagePlatter(rampSamples, {inertiaMs, motorMs});
}

void rs_release_platter(rs_handle engine, double rampSamples, double inertiaMs, double motorMs, double gridSamples) {
  if (engine != nullptr) tape(engine)->releasePlatter(rampSamples, {inertiaMs, motorMs}, gridSamples);
}

}  // extern "C"
