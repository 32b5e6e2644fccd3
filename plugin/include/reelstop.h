// Reelstop: the plug-in core. It owns the parameters, the tempo state, the engine host, the
// capture recorder and the 500 ms timer, and turns notes, parameters and the hand into stops,
// starts and scratches of the tape at exact samples. Its parts live in one file per concern:
// param_table, grid_timing, control, processing, state and capture.
// Threads: ProcessMidiMsg and ProcessBlock run on the audio thread and never allocate, lock,
// load or free; OnReset runs under the main lock while audio is stopped and sizes what they
// use; construction, destruction, the timer, the state calls, OnParamChangeUI and OnUIClose run
// on the main thread.
// The editor and the audio thread meet only in EditorLink.
#pragma once

#include <bitset>
#include <memory>

#include "capture_recorder.h"
#include "editor_link.h"
#include "engine_host.h"
#include "grid_timing.h"
#include "iplug/imidi.h"
#include "iplug/plugin.h"
#include "iplug/timer.h"
#include "params.h"

namespace reelstop {

constexpr size_t kMidiChannels = 16;
constexpr size_t kMidiNotes = 128;

class Reelstop : public iplug::Plugin, public EditorLink {
 public:
  explicit Reelstop(const iplug::InstanceInfo& info);
  ~Reelstop() override;

  void OnReset() override;
  void ProcessMidiMsg(const iplug::IMidiMsg& msg) override;
  void ProcessBlock(float** inputs, float** outputs, int nFrames) override;
  bool SerializeState(iplug::IByteChunk& chunk) const override;
  int UnserializeState(const iplug::IByteChunk& chunk, int startPos) override;
  void OnParamChangeUI(int paramIdx, iplug::EParamSource source) override;
  void OnUIClose() override;

  // The timing functions on the current parameters and tempo state (audio thread).
  double rampSamples(int timeParam, int syncParam) const;
  double reentryGridBeats() const;
  double autoStopSamples(int offset) const;
  double startSamplesOnGrid(int offset, double length, double minimum) const;

  // Every 500 ms on the main thread.
  void onTimer();

  const EngineHost& engineHost() const { return mEngineHost; }
  const GridTiming& timing() const { return mTiming; }
  // The direction of the last command: true after a stop, false after a start.
  bool isEngaged() const { return engaged; }
  // Stops and starts issued to the engine since construction (audio thread; for a host's report).
  int64_t stopsIssued() const { return mStops; }
  int64_t startsIssued() const { return mStarts; }

 private:
  static iplug::Config config();
  int paramInt(int paramIdx) const { return GetParam(paramIdx)->Int(); }
  bool paramOn(int paramIdx) const { return GetParam(paramIdx)->Bool(); }
  const Slot& engine() const { return mEngineHost.current(); }

  // control.cpp
  void updateEngaged(int offset);
  void scratchTo(double angleRad, int offset, bool want);
  void engageEngine(int offset);
  void releaseEngine(int offset);
  double autoStartSamples(int offset) const;
  // True for the messages that count notes: they split the block and are decided on.
  bool countNote(const iplug::IMidiMsg& msg);
  void releaseKey(size_t key);
  double inertiaMs() const;
  double motorMs() const;

  // processing.cpp
  void sendVarispeed();
  void renderEngine(float** outputs, int nch, int from, int to);
  void recordLevels(float** outputs, int nch, int nFrames);
  void publishDisplay();

  GridTiming mTiming;
  EngineHost mEngineHost;
  iplug::IMidiQueue mMidiQueue;
  CaptureRecorder mCapture;

  // Control state, audio thread only.
  bool engaged = false;
  // The (channel, note) keys held: a key pressed twice is held once, a stray note-off frees nothing.
  std::bitset<kMidiChannels * kMidiNotes> heldKeys;
  int32_t heldNotes = 0;  // keys set in heldKeys
  int64_t blockStartSample = 0;
  int64_t engagedAt = 0;
  double stopLength = 0.0;
  bool paramScratchArmed = false;
  bool paramScratchMoved = false;
  double paramScratchRef = 0.0;    // turns
  double scratchTravel = 0.0;      // samples, both directions counted
  double lastScratchTarget = 0.0;  // radians
  double scratchStartAngle = 0.0;  // radians
  int64_t mStops = 0;
  int64_t mStarts = 0;

  // Block processing state, audio thread only.
  float runningPeak = 0.0f;
  int32_t silentSamples = 1 << 30;

  std::unique_ptr<iplug::Timer> mTimer;
};

}  // namespace reelstop
