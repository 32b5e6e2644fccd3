// The tests' read-only view of a tape engine's internals, reached from its C handle.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine_handle.h"

namespace reelstop {

class EngineProbe {
 public:
  explicit EngineProbe(rs_handle handle) : mTape(*engineOf(handle)) {}

  EngineState state() const { return mTape.mState; }
  double speed() const { return mTape.mSpeed; }
  double accel() const { return mTape.mAccel; }
  double sampleRate() const { return mTape.mSampleRate; }
  double maxLag() const { return mTape.mMaxLag; }
  size_t tapeSamples() const { return mTape.mRings.size(); }
  int32_t fadeRemaining() const { return mTape.mFadeRemaining; }
  int32_t fadeLength() const { return mTape.mFadeLength; }
  // Samples between the outgoing head of a crossfade and the live position.
  double fadeLag() const { return mTape.livePos() - mTape.mFadePos; }
  double varispeed() const { return mTape.mVarispeed; }

  RampLaw ramp() const { return mTape.mRamp; }
  double rampLength() const { return mTape.mRampLength; }
  bool cutStarted() const { return mTape.mCutStarted; }
  double platterLimit() const { return mTape.mPlatter.mLimit; }
  double bezierX2() const { return mTape.mBezier.mX2; }
  double bezierY0() const { return mTape.mBezier.mY0; }
  double bezierY3() const { return mTape.mBezier.mY3; }
  bool bezierInPitch() const { return mTape.mBezier.mPitch; }
  double bezierLostSamples() const { return mTape.mBezier.lostSamples(); }
  double scratchOffset() const { return mTape.mScratch.mTarget - mTape.mScratch.mOrigin; }

 private:
  const TapeEngine& mTape;
};

}  // namespace reelstop
