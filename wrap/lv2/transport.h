// HostTransport: the transport record built from the host's time:Position objects, which come
// only when something changes; in between it moves the song position on by the frames played.
// Audio thread: apply, advance and timeInfo only read and write these few fields; reset runs in
// activate, while audio is stopped.
#pragma once

#include <lv2/atom/atom.h>

#include "frame/time_info.h"
#include "urids.h"

namespace reelstop::lv2 {

class HostTransport {
 public:
  HostTransport(const Urids& urids, double sampleRateHz) : mUrids(&urids), mSampleRateHz(sampleRateHz) {}

  // Back to "the host has said nothing": no tempo, no position, stopped.
  void reset() { *this = HostTransport(*mUrids, mSampleRateHz); }
  // Takes the properties a time:Position carries; the ones it leaves out keep their values.
  void apply(const LV2_Atom_Object& position);
  // The song moves on by frames played at the current speed and tempo.
  void advance(int frames);
  frame::ITimeInfo timeInfo() const;

 private:
  // The host's beats per bar and beat unit, or 4/4 while it has not given them.
  double beatsPerBar() const { return mBeatsPerBar > 0.0 ? mBeatsPerBar : 4.0; }
  double beatUnit() const { return mBeatUnit > 0.0 ? mBeatUnit : 4.0; }

  const Urids* mUrids;
  double mSampleRateHz;
  double mSpeed = 0.0;           // 1: playing forwards at normal speed, 0: stopped
  double mBeatsPerMinute = 0.0;  // 0: not given
  double mBeatsPerBar = 0.0;     // 0: not given
  double mBeatUnit = 0.0;        // 0: not given
  bool mHasBar = false;
  bool mHasBarBeat = false;
  double mBar = 0.0;      // bars since the song's start
  double mBarBeat = 0.0;  // host beats (of the beat unit) since the bar line
};

}  // namespace reelstop::lv2
