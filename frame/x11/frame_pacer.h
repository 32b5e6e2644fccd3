// FramePacer: the editor's frames at 60 a second whatever rate its host calls it at. Each call
// learns how many frames fell due since the last (at most four, so a stalled host gets no burst
// of catching up); the window then animates that many steps and draws once.
#pragma once

#include <chrono>

namespace frame {

class FramePacer {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr Clock::duration kPeriod = std::chrono::microseconds(16667);
  static constexpr int kMostSteps = 4;

  // The frames due at `now`: the first call always has one.
  int Due(Clock::time_point now);

 private:
  bool mStarted = false;
  Clock::time_point mNext;
};

}  // namespace frame
