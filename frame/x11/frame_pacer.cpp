// FramePacer: whole periods elapsed, capped; the frames missed beyond the cap are dropped.
#include "frame_pacer.h"

namespace frame {

int FramePacer::Due(Clock::time_point now) {
  if (!mStarted) {
    mStarted = true;
    mNext = now + kPeriod;
    return 1;
  }
  if (now < mNext) return 0;
  const auto elapsed = (now - mNext) / kPeriod + 1;
  if (elapsed > kMostSteps) {
    // A stall: the frames beyond the cap are dropped and the count starts again from now.
    mNext = now + kPeriod;
    return kMostSteps;
  }
  mNext += elapsed * kPeriod;
  return static_cast<int>(elapsed);
}

}  // namespace frame
