// The stand-in engine's handle, shared with the tests that load it: the stop, start and scratch
// commands it was given, in order, so a test can check every argument the plug-in sent.
#pragma once

#include <cstdint>

struct FakeEngineCall {
  enum class Kind {
    kEngage,
    kRelease,
    kEngageShaped,
    kReleaseShaped,
    kEngagePlatter,
    kReleasePlatter,
    kBeginScratch,
    kSetScratchTarget
  };
  Kind kind;
  int32_t mode;      // release: the start mode; the shaped calls: pitch
  double values[4];  // the double arguments in the order of the call
  int64_t atFrame;   // frames processed before the call: the sample it acts at
};

constexpr int kFakeEngineCallLog = 64;

// What the handle points at (the library's own handle type starts with it).
struct FakeEngineState {
  int32_t channels;
  int32_t scratching;  // from a scratch's beginning to the next stop or start
  int32_t callCount;   // calls made; only the first kFakeEngineCallLog are kept
  int64_t framesProcessed;
  FakeEngineCall calls[kFakeEngineCallLog];
};
