// Reelstop: the plug-in core. It owns the parameters, the tempo state, the engine host and the
// 500 ms timer, and drives the tape engine from the host's blocks.
// Threads: OnReset, ProcessMidiMsg and ProcessBlock run on the audio thread; construction,
// destruction, the timer, the state calls and OnParamChangeUI on the main thread.
#pragma once

#include <memory>

#include "engine_host.h"
#include "grid_timing.h"
#include "iplug/imidi.h"
#include "iplug/plugin.h"
#include "iplug/timer.h"
#include "params.h"

namespace reelstop {

class Reelstop : public iplug::Plugin {
 public:
  explicit Reelstop(const iplug::InstanceInfo& info);
  ~Reelstop() override;

  void OnReset() override;
  void ProcessMidiMsg(const iplug::IMidiMsg& msg) override;
  void ProcessBlock(float** inputs, float** outputs, int nFrames) override;
  bool SerializeState(iplug::IByteChunk& chunk) const override;
  int UnserializeState(const iplug::IByteChunk& chunk, int startPos) override;

  // The timing functions on the current parameters and tempo state (audio thread).
  double rampSamples(int timeParam, int syncParam) const;
  double reentryGridBeats() const;
  double autoStopSamples(int offset) const;
  double startSamplesOnGrid(int offset, double length, double minimum) const;

  // Every 500 ms on the main thread.
  void onTimer();

  const EngineHost& engineHost() const { return mEngineHost; }
  const GridTiming& timing() const { return mTiming; }

 private:
  static iplug::Config config();
  int paramInt(int paramIdx) const { return GetParam(paramIdx)->Int(); }

  GridTiming mTiming;
  EngineHost mEngineHost;
  iplug::IMidiQueue mMidiQueue;
  std::unique_ptr<iplug::Timer> mTimer;
};

}  // namespace reelstop
