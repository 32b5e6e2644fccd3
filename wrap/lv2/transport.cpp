// HostTransport: reading time:Position and moving the song position on between two of them.
#include "transport.h"

#include <lv2/atom/util.h>

#include <cmath>

namespace reelstop::lv2 {

void HostTransport::apply(const LV2_Atom_Object& position) {
  LV2_ATOM_OBJECT_FOREACH(&position, property) {
    double value = 0.0;
    if (!mUrids->number(property->value, value) || !std::isfinite(value)) continue;
    const LV2_URID key = property->key;
    if (key == mUrids->timeSpeed) {
      mSpeed = value;
    } else if (key == mUrids->timeBeatsPerMinute) {
      mBeatsPerMinute = value;
    } else if (key == mUrids->timeBeatsPerBar) {
      mBeatsPerBar = value;
    } else if (key == mUrids->timeBeatUnit) {
      mBeatUnit = value;
    } else if (key == mUrids->timeBar) {
      mBar = value;
      mHasBar = true;
    } else if (key == mUrids->timeBarBeat) {
      mBarBeat = value;
      mHasBarBeat = true;
    }
  }
}

void HostTransport::advance(int frames) {
  if (!mHasBar || !mHasBarBeat || !(mBeatsPerMinute > 0.0) || mSpeed == 0.0) return;
  // Host beats are beats of the beat unit, as beatsPerMinute counts them.
  mBarBeat += frames * mSpeed * mBeatsPerMinute / 60.0 / mSampleRateHz;
  const double barsPassed = std::floor(mBarBeat / beatsPerBar());
  mBar += barsPassed;
  mBarBeat -= barsPassed * beatsPerBar();
}

frame::ITimeInfo HostTransport::timeInfo() const {
  frame::ITimeInfo info;
  info.mTempo = mBeatsPerMinute > 0.0 ? mBeatsPerMinute : 0.0;
  info.mNumerator = static_cast<int>(std::lround(mBeatsPerBar));
  info.mDenominator = static_cast<int>(std::lround(mBeatUnit));
  info.mTransportIsRunning = mSpeed != 0.0;
  if (mHasBar && mHasBarBeat) {
    const double quartersPerBeat = 4.0 / beatUnit();
    info.mPPQPos = (mBar * beatsPerBar() + mBarBeat) * quartersPerBeat;
    info.mLastBar = mBar * beatsPerBar() * quartersPerBeat;
  }
  return info;
}

}  // namespace reelstop::lv2
