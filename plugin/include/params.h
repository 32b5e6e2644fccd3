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

// Values of the enumerations the core reads.
enum ERamp { kRampManual = 0, kRampLinear, kRampBezier, kRampBezierPitch, kRampPlatter };
enum ESnap { kSnapFree = 0 };
enum ETurn { kTurnOneBar = 0, kTurnTwoBars };

}  // namespace reelstop
