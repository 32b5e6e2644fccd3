// Reelstop: construction, reset, the block and the timer.
#include "reelstop.h"

#include <algorithm>
#include <cstring>

#include "param_table.h"
#include "reelstop_engine.h"

namespace reelstop {
namespace {

constexpr int kMidiQueueMessages = 512;
constexpr int kMinMidiQueueMessages = 256;
constexpr uint32_t kTimerPeriodMs = 500;

constexpr int fourCharCode(const char (&code)[5]) {
  return (code[0] << 24) | (code[1] << 16) | (code[2] << 8) | code[3];
}

}  // namespace

iplug::Config Reelstop::config() {
  iplug::Config config;
  config.nParams = kNumParams;
  config.nPresets = 1;
  config.channelIOStr = "1-1 2-2";
  config.pluginName = "reelstop";
  config.productName = "reelstop";
  config.mfrName = "ferncliff";
  config.vendorVersion = 0x000100;  // 0.1.0
  config.uniqueID = fourCharCode("Rlst");
  config.mfrID = fourCharCode("Fern");
  config.latency = 0;
  config.plugDoesMidiIn = true;
  config.plugDoesChunks = true;
  config.plugType = iplug::EPlugType::kEffect;
  config.plugHasUI = true;
  config.plugWidth = 420;
  config.plugHeight = 480;
  config.plugMinWidth = 140;
  config.plugMinHeight = 160;
  config.plugMaxWidth = 1260;
  config.plugMaxHeight = 1440;
  config.plugHostResize = true;
  config.bundleID = "com.ferncliff.reelstop";
  config.appGroupID = "com.ferncliff.reelstop.shared";
  return config;
}

Reelstop::Reelstop(const iplug::InstanceInfo& info) : iplug::Plugin(info, config()), mMidiQueue(kMidiQueueMessages) {
  initParams(*this);
  SetLatency(rs_latency());
  mTimer = iplug::Timer::Create([this](iplug::Timer&) { onTimer(); }, kTimerPeriodMs);
}

// The timer stops before anything it calls into goes away.
Reelstop::~Reelstop() { mTimer->Stop(); }

void Reelstop::OnReset() {
  mTiming.sampleRate = GetSampleRate();
  mEngineHost.prepare(mTiming.sampleRate, MaxNChannels(iplug::ERoute::kOutput) >= 2 ? 2 : 1);
  const Slot& engine = mEngineHost.current();
  engine.api.set_varispeed(engine.engine, GetParam(kVarispeed)->Value() / 100.0);
  SetLatency(rs_latency());
  mMidiQueue.Resize(std::max(GetBlockSize(), kMinMidiQueueMessages));
}

void Reelstop::ProcessMidiMsg(const iplug::IMidiMsg& msg) { mMidiQueue.Add(msg); }

void Reelstop::ProcessBlock(float** inputs, float** outputs, int nFrames) {
  const int nIn = NChannelsConnected(iplug::ERoute::kInput);
  const int nch = NChannelsConnected(iplug::ERoute::kOutput) >= 2 ? 2 : 1;
  // From here on the outputs hold the dry input and the engine works on them in place.
  for (int c = 0; c < nch; ++c) {
    if (c < nIn && inputs[c] != nullptr) {
      if (inputs[c] != outputs[c]) std::memcpy(outputs[c], inputs[c], sizeof(float) * static_cast<size_t>(nFrames));
    } else {
      std::fill(outputs[c], outputs[c] + nFrames, 0.0f);
    }
  }
  mTiming.readTransport(GetTimeInfo(), GetHost() == iplug::EHost::kHostStandalone);
  mEngineHost.beginBlock();
  const Slot& engine = mEngineHost.current();
  engine.api.set_varispeed(engine.engine, GetParam(kVarispeed)->Value() / 100.0);
  engine.api.process(engine.engine, outputs, nch, nFrames);
  mMidiQueue.Flush(nFrames);
}

void Reelstop::onTimer() { mEngineHost.poll(); }

double Reelstop::rampSamples(int timeParam, int syncParam) const {
  return mTiming.rampSamples(GetParam(timeParam)->Value(), paramInt(syncParam));
}

double Reelstop::reentryGridBeats() const { return mTiming.reentryGridBeats(paramInt(kSnap)); }

double Reelstop::autoStopSamples(int offset) const { return mTiming.autoStopSamples(offset, paramInt(kSnap)); }

double Reelstop::startSamplesOnGrid(int offset, double length, double minimum) const {
  return mTiming.startSamplesOnGrid(offset, length, minimum, paramInt(kSnap));
}

}  // namespace reelstop
