// The platter set-up over the benchmark's sweep, against the plain halvings bit for bit: the
// solved brake and motor, the lag estimate, the grid restart offset and the rendered curves.
#include "platter_sweep.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "platter_reference.h"
#include "ramp_math.h"

namespace reelstop::test {
namespace {

using sweep::Call;
using sweep::Deck;
using sweep::Feel;
using sweep::Start;

// The longest lengths cost the plain halvings most: each start meets every other one of them,
// at one rate and one feel, turning through the rates and feels from one length to the next.
constexpr double kLongFrom = 24000.0;

// Samples of a curve compared one by one; longer ramps are compared this far in.
constexpr int64_t kCurveSamples = 12000;

struct Case {
  double rate;
  const Start* start;
  const Feel* feel;
  double rampSamples;
  std::string name() const {
    return std::to_string(static_cast<int>(rate)) + " Hz " + start->name + " " + feel->name + " L " +
           std::to_string(static_cast<int64_t>(rampSamples));
  }
};

double responseFor(const Case& c) { return 1.0 - std::exp(-1.0 / (std::max(c.feel->inertiaMs, 0.1) * 0.001 * c.rate)); }
double motorSamplesFor(const Case& c) { return std::max(1.0, 0.001 * c.feel->motorMs * c.rate); }

struct Plain {
  double brake;
  MotorSolution motor;
};

// The solvers from the state's speed and acceleration, with and without the lag.
Plain expectSolversMatch(const Case& c, double speed, double accel) {
  const double response = responseFor(c);
  const double motorSamples = motorSamplesFor(c);
  const Plain plain{referenceBrake(speed, accel, response, c.rampSamples),
                    referenceMotor(speed, accel, response, motorSamples, c.rampSamples)};
  EXPECT_EQ(solvePlatterBrake(speed, accel, response, c.rampSamples), plain.brake) << c.name();
  const MotorSolution withLag = solvePlatterMotor(speed, accel, response, motorSamples, c.rampSamples, true);
  EXPECT_EQ(withLag.limit, plain.motor.limit) << c.name();
  EXPECT_EQ(withLag.lagSamples, plain.motor.lagSamples) << c.name();
  EXPECT_EQ(solvePlatterMotor(speed, accel, response, motorSamples, c.rampSamples, false).limit, plain.motor.limit)
      << c.name();
  return plain;
}

// The engine's speeds over the first samples of the ramp follow the platter law with the plain
// limit: the brake's candidate cut to 0 at rest and at the end, the motor's clamped pull.
void expectCurve(Deck& deck, const Case& c, Call call, double limit) {
  const double response = responseFor(c);
  const double motorSamples = motorSamplesFor(c);
  double speed = deck.probe().speed();
  double accel = deck.probe().accel();
  const int64_t samples = std::min(kCurveSamples, static_cast<int64_t>(c.rampSamples) - 1);
  for (int64_t i = 0; i < samples; ++i) {
    double expected;
    if (call == Call::Engage) {
      const double candidate = speed + accel + (-limit - accel) * response;
      const bool moving = speed > 0.0 && candidate > 0.0;
      expected = moving && static_cast<double>(i + 1) < c.rampSamples ? candidate : 0.0;
    } else {
      const double asked = std::clamp((1.0 - speed) / motorSamples, -limit, limit);
      expected = speed + accel + (asked - accel) * response;
    }
    deck.process(1);
    ASSERT_EQ(deck.probe().speed(), expected) << c.name() << " " << sweep::callName(call) << " sample " << i;
    accel = expected - speed;
    speed = expected;
  }
}

// Each call the engine takes from the state, on a fresh engine: the solved limit, the grid
// restart offset of a silent tape, and the curve.
void expectCallsMatch(const Case& c, const Plain& plain) {
  for (Call call : sweep::kCalls) {
    Deck deck(c.rate);
    c.start->reach(deck);
    if (!sweep::callActs(deck, call)) continue;
    const EngineState before = deck.probe().state();
    const bool silent =
        before == EngineState::Stopped || (before == EngineState::Stopping && isSilent(deck.probe().speed()));
    const double lagBefore = rs_lag(deck.handle());
    sweep::callPlatter(deck.handle(), call, c.rampSamples, *c.feel, c.rate);
    const double limit = call == Call::Engage ? plain.brake : plain.motor.limit;
    EXPECT_EQ(deck.probe().platterLimit(), limit) << c.name() << " " << sweep::callName(call);
    if (call != Call::Engage) {
      double offset = lagBefore;  // a moving tape keeps its head
      if (silent) {
        const double grid = sweep::gridSamples(c.rate);
        const double lag = plain.motor.lagSamples;
        offset = call == Call::Release ? 0.0 : std::ceil(lag / grid) * grid - lag;
        if (lag + offset > deck.probe().maxLag()) offset = 0.0;
      }
      EXPECT_EQ(rs_lag(deck.handle()), offset) << c.name() << " " << sweep::callName(call);
    }
    expectCurve(deck, c, call, limit);
  }
}

// The state each start leaves, as the engine holds it.
struct Reached {
  double speed;
  double accel;
};

Reached reach(double rate, const Start& start) {
  Deck deck(rate);
  start.reach(deck);
  return {deck.probe().speed(), deck.probe().accel()};
}

TEST(PlatterSweep, ShortRampsMatchThePlainHalvingsForEveryStartFeelAndRate) {
  size_t turn = 0;
  for (double rate : sweep::kRates) {
    for (const Start& start : sweep::kStarts) {
      const Reached state = reach(rate, start);
      for (const Feel& feel : sweep::kFeels) {
        for (double rampSamples : sweep::kLengths) {
          if (rampSamples >= kLongFrom) continue;
          const Case c{rate, &start, &feel, rampSamples};
          const Plain plain = expectSolversMatch(c, state.speed, state.accel);
          // Through the C interface at one of the lengths, in turn.
          if (turn++ % 3 == 0) expectCallsMatch(c, plain);
        }
      }
    }
  }
}

TEST(PlatterSweep, LongRampsMatchThePlainHalvingsForEveryStart) {
  size_t turn = 0;
  size_t startIndex = 0;
  for (const Start& start : sweep::kStarts) {
    size_t lengthIndex = startIndex++;
    for (double rampSamples : sweep::kLengths) {
      if (rampSamples < kLongFrom || lengthIndex++ % 2 == 0) continue;
      ++turn;
      const double rate = sweep::kRates[turn % sweep::kRates.size()];
      const Feel& feel = sweep::kFeels[turn % sweep::kFeels.size()];
      const Reached state = reach(rate, start);
      const Case c{rate, &start, &feel, rampSamples};
      expectCallsMatch(c, expectSolversMatch(c, state.speed, state.accel));
    }
  }
  // Stops restarting on a grid with more lag than the tape holds (weak from standing, heavy after
  // coming to rest), which the restart leaves at the live signal.
  for (const Case& c : {Case{44100.0, &sweep::kStarts[0], &sweep::kFeels[6], 480000.0},
                        Case{48000.0, &sweep::kStarts[5], &sweep::kFeels[5], 160000.0}}) {
    const Reached state = reach(c.rate, *c.start);
    expectCallsMatch(c, expectSolversMatch(c, state.speed, state.accel));
  }
}

}  // namespace
}  // namespace reelstop::test
