// Random control calls with random arguments, applied alike to several engines.
#pragma once

#include <initializer_list>
#include <random>

#include "reelstop_engine.h"

namespace reelstop::test {

class RandomControls {
 public:
  explicit RandomControls(unsigned seed) : mRandom(seed) {}

  // Picks one call (or none) and applies it with the same arguments to every engine.
  void applyRandomCall(std::initializer_list<rs_handle> engines) {
    const int which = pick(0, 13);
    const double ramp = uniform(1.0, 20000.0);
    const double curve = uniform(-1.2, 1.2);
    const double easeIn = uniform(-0.1, 1.1);
    const double easeOut = uniform(-0.1, 1.1);
    const double grid = pick(0, 1) == 0 ? 0.0 : uniform(500.0, 12000.0);
    const double inertiaMs = uniform(0.0, 200.0);
    const double motorMs = uniform(0.0, 300.0);
    const double offset = uniform(-30000.0, 2000.0);
    const double ratio = uniform(0.1, 1.2);
    const int flag = pick(0, 2);
    for (rs_handle h : engines) {
      switch (which) {
        case 0: rs_engage(h, ramp, curve); break;
        case 1: rs_release(h, flag, ramp, curve); break;
        case 2: rs_engage_shaped(h, flag, ramp, easeIn, easeOut); break;
        case 3: rs_release_shaped(h, flag, ramp, easeIn, easeOut, grid); break;
        case 4: rs_engage_platter(h, ramp, inertiaMs, motorMs); break;
        case 5: rs_release_platter(h, ramp, inertiaMs, motorMs, grid); break;
        case 6: rs_begin_scratch(h); break;
        case 7: rs_set_scratch_target(h, offset); break;
        case 8: rs_set_varispeed(h, ratio); break;
        default: return;  // most blocks pass without a call
      }
    }
    ++mCalls;
  }

  int callsMade() const { return mCalls; }

 private:
  int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(mRandom); }
  double uniform(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(mRandom); }

  std::mt19937 mRandom;
  int mCalls = 0;
};

}  // namespace reelstop::test
