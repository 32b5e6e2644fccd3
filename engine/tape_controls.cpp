// The control calls: which states accept them, the ramp each one begins, and where a silent tape
// restarts.
#include <cmath>

#include "ramp_math.h"
#include "tape_engine.h"

namespace reelstop {

bool TapeEngine::mayStop() const { return mState != EngineState::Stopping && mState != EngineState::Stopped; }

bool TapeEngine::mayStart() const { return mState != EngineState::Playing && mState != EngineState::Starting; }

bool TapeEngine::silentStop() const {
  return mState == EngineState::Stopped || (mState == EngineState::Stopping && isSilent(mSpeed));
}

void TapeEngine::beginRamp(double rampSamples, RampLaw law, EngineState towards) {
  mRamp = law;
  mRampLength = usableRampLength(rampSamples);
  mRampElapsed = 0.0;
  mCutStarted = false;
  mState = towards;
}

// A silent tape restarts at the live signal or, on a grid, far enough behind it that after
// losing lagDuringStart on the way up it ends a whole number of grid steps behind. A lag beyond
// the tape's reach (infinite when the platter did not work it out) leaves it at the live signal.
void TapeEngine::restartSilentTape(double lagDuringStart, double grid) {
  double offset = 0.0;
  if (hasGrid(grid) && std::isfinite(lagDuringStart)) {
    offset = std::ceil(lagDuringStart / grid) * grid - lagDuringStart;
    if (lagDuringStart + offset > mMaxLag) offset = 0.0;
  }
  mReadPos = livePos() - offset;
}

void TapeEngine::engage(double rampSamples, double curve) {
  if (!mayStop()) return;
  beginRamp(rampSamples, RampLaw::Power, EngineState::Stopping);
  mPower.begin(mSpeed, curve, false);
}

void TapeEngine::release(double rampSamples, double curve, StartMode mode) {
  if (!mayStart()) return;
  const bool silent = silentStop();
  if (mode == StartMode::CatchUp) {
    beginRamp(rampSamples, RampLaw::Landing, EngineState::Starting);
    const double startLag = silent ? 0.0 : lag();
    const double landingLag = mLanding.begin(mSpeed, mRampLength, startLag);
    if (landingLag < startLag) {
      jumpHead(livePos() - landingLag);
    } else if (silent) {
      mReadPos = livePos();
    }
    return;
  }
  beginRamp(rampSamples, RampLaw::Power, EngineState::Starting);
  mPower.begin(mSpeed, curve, true);
  if (silent) mReadPos = livePos();
}

void TapeEngine::engageShaped(double rampSamples, const RampShape& shape) {
  if (!mayStop()) return;
  beginRamp(rampSamples, RampLaw::Bezier, EngineState::Stopping);
  mBezier.begin(shape, false, mSpeed, mAccel, mRampLength);
}

void TapeEngine::releaseShaped(double rampSamples, const RampShape& shape, double grid) {
  if (!mayStart()) return;
  const bool silent = silentStop();
  beginRamp(rampSamples, RampLaw::Bezier, EngineState::Starting);
  mBezier.begin(shape, true, mSpeed, mAccel, mRampLength);
  if (silent) {
    restartSilentTape(hasGrid(grid) ? mBezier.lostSamples() : 0.0, grid);
  } else if (hasGrid(grid)) {
    mBezier.settleOnGrid(lag(), grid);
  }
}

void TapeEngine::engagePlatter(double rampSamples, const PlatterFeel& feel) {
  if (!mayStop()) return;
  beginRamp(rampSamples, RampLaw::Platter, EngineState::Stopping);
  mPlatter.beginBrake(feel, mSampleRate, mSpeed, mAccel, mRampLength);
}

void TapeEngine::releasePlatter(double rampSamples, const PlatterFeel& feel, double grid) {
  if (!mayStart()) return;
  const bool silent = silentStop();
  beginRamp(rampSamples, RampLaw::Platter, EngineState::Starting);
  // The lag estimate costs a simulation of its own; only a silent restart on a grid uses it, and
  // only as far as the tape reaches.
  const bool restartOnGrid = silent && hasGrid(grid);
  const double lagDuringStart =
      mPlatter.beginMotor(feel, mSampleRate, mSpeed, mAccel, mRampLength, restartOnGrid, mMaxLag);
  if (silent) restartSilentTape(lagDuringStart, grid);
}

void TapeEngine::beginScratch() {
  if (mState == EngineState::Scratching) return;
  mScratch.begin(mReadPos);
  mState = EngineState::Scratching;
}

}  // namespace reelstop
