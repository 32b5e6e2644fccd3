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

  // The plug-in's editor, as a host opens and closes it; drawn by the renderer the program links.
  IGraphics* openEditor() { return mPlugin->OpenWindow(); }
  void closeEditor() { mPlugin->CloseWindow(); }

  // What the plug-in told its host.
  struct Gesture {
    int paramIdx;
    bool begin;
  };
  const std::vector<Gesture>& gestures() const { return mGestures; }
  // Gestures and the values the editor sent, in the order they came.
  struct EditorEvent {
    enum class Kind { kBegin, kValue, kEnd };
    Kind kind;
    int paramIdx;
    double normalized;  // kValue only
  };
  const std::vector<EditorEvent>& editorEvents() const { return mEditorEvents; }
  int latency() const { return mLatency; }
  int recalls() const { return mRecalls; }

 private:
  void ParameterChangedFromUI(int paramIdx, double normalized) override {
    mEditorEvents.push_back({EditorEvent::Kind::kValue, paramIdx, normalized});
  }
  void BeginGesture(int paramIdx) override {
    mGestures.push_back({paramIdx, true});
    mEditorEvents.push_back({EditorEvent::Kind::kBegin, paramIdx, 0.0});
  }
  void EndGesture(int paramIdx) override {
    mGestures.push_back({paramIdx, false});
    mEditorEvents.push_back({EditorEvent::Kind::kEnd, paramIdx, 0.0});
  }
  void ParametersRecalled() override { ++mRecalls; }
  void LatencyChanged(int samples) override { mLatency = samples; }

  ManualTimerClock mClock;
  std::unique_ptr<Plugin> mPlugin;
  ITimeInfo mTransport;
  std::vector<IMidiMsg> mPendingMidi;
  std::vector<Gesture> mGestures;
  std::vector<EditorEvent> mEditorEvents;
  int mLatency = 0;
  int mRecalls = 0;
};

}  // namespace frame
