// Reelstop: its configuration and construction.
#include "reelstop.h"

#include "param_table.h"

namespace reelstop {
namespace {

constexpr int kMidiQueueMessages = 512;
constexpr uint32_t kTimerPeriodMs = 500;

constexpr int fourCharCode(const char (&code)[5]) {
  return (code[0] << 24) | (code[1] << 16) | (code[2] << 8) | code[3];
}

}  // namespace

frame::Config Reelstop::config() {
  frame::Config config;
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
  config.plugType = frame::EPlugType::kEffect;
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
  config.projectUri = "https://ferncliff.example/plugins/reelstop";
  config.homepageUri = "https://ferncliff.example/";
  config.licenseUri = "http://opensource.org/licenses/isc";
  config.lv2Class = "lv2:PitchPlugin";
  config.description =
      "A tape stop: the speed falls to standstill along a ramp (a power curve, a Bezier ease in speed or in pitch, or "
      "a weighted, motor-driven platter) and spins back up, locked to the host's tempo and grid. Stops come from held "
      "MIDI notes or the Stop control.";
  return config;
}

Reelstop::Reelstop(const frame::InstanceInfo& info)
    : frame::Plugin(info, config()),
      mMidiQueue(kMidiQueueMessages),
      mControl(*this, mTiming, mEngineHost, mLink, mCapture) {
  initParams(*this);
  SetLatency(engine().api.latency());
  mTimer = frame::Timer::Create([this](frame::Timer&) { onTimer(); }, kTimerPeriodMs);
}

// The timer stops before anything it calls into goes away.
// The editor goes first: its controls hold references into the plug-in's members.
Reelstop::~Reelstop() {
  CloseWindow();
  mTimer->Stop();
}

}  // namespace reelstop
