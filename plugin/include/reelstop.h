// Reelstop: the plug-in core. It owns the parameters, the tempo state, the engine host, the
// capture recorder, the tape control that turns notes, parameters and the hand into stops,
// starts and scratches, and the 500 ms timer. Its parts live in one file per concern:
// param_table, grid_timing, tape_control, processing, state and capture.
// Threads: ProcessMidiMsg and ProcessBlock run on the audio thread and never allocate, lock,
// load or free; OnReset runs under the main lock while audio is stopped and sizes what they
// use; construction, destruction, the timer, the state calls, OnParamChangeUI and OnUIClose run
// on the main thread.
// The editor and the audio thread meet only in EditorLink.
#pragma once

#include <memory>

#include "capture_recorder.h"
#include "editor_link.h"
#include "engine_host.h"
#include "frame/imidi.h"
#include "frame/plugin.h"
#include "frame/timer.h"
#include "grid_timing.h"
#include "params.h"
#include "tape_control.h"

namespace reelstop {

class Reelstop : public frame::Plugin {
 public:
  explicit Reelstop(const frame::InstanceInfo& info);
  ~Reelstop() override;
  // Who the plug-in is and what it offers a host, before any instance exists.
  static frame::Config config();

  void OnReset() override;
  void ProcessMidiMsg(const frame::IMidiMsg& msg) override;
  void ProcessBlock(float** inputs, float** outputs, int nFrames) override;
  bool SerializeState(frame::IByteChunk& chunk) const override;
  int UnserializeState(const frame::IByteChunk& chunk, int startPos) override;
  void OnParamChangeUI(int paramIdx, frame::EParamSource source) override;
  void OnUIClose() override;

  // Every 500 ms on the main thread.
  void onTimer();

  const EngineHost& engineHost() const { return mEngineHost; }
  const GridTiming& timing() const { return mTiming; }
  const TapeControl& control() const { return mControl; }
  EditorLink& editorLink() { return mLink; }
  const EditorLink& editorLink() const { return mLink; }

 private:
  int paramInt(int paramIdx) const { return GetParam(paramIdx)->Int(); }
  const Slot& engine() const { return mEngineHost.current(); }

  // processing.cpp
  void sendVarispeed();
  void renderEngine(float** outputs, int nch, int from, int to);
  void recordLevels(float** outputs, int nch, int nFrames);
  void publishDisplay();

  GridTiming mTiming;
  EngineHost mEngineHost;
  frame::IMidiQueue mMidiQueue;
  CaptureRecorder mCapture;
  EditorLink mLink;
  TapeControl mControl;

  // Block processing state, audio thread only.
  float mRunningPeak = 0.0f;
  int32_t mSilentSamples = 1 << 30;

  std::unique_ptr<frame::Timer> mTimer;
};

}  // namespace reelstop
