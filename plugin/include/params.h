// The nineteen parameters of Reelstop, in the order of their values in saved state.
#pragma once

namespace reelstop {

enum EParams {
  kStop = 0,
  kStopTime,
  kStopSync,
  kStopCurve,
  kStartTime,
  kStartSync,
  kStartCurve,
  kStartMode,
  kVarispeed,
  kMidiTrigger,
  kSnap,
  kTurn,
  kRamp,
  kAuto,
  kScratch,
  kLock,
  kWeight,
  kEaseIn,
  kEaseOut,
  kNumParams
};

}  // namespace reelstop
