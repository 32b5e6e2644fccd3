// TapeControl: notes, "Stop", the hand and the "Scratch" automation decide when the tape stops,
// starts or scratches, with which ramp and how long, and command the active engine at exact
// samples.
// Audio thread: every call runs inside the block and never allocates, locks, loads or frees;
// reset runs under the main lock while no block runs.
#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>

#include "capture_recorder.h"
#include "editor_link.h"
#include "engine_host.h"
#include "frame/imidi.h"
#include "frame/plugin.h"
#include "grid_timing.h"

namespace reelstop {

constexpr size_t kMidiChannels = 16;
constexpr size_t kMidiNotes = 128;

class TapeControl {
 public:
  // Reads the parameters, the tempo, the hand and the active engine of its plug-in's parts.
  TapeControl(const frame::Plugin& params, const GridTiming& timing, const EngineHost& engines, const EditorLink& link,
              CaptureRecorder& capture);

  // Playing, no key held: before audio runs, and after every reset.
  void reset();
  // A new engine plays: the next decision issues the stop again if one is wanted.
  void engineReplaced() { mEngaged = false; }
  // True for the messages that count notes: they split the block and are decided on.
  bool countNote(const frame::IMidiMsg& msg);
  // Decides and commands the engine at sample `offset` of the current block.
  void update(int offset);
  void endBlock(int nFrames) { mBlockStartSample += nFrames; }

  // The direction of the last command: true after a stop, false after a start.
  bool isEngaged() const { return mEngaged; }
  // Stops and starts issued to the engine since construction (for a host's report).
  int64_t stopsIssued() const { return mStops; }
  int64_t startsIssued() const { return mStarts; }

 private:
  int paramInt(int paramIdx) const { return mParams.GetParam(paramIdx)->Int(); }
  bool paramOn(int paramIdx) const { return mParams.GetParam(paramIdx)->Bool(); }
  double paramValue(int paramIdx) const { return mParams.GetParam(paramIdx)->Value(); }
  const Slot& engine() const { return mEngines.current(); }

  void scratchTo(double angleRad, int offset, bool want);
  void engageEngine(int offset);
  void releaseEngine(int offset);
  double rampSamples(int timeParam, int syncParam) const;
  double autoStartSamples(int offset) const;
  double inertiaMs() const;
  double motorMs() const;

  const frame::Plugin& mParams;
  const GridTiming& mTiming;
  const EngineHost& mEngines;
  const EditorLink& mLink;
  CaptureRecorder& mCapture;

  bool mEngaged = false;
  // The (channel, note) keys held: a key pressed twice is held once, a stray note-off frees nothing.
  std::bitset<kMidiChannels * kMidiNotes> mHeldKeys;
  int64_t mBlockStartSample = 0;
  int64_t mEngagedAt = 0;    // where the last stop or scratch began, on the mBlockStartSample count
  double mStopLength = 0.0;  // samples
  bool mParamScratchArmed = false;
  bool mParamScratchMoved = false;
  double mParamScratchRef = 0.0;    // turns
  double mScratchTravel = 0.0;      // samples, both directions counted
  double mLastScratchTarget = 0.0;  // radians
  double mScratchStartAngle = 0.0;  // radians
  int64_t mStops = 0;
  int64_t mStarts = 0;
};

}  // namespace reelstop
