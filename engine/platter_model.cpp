// The platter's motion in closed form: the brake is linear in its strength; the motor pulls at
// its limit until the speed gap is small, then in proportion to it, a damped linear oscillator.
#include "platter_model.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace reelstop {
namespace {

constexpr double kNoPrediction = std::numeric_limits<double>::quiet_NaN();
constexpr double kNothingSucceeds = std::numeric_limits<double>::infinity();
constexpr int kModelHalvings = 64;
constexpr double kPi = 3.14159265358979323846;

// The acceleration follows its target with a = a + (target - a) r, so after n steps the old
// acceleration keeps q^n of its weight, q = 1 - r.
struct Inertia {
  double r;
  double logKeep;  // log(1 - r)

  explicit Inertia(double response) : r(response), logKeep(std::log1p(-response)) {}
  double kept(double n) const { return std::exp(n * logKeep); }
  // sum of q^k for k = 1 .. n
  double keptSum(double n) const { return (1.0 - r) * -std::expm1(n * logKeep) / r; }
};

struct Mat2 {
  double a, b, c, d;
};

Mat2 multiply(const Mat2& x, const Mat2& y) {
  return {x.a * y.a + x.b * y.c, x.a * y.b + x.b * y.d, x.c * y.a + x.d * y.c, x.c * y.b + x.d * y.d};
}

Mat2 power(Mat2 base, int64_t exponent) {
  Mat2 result{1.0, 0.0, 0.0, 1.0};
  for (; exponent > 0; exponent >>= 1) {
    if (exponent & 1) result = multiply(result, base);
    base = multiply(base, base);
  }
  return result;
}

// Steps in a quarter of the oscillation of a step matrix [[p, f], [-p, 1 - f]] (determinant p);
// without oscillation, as many as fit.
int64_t quarterPeriod(const Mat2& step) {
  const double halfTrace = (step.a + step.d) / 2.0;
  const double radius = std::sqrt(step.a * step.d - step.b * step.c);
  if (!(halfTrace < radius)) return std::numeric_limits<int64_t>::max();
  const double turn = std::acos(halfTrace / radius);
  return static_cast<int64_t>(std::fmin(kPi / (2.0 * turn), 4.0e18));
}

struct MotorState {
  double a;  // acceleration
  double e;  // speed gap
};

MotorState applied(const Mat2& m, const MotorState& s) { return {m.a * s.a + m.b * s.e, m.c * s.a + m.d * s.e}; }

// The first n in [0, count) where holds(n), for a predicate false and then true on that range;
// count if it never holds.
template <typename Holds>
int64_t firstHolding(int64_t count, Holds holds) {
  int64_t lo = -1;  // known not to hold (or before the range)
  int64_t hi = count;
  while (hi - lo > 1) {
    const int64_t mid = lo + (hi - lo) / 2;
    (holds(mid) ? hi : lo) = mid;
  }
  return hi;
}

// The motor from speed gap `gap` (1 - speed, made positive by symmetry) and acceleration `accel`.
struct MotorModel {
  Inertia inertia;
  double motorSamples;
  double gap;
  double accel;
  int64_t steps;

  // Gap n steps after `from`, pulling at the limit all the way.
  double clampedGap(const MotorState& from, double pull, double n) const {
    return from.e - pull * n - (from.a - pull) * inertia.keptSum(n);
  }

  bool arrives(double pull) const {
    const double release = pull * motorSamples;  // below this gap the pull follows the gap
    const double keep = 1.0 - inertia.r;
    const double follow = inertia.r / motorSamples;
    const Mat2 step{keep, follow, -keep, 1.0 - follow};  // (a, e) -> (a', e - a')
    const int64_t quarter = quarterPeriod(step);
    MotorState s{accel, gap};
    int64_t done = 0;
    // A platter still slowing while the pull follows the gap: the gap grows until the
    // acceleration turns (within half an oscillation), and the pull may reach its limit first.
    if (s.e < release && !(s.a > 0.0)) {
      const int64_t span = std::min(steps, quarter > steps ? steps : 2 * quarter + 2);
      const int64_t turn = firstHolding(span, [&](int64_t n) { return applied(power(step, n), s).a > 0.0; });
      if (turn == steps) return false;  // the gap only grows
      const MotorState top = applied(power(step, turn), s);
      done = top.e >= release ? firstHolding(turn, [&](int64_t n) { return applied(power(step, n), s).e >= release; })
                              : turn;
      s = applied(power(step, done), s);
    }
    if (s.e >= release) {
      const auto left = static_cast<double>(steps - done);
      const double end = clampedGap(s, pull, left);
      if (end >= release) return end <= kArrivalTolerance;
      // The clamped gap first grows (while the platter still slows) and then only shrinks.
      int64_t inside = 0;
      int64_t outside = steps - done;
      while (outside - inside > 1) {
        const int64_t mid = inside + (outside - inside) / 2;
        (clampedGap(s, pull, static_cast<double>(mid)) < release ? outside : inside) = mid;
      }
      s = {pull + (s.a - pull) * inertia.kept(static_cast<double>(outside)),
           clampedGap(s, pull, static_cast<double>(outside))};
      done += outside;
      if (s.e <= kArrivalTolerance) return true;
    }
    // While the platter still speeds up the gap only shrinks, so a turn of the acceleration means
    // the gap has closed. Looking every half of a half-period never misses the first crossing.
    const bool speedingUp = s.a > 0.0;
    auto crossed = [&](const MotorState& now) { return now.e <= kArrivalTolerance || (speedingUp && now.a <= 0.0); };
    const int64_t stride = std::max<int64_t>(1, std::min(steps - done, quarter));
    const Mat2 jump = power(step, stride);
    for (; steps - done > stride; done += stride) {
      s = applied(jump, s);
      if (crossed(s)) return true;
    }
    return crossed(applied(power(step, steps - done), s));
  }
};

}  // namespace

double predictBrakeThreshold(double speed, double accel, double response, int64_t steps) {
  if (!(response > 0.0 && response < 1.0)) return kNoPrediction;
  const Inertia inertia(response);
  const auto n = static_cast<double>(steps);
  const double kept = inertia.kept(n);
  const double keptSum = inertia.keptSum(n);
  // After n steps: accel = kept a0 - d (1 - kept); speed = v0 + a0 keptSum - d (n - keptSum).
  const double forSpeed = (speed + accel * keptSum) / (n - keptSum);
  const double forAccel = accel * kept / (1.0 - kept);
  const double threshold = std::fmax(forSpeed, forAccel);
  return std::isfinite(threshold) ? std::fmax(threshold, 0.0) : kNoPrediction;
}

double predictMotorThreshold(double speed, double accel, double response, double motorSamples, int64_t steps,
                             double highest) {
  if (!(response > 0.0 && response < 1.0)) return kNoPrediction;
  const double gap = 1.0 - speed;
  if (std::fabs(gap) <= 2.0 * kArrivalTolerance) return kNoPrediction;
  // The motor pulls either way alike: a platter above normal speed mirrors one below it.
  const double sign = gap > 0.0 ? 1.0 : -1.0;
  const MotorModel model{Inertia(response), motorSamples, gap * sign, accel * sign, steps};
  double lo = std::ldexp(highest, -28);
  double hi = highest;
  if (!model.arrives(hi)) return kNothingSucceeds;
  if (model.arrives(lo)) return 0.0;
  for (int i = 0; i < kModelHalvings; ++i) {
    const double mid = (lo + hi) / 2.0;
    (model.arrives(mid) ? hi : lo) = mid;
  }
  return (lo + hi) / 2.0;
}

}  // namespace reelstop
