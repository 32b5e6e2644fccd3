// ITimeInfo: the host's transport for the current block.
#pragma once

namespace frame {

struct ITimeInfo {
  double mTempo = 0.0;  // beats per minute; 0 or less: the host gives none
  int mNumerator = 0;   // time signature; used only when both parts are above 0
  int mDenominator = 0;
  bool mTransportIsRunning = false;
  double mPPQPos = -1.0;   // song position in quarter notes; -1: not available
  double mLastBar = -1.0;  // quarter-note position of the last bar line; -1: not available
};

}  // namespace frame
