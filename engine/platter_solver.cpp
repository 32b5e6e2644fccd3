// The platter solvers. A stronger brake or motor never does worse (a motor: below the pulls that
// could jump the arrival band), so a candidate weaker than one known to fail fails, and one
// stronger than one known to succeed succeeds. A closed-form prediction of the threshold names the
// two ends the halving should close in on; simulated side by side, they settle almost every
// candidate of the 28 halvings without a simulation of its own. Bounds settle platters too heavy
// or motors too weak to make it (thrown away from normal speed included), a motor run whose pull
// is never held stands for every stronger pull, motor runs step in blocks without looks (a lone
// one following the gap with its asked pull predicted, the division checking it off the chain),
// and the runs skip ahead exactly once the acceleration has settled, the lag over the skipped
// steps summed in closed form. A lag sure to run beyond what the caller can use is not run for.
#include "platter_solver.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>

#include "platter_bounds.h"
#include "platter_model.h"

namespace reelstop {
namespace {

constexpr int kPlatterBisections = 28;
constexpr double kLargestStepCount = 4.0e18;  // keeps absurd ramp lengths a defined integer

constexpr double kInfinity = std::numeric_limits<double>::infinity();
// Candidates of three halvings run side by side: an unsettled one and all that could follow it.
constexpr size_t kLookahead = 7;

// What exact simulations have shown so far, for strengths up to a ceiling below which a stronger
// brake or motor never does worse.
class Evidence {
 public:
  explicit Evidence(double ceiling = kInfinity) : mCeiling(ceiling) {}
  // 1: fails, 0: succeeds, -1: unknown.
  int judge(double strength) const {
    if (strength > mCeiling) return -1;
    if (strength <= mStrongestFailing) return 1;
    if (strength >= mWeakestSucceeding) return 0;
    return -1;
  }
  void add(double strength, bool fails) {
    if (strength > mCeiling) return;
    if (fails) {
      mStrongestFailing = std::max(mStrongestFailing, strength);
    } else {
      mWeakestSucceeding = std::min(mWeakestSucceeding, strength);
    }
  }

 private:
  double mCeiling;
  double mStrongestFailing = -kInfinity;
  double mWeakestSucceeding = kInfinity;
};

struct Interval {
  double lo;
  double hi;
  double middle() const { return (lo + hi) / 2.0; }
};

// The interval left after 27 halvings of [0, highest] judged by `fails(candidate, interval,
// number)`, numbering the candidates from 1; its middle, the 28th candidate, is the result.
template <typename Fails>
Interval halve(double highest, Fails fails) {
  Interval left{0.0, highest};
  for (int i = 1; i < kPlatterBisections; ++i) {
    const double mid = left.middle();
    (fails(mid, left, i) ? left.lo : left.hi) = mid;
  }
  return left;
}

// The two strengths to simulate first: the ends of the interval that halving would leave if the
// prediction were exact. When the simulations agree with it, every candidate of the real halving
// lies at or beyond one of them and needs no simulation of its own. An end at 0 or at the highest
// strength is no candidate and tells nothing the other end does not.
Interval predictedEnds(double predicted, double highest) {
  return halve(highest, [predicted](double strength, const Interval&, int) { return strength < predicted; });
}

// Integers wide enough for the sums of a run's lag in units of its last place.
__extension__ using Wide = unsigned __int128;

// The sum of floor((a i + b) / m) for i = 0 .. n - 1 (m > 0), by the Euclid-like reduction.
Wide floorSum(Wide n, Wide m, Wide a, Wide b) {
  Wide sum = 0;
  for (;;) {
    if (a >= m) {
      sum += n * (n - 1) / 2 * (a / m);
      a %= m;
    }
    if (b >= m) {
      sum += n * (b / m);
      b %= m;
    }
    const Wide top = a * n + b;
    if (top < m) return sum;
    n = top / m;
    b = top % m;
    std::swap(m, a);
  }
}

// The lag a run adds while its speed steps v + k d, k = 1 .. n, exactly, with lag = (lag + 1) -
// min(v, 1) after each step: made at once for as many of the n steps as it can be, which it
// returns (0: the next step must be made on its own).
// Above normal speed the lag rounds once to the places of lag + 1 and then stays: below 2^52,
// taking the 1 away again is exact. Below normal speed, with lag + 1 - v inside the binade of
// lag (whose places are u), every step rounds the gap 1 - v to a multiple of u: in units of the
// speed's places s (u = c s), the gaps are G - k D and each adds floor((G - k D + c / 2) / c)
// places of u, a floor sum, except where G - k D lies exactly halfway and the rounding goes to
// even: the run stops before such a step.
int64_t addLag(double& lag, double v, double d, double spacing, int64_t n) {
  constexpr double kBinadeUnits = 9007199254740992.0;  // 2^53
  constexpr int kWidestShift = 62;                     // keeps every product below 2^128
  const double last = v + static_cast<double>(n) * d;
  if (n < 1 || !(lag >= 0.0 && lag < kBinadeUnits / 2.0)) return 0;
  if (v >= 1.0 && last >= 1.0) {
    lag = lag + 1.0 - 1.0;
    return n;
  }
  if (!(d >= 0.0 && last < 1.0 && lag >= 1.0)) return 0;
  int lagExponent = 0;
  std::frexp(lag, &lagExponent);
  const double place = std::ldexp(1.0, lagExponent - 53);  // u
  int spacingExponent = 0;
  std::frexp(spacing, &spacingExponent);
  --spacingExponent;  // spacing = 2^spacingExponent
  const int shift = lagExponent - 53 - spacingExponent;
  if (shift < 0 || shift > kWidestShift || -spacingExponent > kWidestShift) return 0;
  const Wide c = Wide{1} << shift;
  const Wide half = c / 2;
  // Speeds in units of s: |v| < 2^53 of them, and 1 is 2^-spacingExponent of them.
  const auto speedUnits = static_cast<int64_t>(v / spacing);
  const Wide one = Wide{1} << -spacingExponent;
  const Wide gap0 = speedUnits < 0 ? one + static_cast<Wide>(-speedUnits) : one - static_cast<Wide>(speedUnits);
  const auto step = static_cast<Wide>(d / spacing);
  const auto lagUnits = static_cast<Wide>(lag / place);
  // Every step adds at most gap1 / c + 1 places; lag + 1 and lag + 1 - v must stay below 2^53
  // of them.
  const Wide gap1 = gap0 - step;
  const Wide perStep = gap1 / c + 1;
  const Wide need = perStep + (one >> shift);
  const Wide top = static_cast<Wide>(kBinadeUnits) - 1 - lagUnits;
  const Wide room = top > need ? (top - need) / perStep : 0;
  auto steps = static_cast<Wide>(n);
  if (room < steps) steps = room;
  if (c >= 2) {
    // The first k >= 1 with k D = G - c / 2 (mod c): of the form k0 + j c / g, g the power of two
    // that divides both D and c, if any.
    const Wide target = (gap0 + c - half) % c;
    const Wide stepMod = step % c;
    if (stepMod == 0) {
      if (target == 0) steps = 0;  // every step lies halfway
    } else {
      const Wide g = stepMod & (~stepMod + 1);
      if (target % g == 0) {
        const Wide modulus = c / g;
        const auto odd = static_cast<uint64_t>(stepMod / g);
        uint64_t inverse = odd;  // odd * odd = 1 mod 8; each round doubles the bits that hold
        for (int i = 0; i < 5; ++i) inverse *= 2 - odd * inverse;
        Wide first = static_cast<Wide>(static_cast<uint64_t>(target / g) * inverse) % modulus;
        if (first == 0) first = modulus;
        if (first - 1 < steps) steps = first - 1;
      }
    }
  }
  if (steps < 1) return 0;
  const Wide lastGap = gap0 - steps * step;
  const Wide added = floorSum(steps, c, step, lastGap + half);
  lag = static_cast<double>(lagUnits + added) * place;
  return static_cast<int64_t>(steps);
}

// Adds c to v up to `count` times, v = v + c each time as a run does, stopping before an
// addition that would take v beyond `bound` (above it for c > 0, below it for c < 0); returns the
// additions made. Inside one binade every addition rounds c to the same multiple of the binade's
// spacing (unless c lies exactly halfway between two), so runs of additions are made at once;
// crossings into another binade, and zero, are single additions. With `lag`, each addition also
// adds 1 - min(v, 1) to it as a run does.
struct Added {
  double v;
  int64_t count;
};

Added addRepeatedly(double v, double c, int64_t count, double bound, double* lag = nullptr) {
  constexpr double kUnits = 9007199254740992.0;  // 2^53: spacings in a binade [2^e, 2^(e+1)) and one more
  int64_t done = 0;
  while (done < count) {
    const double next = v + c;
    if (c > 0.0 ? next > bound : next < bound) break;
    if (next == v && lag == nullptr) return {v, count};  // too small to move v: nothing changes any more
    int exponent = 0;
    std::frexp(v, &exponent);
    const double spacing = std::ldexp(1.0, exponent - 53);
    const double units = std::fabs(v) / spacing;  // in [2^52, 2^53) for a normal v
    const double inUnits = c / spacing;
    const bool tie = inUnits - std::floor(inUnits) == 0.5;
    const double d = next - v;  // exact inside the binade
    int64_t run = 0;
    if (v != 0.0 && !tie && units >= kUnits / 2.0 && (next > 0.0) == (v > 0.0)) {
      const double stepUnits = std::fabs(d) / spacing;
      // Each exact sum must stay a unit inside the binade for the same rounding.
      const double room = (v > 0.0) == (c > 0.0) ? kUnits - 2.0 - units : units - kUnits / 2.0 - 2.0;
      const double byBound = d == 0.0 ? kInfinity : std::floor((bound - v) / d);
      run = static_cast<int64_t>(
          std::fmin(std::fmin(std::floor(room / stepUnits), byBound), static_cast<double>(count - done)));
      while (run > 0 &&
             (c > 0.0 ? v + static_cast<double>(run) * d > bound : v + static_cast<double>(run) * d < bound)) {
        --run;
      }
      if (lag != nullptr && run > 0) run = addLag(*lag, v, d, spacing, run);
    }
    if (run > 1 || (lag != nullptr && run == 1)) {
      v = v + static_cast<double>(run) * d;
      done += run;
    } else {
      v = next;
      if (lag != nullptr) *lag = *lag + 1.0 - std::min(v, 1.0);
      ++done;
    }
  }
  return {v, done};
}

constexpr int64_t kStopCheck = 256;  // steps between a brake run's looks at whether it has stopped

// The brake has stopped the platter within n steps exactly when acceleration and speed are both
// at or below 0 after n steps: once they are, the brake keeps them there, so a run that has
// stopped ends. Once a step leaves the acceleration as it was, it never changes again, and the
// speed only adds it.
template <size_t K>
std::array<bool, K> brakesFail(const std::array<double, K>& decel, double speed, double accel, double response,
                               int64_t steps) {
  std::array<double, K> v;
  std::array<double, K> a;
  std::array<int64_t, K> left;  // steps each run has still to make
  v.fill(speed);
  a.fill(accel);
  left.fill(steps);
  for (;;) {
    // A block of steps side by side, up to kStopCheck or the first step that settles.
    std::array<bool, K> active{};
    int64_t block = kStopCheck;
    bool any = false;
    for (size_t k = 0; k < K; ++k) {
      active[k] = left[k] > 0;
      if (active[k]) block = std::min(block, left[k]);
      any = any || active[k];
    }
    if (!any) break;
    std::array<bool, K> settled{};
    bool anySettled = false;
    int64_t made = 0;
    for (; made < block && !anySettled; ++made) {
      for (size_t k = 0; k < K; ++k) {
        if (!active[k]) continue;
        const double next = a[k] + (-decel[k] - a[k]) * response;
        settled[k] = next == a[k];
        anySettled = anySettled || settled[k];
        a[k] = next;
        v[k] = v[k] + a[k];
      }
    }
    for (size_t k = 0; k < K; ++k) {
      if (!active[k]) continue;
      left[k] -= made;
      if (settled[k]) {
        const Added added = addRepeatedly(v[k], a[k], left[k], a[k] > 0.0 ? kInfinity : -kInfinity);
        v[k] = added.v;
        left[k] -= added.count;
      }
      if (a[k] <= 0.0 && v[k] <= 0.0) left[k] = 0;
    }
  }
  std::array<bool, K> fail;
  for (size_t k = 0; k < K; ++k) fail[k] = !(a[k] <= 0.0 && v[k] <= 0.0);
  return fail;
}

// Doubles in their order as integers: negative ones below -0.0, which sits with +0.0.
int64_t orderKey(double x) {
  int64_t bits = 0;
  std::memcpy(&bits, &x, sizeof bits);
  return bits < 0 ? -(bits & std::numeric_limits<int64_t>::max()) : bits;
}

double fromOrderKey(int64_t key) {
  const uint64_t bits = key < 0 ? static_cast<uint64_t>(-key) | (uint64_t{1} << 63) : static_cast<uint64_t>(key);
  double x = 0.0;
  std::memcpy(&x, &bits, sizeof x);
  return x;
}

// The smallest double in (lo, hi] at which `holds`, for a predicate false at lo, true at hi and
// monotone between: a bisection over the doubles in order.
template <typename Holds>
double firstDoubleHolding(double lo, double hi, Holds holds) {
  int64_t below = orderKey(lo);
  int64_t at = orderKey(hi);
  // The keys may lie further apart than an int64_t holds; their distance fits a uint64_t.
  for (uint64_t apart = static_cast<uint64_t>(at) - static_cast<uint64_t>(below); apart > 1;
       apart = static_cast<uint64_t>(at) - static_cast<uint64_t>(below)) {
    const int64_t mid = below + static_cast<int64_t>(apart / 2);
    (holds(fromOrderKey(mid)) ? at : below) = mid;
  }
  return fromOrderKey(at);
}

// The motor asks for clamp((1 - v) / M, -pull, pull). The division rounds monotonically, so the
// clamp is exactly +pull for every gap 1 - v at or above a threshold, and -pull at or below its
// negative; only gaps in between need the division, which otherwise sits on every step's chain.
struct MotorLaw {
  double pull = 0.0;
  double motorSamples = 1.0;
  double reach = 0.0;  // the smallest gap the division takes to pull or beyond

  // Speeds between which the pull is held at +pull (below) or -pull (above) and the platter has
  // not arrived: at most `below`, at least `above`.
  double below = 0.0;
  double above = 0.0;

  MotorLaw() = default;
  MotorLaw(double pullLimit, double motor) : pull(pullLimit), motorSamples(motor), reach(pullLimit * motor) {
    if (pull > 0.0) {
      while (reach / motorSamples < pull) reach = std::nextafter(reach, kInfinity);
      for (double less = std::nextafter(reach, 0.0); less / motorSamples >= pull; less = std::nextafter(less, 0.0)) {
        reach = less;
      }
    }
    const double held = reach > kArrivalTolerance ? reach : std::nextafter(kArrivalTolerance, kInfinity);
    const double wide = 2.0 * held + 2.0;
    below = std::nextafter(firstDoubleHolding(1.0 - wide, 1.0, [held](double v) { return !(1.0 - v >= held); }),
                           -kInfinity);
    above = firstDoubleHolding(1.0, 1.0 + wide, [held](double v) { return 1.0 - v <= -held; });
  }
  double asked(double gap) const {
    if (!(std::fabs(gap) >= reach)) return gap / motorSamples;
    return gap > 0.0 ? pull : -pull;
  }
};

struct MotorRun {
  double pull;
  int64_t limit;     // steps simulated at most
  bool lag = false;  // whether the lag is wanted
  bool arrived = false;
  int64_t taken = 0;  // steps simulated
  double lagSamples = 0.0;
  double widest = 0.0;  // the largest speed gap the run's steps started from

  // Whether the motor misses a ramp of `steps` whole steps; known once limit >= steps.
  bool fails(int64_t steps) const { return !arrived || taken > steps; }
};

// One motor step: the acceleration follows the motor's clamped pull, the speed adds it, the lag
// adds what the tape falls behind, and `widest` keeps the largest gap a step started from.
// Returns whether the step arrived. Once a step with the pull held leaves the acceleration as it
// was, the speed only adds it until the pull lets go: those steps are made at once and added to
// `taken`, their lag too where it is counted.
[[gnu::always_inline]] inline bool motorStep(const MotorLaw& law, double response, bool countsLag, double& v, double& a,
                                             double& lag, double& widest, int64_t& taken, int64_t until) {
  const double gap = 1.0 - v;
  const double next = a + (law.asked(gap) - a) * response;
  const bool settled = next == a && std::fabs(gap) >= law.reach;
  widest = std::max(widest, std::fabs(gap));
  a = next;
  v = v + a;
  ++taken;
  lag = lag + 1.0 - std::min(v, 1.0);
  if (std::fabs(1.0 - v) <= kArrivalTolerance) return true;
  if (settled && (gap > 0.0 ? v <= law.below : v >= law.above)) {
    const Added added =
        addRepeatedly(v, a, until - taken, gap > 0.0 ? law.below : law.above, countsLag ? &lag : nullptr);
    v = added.v;
    taken += added.count;
  }
  return false;
}

// Up to kSideBySide motor runs side by side while two or more run, then the last one on its own.
constexpr size_t kSideBySide = 4;
// Steps the runs make together between looks at what happened in them.
constexpr int64_t kBlockSteps = 32;
constexpr int64_t kLoneBlockSteps = 256;  // a run on its own: fewer starts of its predictions

struct MotorSlot {
  MotorLaw law;
  double v, a, lag, widest;
  int64_t taken, until;
  bool countsLag;
  bool arrived;
  bool done() const { return arrived || taken >= until; }
};

// The speeds at which a step arrives: |1 - v| <= tolerance exactly for v in [lowest, highest].
struct ArrivalBand {
  double lowest;
  double highest;
  ArrivalBand()
      : lowest(firstDoubleHolding(1.0 - 2.0 * kArrivalTolerance, 1.0,
                                  [](double v) { return std::fabs(1.0 - v) <= kArrivalTolerance; })),
        highest(std::nextafter(firstDoubleHolding(1.0, 1.0 + 2.0 * kArrivalTolerance,
                                                  [](double v) { return !(std::fabs(1.0 - v) <= kArrivalTolerance); }),
                               0.0)) {}
};

// `length` steps of a lone motor run whose pull follows the gap, made exactly as plain steps make
// them, `lo` and `hi` keeping the lowest and highest speed a step started from. The division for
// the asked pull sits on the plain steps' chain; here a step uses a prediction instead: the pull
// asked three steps back less what three steps at the acceleration before the last take off the
// gap. The division, off the chain, checks each step's acceleration; where the prediction would
// make it come out otherwise, the run goes back to plain steps until it has a history again.
template <bool kLag>
void followGap(const MotorLaw& law, double response, int64_t length, double& v, double& a, double& lag, double& lo,
               double& hi) {
  constexpr int kHistory = 3;
  const double threeSteps = 3.0 / law.motorSamples;
  std::array<double, kHistory> asked{};  // asked one, two and three steps back
  double before = a;                     // the acceleration before a
  auto advance = [&](double next, double now) {
    before = a;
    a = next;
    v = v + a;
    if (kLag) lag = lag + 1.0 - std::min(v, 1.0);
    asked = {now, asked[0], asked[1]};
  };
  int64_t i = 0;
  while (i < length) {
    for (const int64_t plainEnd = std::min(length, i + kHistory); i < plainEnd; ++i) {
      lo = std::min(lo, v);
      hi = std::max(hi, v);
      const double now = law.asked(1.0 - v);
      advance(a + (now - a) * response, now);
    }
    for (; i < length; ++i) {
      lo = std::min(lo, v);
      hi = std::max(hi, v);
      const double now = law.asked(1.0 - v);
      const double guess = a + (asked[2] - before * threeSteps - a) * response;
      // Zeros compare equal whatever their signs.
      if (!(guess == a + (now - a) * response && guess != 0.0)) break;
      advance(guess, now);
    }
  }
}

// A block of `length` steps of N runs side by side, none of them able to end inside it: each run
// either holds its pull all through (its speeds stay on its side of `below` or `above`), or
// follows the clamped law and never comes near the arrival band. The steps are made without
// looks; afterwards the speeds each run passed show whether that was so. If not, the block is
// made again step by step. Runs holding a settled pull then skip ahead exactly, lag and all.
template <size_t N, bool kLag>
void advanceBlock(MotorSlot* const* slots, int64_t length, double response, const ArrivalBand& band) {
  std::array<double, N> v, a, lag, lo, hi, target;
  std::array<bool, N> held;
  for (size_t k = 0; k < N; ++k) {
    const MotorSlot& s = *slots[k];
    v[k] = s.v;
    a[k] = s.a;
    lag[k] = s.lag;
    lo[k] = s.v;
    hi[k] = s.v;
    held[k] = s.v <= s.law.below || s.v >= s.law.above;
    target[k] = s.v <= s.law.below ? s.law.pull : -s.law.pull;
  }
  if (N == 1 && !held[0]) {
    followGap<kLag>(slots[0]->law, response, length, v[0], a[0], lag[0], lo[0], hi[0]);
  } else {
    for (int64_t i = 0; i < length; ++i) {
      for (size_t k = 0; k < N; ++k) {
        lo[k] = std::min(lo[k], v[k]);
        hi[k] = std::max(hi[k], v[k]);
        const double asked = held[k] ? target[k] : slots[k]->law.asked(1.0 - v[k]);
        a[k] = a[k] + (asked - a[k]) * response;
        v[k] = v[k] + a[k];
        if (kLag) lag[k] = lag[k] + 1.0 - std::min(v[k], 1.0);
      }
    }
  }
  bool event = false;
  for (size_t k = 0; k < N; ++k) {
    const MotorLaw& law = slots[k]->law;
    const double least = std::min(lo[k], v[k]);
    const double most = std::max(hi[k], v[k]);
    if (held[k]) {
      event = event || (target[k] > 0.0 ? most > law.below : least < law.above);
    } else {
      event = event || (most >= band.lowest && least <= band.highest);
    }
  }
  if (event) {
    for (size_t k = 0; k < N; ++k) {
      MotorSlot& s = *slots[k];
      const int64_t end = s.taken + length;
      while (!s.arrived && s.taken < end) {
        s.arrived = motorStep(s.law, response, s.countsLag, s.v, s.a, s.lag, s.widest, s.taken, s.until);
      }
    }
    return;
  }
  for (size_t k = 0; k < N; ++k) {
    MotorSlot& s = *slots[k];
    s.v = v[k];
    s.a = a[k];
    s.lag = lag[k];
    s.taken += length;
    s.widest = std::max({s.widest, std::fabs(1.0 - lo[k]), std::fabs(1.0 - hi[k])});
    const bool holds = target[k] > 0.0 ? s.v <= s.law.below : s.v >= s.law.above;
    if (held[k] && holds && s.a + (target[k] - s.a) * response == s.a) {
      const Added added = addRepeatedly(s.v, s.a, s.until - s.taken, target[k] > 0.0 ? s.law.below : s.law.above,
                                        s.countsLag ? &s.lag : nullptr);
      s.v = added.v;
      s.taken += added.count;
    }
  }
}

template <size_t N>
void advanceBlock(MotorSlot* const* slots, bool lag, int64_t length, double response, const ArrivalBand& band) {
  if (lag) {
    advanceBlock<N, true>(slots, length, response, band);
  } else {
    advanceBlock<N, false>(slots, length, response, band);
  }
}

void runSideBySide(MotorRun* runs, size_t count, double speed, double accel, double response, double motorSamples,
                   const ArrivalBand& band) {
  std::array<MotorSlot, kSideBySide> slots{};
  std::array<MotorSlot*, kSideBySide> running{};
  size_t active = 0;
  for (size_t k = 0; k < count; ++k) {
    slots[k] = {MotorLaw(runs[k].pull, motorSamples), speed, accel, 0.0, 0.0, 0, runs[k].limit, runs[k].lag, false};
    if (!slots[k].done()) running[active++] = &slots[k];
  }
  while (active > 0) {
    int64_t length = active == 1 ? kLoneBlockSteps : kBlockSteps;
    bool lag = false;
    for (size_t k = 0; k < active; ++k) {
      length = std::min(length, running[k]->until - running[k]->taken);
      lag = lag || running[k]->countsLag;
    }
    switch (active) {
      case 1: advanceBlock<1>(running.data(), lag, length, response, band); break;
      case 2: advanceBlock<2>(running.data(), lag, length, response, band); break;
      case 3: advanceBlock<3>(running.data(), lag, length, response, band); break;
      default: advanceBlock<4>(running.data(), lag, length, response, band); break;
    }
    size_t still = 0;
    for (size_t k = 0; k < active; ++k) {
      if (!running[k]->done()) running[still++] = running[k];
    }
    active = still;
  }
  for (size_t k = 0; k < count; ++k) {
    runs[k].arrived = slots[k].arrived;
    runs[k].taken = slots[k].taken;
    runs[k].lagSamples = slots[k].lag;
    runs[k].widest = slots[k].widest;
  }
}

template <size_t K>
void runMotors(std::array<MotorRun, K>& runs, double speed, double accel, double response, double motorSamples) {
  const ArrivalBand band;
  for (size_t first = 0; first < K; first += kSideBySide) {
    runSideBySide(runs.data() + first, std::min(kSideBySide, K - first), speed, accel, response, motorSamples, band);
  }
}

// Whole steps a ramp may take: "more steps than rampSamples" means more than this many.
int64_t rampSteps(double rampSamples) { return static_cast<int64_t>(std::min(rampSamples, kLargestStepCount)); }

}  // namespace

SettledSteps settledSteps(double speed, double accel, double lagSamples, int64_t count) {
  const Added added = addRepeatedly(speed, accel, count, accel > 0.0 ? kInfinity : -kInfinity, &lagSamples);
  return {added.v, lagSamples};
}

int64_t platterMaxSteps(double rampSamples) {
  const double steps = std::trunc(4.0 * rampSamples) + 8.0;
  if (!(steps >= 1.0)) return 1;
  return static_cast<int64_t>(std::min(steps, kLargestStepCount));
}

double solvePlatterBrake(double speed, double accel, double response, double rampSamples) {
  const int64_t steps = rampSteps(rampSamples);
  const double highest = std::max(std::fabs(speed), 0.05) * 64.0 / rampSamples;
  if (cannotStop(speed, accel, response, steps, highest)) {
    return halve(highest, [](double, const Interval&, int) { return true; }).middle();
  }
  Evidence evidence;
  const double predicted = predictBrakeThreshold(speed, accel, response, steps);
  if (!std::isnan(predicted)) {
    const Interval ends = predictedEnds(predicted, highest);
    const std::array<double, 2> probes{ends.lo > 0.0 ? ends.lo : ends.hi, ends.hi < highest ? ends.hi : ends.lo};
    const std::array<bool, 2> fail = brakesFail(probes, speed, accel, response, steps);
    for (size_t k = 0; k < 2; ++k) evidence.add(probes[k], fail[k]);
  }
  return halve(highest,
               [&](double decel, const Interval&, int) {
                 const int known = evidence.judge(decel);
                 if (known >= 0) return known == 1;
                 const bool fails = brakesFail(std::array<double, 1>{decel}, speed, accel, response, steps)[0];
                 evidence.add(decel, fails);
                 return fails;
               })
      .middle();
}

namespace {

// The strongest motor pull the halvings start from.
double highestPull(double rampSamples) { return 64.0 / rampSamples; }

MotorSolution solveMotor(double speed, double accel, double response, double motorSamples, double rampSamples,
                         bool withLag) {
  const int64_t steps = rampSteps(rampSamples);
  const int64_t maxSteps = platterMaxSteps(rampSamples);
  const double highest = highestPull(rampSamples);
  const double ceiling = monotoneCeiling(speed, accel, response, highest);
  Evidence evidence(ceiling);
  // The runs of candidate `number`: decisive ones to the ramp's end, the result for its lag.
  auto runFor = [&](double pull, int number) {
    if (number < kPlatterBisections) return MotorRun{pull, steps};
    if (number > kPlatterBisections || !withLag) return MotorRun{pull, 0};
    return MotorRun{pull, maxSteps, true};
  };
  // Runs already made, for candidates above the ceiling and for the result's lag.
  std::array<MotorRun, kLookahead> recent{};
  auto remembered = [&](double pull) -> const MotorRun* {
    for (const MotorRun& run : recent) {
      if (run.limit > 0 && run.pull == pull) return &run;
    }
    return nullptr;
  };
  // A motor whose pull is never held runs the same for every pull beyond the gaps it meets: one
  // free run settles all those candidates, and the result's lag if it is one of them.
  MotorRun free{kInfinity, 0};
  auto runsFree = [&](double pull) { return free.limit > 0 && free.widest < MotorLaw(pull, motorSamples).reach; };
  // Runs side by side; the fewer, the tighter the loop.
  auto run = [&](auto runs) {
    runMotors(runs, speed, accel, response, motorSamples);
    recent = {};
    std::copy(runs.begin(), runs.end(), recent.begin());
    for (const MotorRun& done : recent) {
      if (done.limit >= steps) evidence.add(done.pull, done.fails(steps));
      if (done.pull == kInfinity) free = done;
    }
  };
  const MotorRun freeRun{kInfinity, withLag ? maxSteps : steps, withLag};
  if (cannotArrive(speed, accel, response, motorSamples, steps, highest)) {
    // Every candidate fails; the result is the last one, whose run gives the lag.
    const double result = halve(highest, [](double, const Interval&, int) { return true; }).middle();
    MotorSolution solution{result, 0.0};
    if (withLag) {
      run(std::array<MotorRun, 1>{MotorRun{result, maxSteps, true}});
      solution.lagSamples = recent[0].lagSamples;
    }
    return solution;
  }
  const double predicted = ceiling > 0.0 ? predictMotorThreshold(speed, accel, response, motorSamples, steps, highest)
                                         : std::numeric_limits<double>::quiet_NaN();
  // Worth a run of its own where the probes cannot settle the strong candidates.
  const bool mayRunFree = MotorLaw(highest / 2.0, motorSamples).reach > std::fabs(1.0 - speed) &&
                          (std::isnan(predicted) || ceiling < highest);
  if (!std::isnan(predicted)) {
    // The result, if the prediction holds, runs for its lag beside the two probes.
    const Interval ends = predictedEnds(predicted, highest);
    run(std::array<MotorRun, 4>{
        MotorRun{ends.lo, ends.lo > 0.0 ? steps : 0}, MotorRun{ends.hi, ends.hi < highest ? steps : 0},
        runFor(ends.middle(), kPlatterBisections), mayRunFree ? freeRun : MotorRun{kInfinity, 0}});
  } else if (mayRunFree) {
    run(std::array<MotorRun, 1>{freeRun});
  }
  // An unsettled candidate runs beside the candidates of the next two halvings, whichever way
  // it goes; near the end those include the result, which runs on for its lag.
  const Interval left = halve(highest, [&](double pull, const Interval& around, int number) {
    if (runsFree(pull)) return free.fails(steps);
    const int known = evidence.judge(pull);
    if (known >= 0) return known == 1;
    const MotorRun* done = remembered(pull);
    if (done == nullptr || done->limit < steps) {
      std::array<Interval, kLookahead> spans{};
      std::array<MotorRun, kLookahead> runs{};
      spans[0] = around;
      runs[0] = runFor(pull, number);
      // Node k's candidates follow at 2k + 1 (it fails) and 2k + 2 (it succeeds), one halving on.
      for (size_t k = 0; 2 * k + 2 < kLookahead; ++k) {
        const double mid = spans[k].middle();
        const int next = number + (k == 0 ? 1 : 2);
        spans[2 * k + 1] = {mid, spans[k].hi};
        spans[2 * k + 2] = {spans[k].lo, mid};
        runs[2 * k + 1] = runFor(spans[2 * k + 1].middle(), next);
        runs[2 * k + 2] = runFor(spans[2 * k + 2].middle(), next);
      }
      run(runs);
      done = &recent[0];
    }
    return done->fails(steps);
  });
  MotorSolution solution{left.middle(), 0.0};
  if (withLag) {
    const MotorRun* done = runsFree(solution.limit) ? &free : remembered(solution.limit);
    if (done == nullptr || done->limit != maxSteps) {
      run(std::array<MotorRun, 1>{MotorRun{solution.limit, maxSteps, true}});
      done = &recent[0];
    }
    solution.lagSamples = done->lagSamples;
  }
  return solution;
}

}  // namespace

MotorSolution solvePlatterMotor(double speed, double accel, double response, double motorSamples, double rampSamples,
                                bool withLag, double lagBound) {
  if (withLag && lagBeyond(speed, accel, response, motorSamples, platterMaxSteps(rampSamples), highestPull(rampSamples),
                           lagBound)) {
    return {solveMotor(speed, accel, response, motorSamples, rampSamples, false).limit, kInfinity};
  }
  return solveMotor(speed, accel, response, motorSamples, rampSamples, withLag);
}

}  // namespace reelstop
