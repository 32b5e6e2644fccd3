// Plugin base: configuration, host notifications, latency and channel bookkeeping.
#include "frame/plugin.h"

#include <cstdlib>
#include <mutex>
#include <sstream>

#include "frame/igraphics.h"
#include "frame/main_lock.h"

namespace frame {

Plugin::Plugin(const InstanceInfo& info, const Config& config)
    : mConfig(config),
      mHost(info.host),
      mCallbacks(info.callbacks),
      mParams(static_cast<size_t>(std::max(config.nParams, 0))),
      mLatency(config.latency) {}

// The editor's controls hold references into the plug-in, so they go before anything else of it.
Plugin::~Plugin() { mGraphics.reset(); }

int Plugin::MaxNChannels(ERoute route) const {
  // The widest of the "in-out" pairs of the channel configuration.
  std::istringstream pairs(mConfig.channelIOStr);
  std::string pair;
  int widest = 0;
  while (pairs >> pair) {
    const size_t dash = pair.find('-');
    if (dash == std::string::npos) continue;
    const int count = std::atoi(route == ERoute::kInput ? pair.substr(0, dash).c_str() : pair.substr(dash + 1).c_str());
    widest = std::max(widest, count);
  }
  return widest;
}

void Plugin::SetLatency(int samples) {
  mLatency = samples;
  if (mCallbacks != nullptr) mCallbacks->LatencyChanged(samples);
}

void Plugin::SetChannelsConnected(int inputs, int outputs) {
  mInputs = std::max(inputs, 0);
  mOutputs = std::max(outputs, 0);
}

void Plugin::Reset() {
  std::lock_guard<std::recursive_mutex> main(MainLock());
  OnReset();
}

void Plugin::SetParameterValueFromHost(int paramIdx, double normalized) {
  if (paramIdx < 0 || paramIdx >= NParams()) return;
  SetPlainParameterValueFromHost(paramIdx, GetParam(paramIdx)->FromNormalized(normalized));
}

void Plugin::SetPlainParameterValueFromHost(int paramIdx, double value) {
  if (paramIdx < 0 || paramIdx >= NParams()) return;
  GetParam(paramIdx)->Set(value);
  ControlsFollow(paramIdx);
  OnParamChangeUI(paramIdx, kHost);
}

void Plugin::SendParameterValueFromUI(int paramIdx, double normalized) {
  if (paramIdx < 0 || paramIdx >= NParams()) return;
  GetParam(paramIdx)->SetNormalized(normalized);
  if (mCallbacks != nullptr) mCallbacks->ParameterChangedFromUI(paramIdx, GetParam(paramIdx)->GetNormalized());
  ControlsFollow(paramIdx);
  OnParamChangeUI(paramIdx, kUI);
}

void Plugin::BeginInformHostOfParamChangeFromUI(int paramIdx) {
  if (mCallbacks != nullptr) mCallbacks->BeginGesture(paramIdx);
}

void Plugin::EndInformHostOfParamChangeFromUI(int paramIdx) {
  if (mCallbacks != nullptr) mCallbacks->EndGesture(paramIdx);
}

void Plugin::InformHostOfPresetRecall() {
  if (mCallbacks != nullptr) mCallbacks->ParametersRecalled();
  for (int i = 0; i < NParams(); ++i) {
    ControlsFollow(i);
    OnParamChangeUI(i, kPresetRecall);
  }
}

}  // namespace frame
