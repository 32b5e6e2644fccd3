// The fast Bezier parameter search against the plain 24-step halving it replaces.
#include "bezier_curve.h"

#include <gtest/gtest.h>

#include <cmath>

namespace reelstop::test {
namespace {

// The reference: halve [0, 1] 24 times towards x(s) = t.
double halvingParameter(double t, double x1, double x2) {
  double lo = 0.0, hi = 1.0;
  for (int i = 0; i < 24; ++i) {
    const double mid = (lo + hi) / 2.0;
    (bezierX(mid, x1, x2) < t ? lo : hi) = mid;
  }
  return (lo + hi) / 2.0;
}

struct Curve {
  double y0, y1, y2, y3;
  bool pitch;
  double speed(double s) const {
    const double y = bezierY(s, y0, y1, y2, y3);
    return pitch ? std::exp2(y) - 0.06 : y;
  }
};

TEST(BezierCurve, FastSearchMatchesTheHalvingWithinATenMillionthOfSpeed) {
  const double stopPitch = std::log2(0.06), startPitch = std::log2(1.06);
  const Curve curves[] = {
      {1.0, 1.0, 0.0, 0.0, false},
      {0.0, 0.0, 1.0, 1.0, false},
      {0.4, 0.3, 1.0, 1.0, false},
      {-2.0, -1.5, 0.0, 0.0, false},
      {startPitch, startPitch, stopPitch, stopPitch, true},
      {stopPitch, stopPitch, startPitch, startPitch, true},
      {std::log2(0.56), std::log2(0.56) + 0.9, startPitch, startPitch, true},
  };
  double worst = 0.0;
  long identical = 0, compared = 0;
  for (const Curve& curve : curves) {
    for (int in = 0; in <= 10; ++in) {
      for (int out = 0; out <= 10; ++out) {
        const double x1 = in / 10.0, x2 = 1.0 - out / 10.0;
        double warm = 0.0;
        for (int i = 1; i <= 2000; ++i) {
          // Dense progress, plus the first and last millionths of the ramp.
          const double t = i <= 1000 ? i / 1000.0 : (i <= 1500 ? (i - 1000) * 1e-9 : 1.0 - (i - 1500) * 1e-9);
          double cold = 1.0 - t;
          const double plain = curve.speed(halvingParameter(t, x1, x2));
          for (double fast :
               {curve.speed(bezierParameter(t, x1, x2, warm)), curve.speed(bezierParameter(t, x1, x2, cold))}) {
            worst = std::max(worst, std::fabs(fast - plain));
            identical += fast == plain;
            ++compared;
          }
        }
      }
    }
  }
  EXPECT_LE(worst, 1e-7);
  EXPECT_EQ(identical, compared) << "the fast search should land on the halving's very step";
}

}  // namespace
}  // namespace reelstop::test
