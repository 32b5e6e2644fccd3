// HeadlessHost: drives one plug-in as a host would, without audio devices or windows: the host
// of the tests and of the offline renderer. Everything runs on the calling thread, which plays
// both the audio and the main thread; timers tick by the audio rendered.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "frame/plugin.h"
#include "frame/timer.h"

namespace frame {

class HeadlessHost : public HostCallbacks {
 public:
  using Factory = std::function<std::unique_ptr<Plugin>(const InstanceInfo&)>;

  explicit HeadlessHost(const Factory& make, EHost kind = EHost::kHostOffline);
  ~HeadlessHost() override;

  Plugin& plugin() { return *mPlugin; }

  // Sets the format and resets the plug-in, as a host does before it starts processing.
  void configure(double sampleRate, int blockSize, int channels);

  // One block: the transport and the MIDI messages sent since the last block go with it, and the
  // timers advance by the block's duration.
  void process(float** inputs, float** outputs, int nFrames);
  ITimeInfo& transport() { return mTransport; }
  void sendMidi(const IMidiMsg& msg) { mPendingMidi.push_back(msg); }

  // Automation as a host writes it: a normalised value, optionally inside a gesture.
  void setParameter(int paramIdx, double normalized) { mPlugin->SetParameterValueFromHost(paramIdx, normalized); }
  void setPlainParameter(int paramIdx, double value) { mPlugin->SetPlainParameterValueFromHost(paramIdx, value); }

  IByteChunk saveState() const;
  int restoreState(const IByteChunk& chunk) { return mPlugin->UnserializeState(chunk, 0); }

  // What the plug-in told its host.
  struct Gesture {
    int paramIdx;
    bool begin;
  };
  const std::vector<Gesture>& gestures() const { return mGestures; }
  int latency() const { return mLatency; }
  int recalls() const { return mRecalls; }

 private:
  void ParameterChangedFromUI(int, double) override {}
  void BeginGesture(int paramIdx) override { mGestures.push_back({paramIdx, true}); }
  void EndGesture(int paramIdx) override { mGestures.push_back({paramIdx, false}); }
  void ParametersRecalled() override { ++mRecalls; }
  void LatencyChanged(int samples) override { mLatency = samples; }

  ManualTimerClock mClock;
  std::unique_ptr<Plugin> mPlugin;
  ITimeInfo mTransport;
  std::vector<IMidiMsg> mPendingMidi;
  std::vector<Gesture> mGestures;
  int mLatency = 0;
  int mRecalls = 0;
};

}  // namespace frame
