// Which control calls move the engine between its states, and which are ignored untouched.
#include <gtest/gtest.h>

#include <vector>

#include "engine_harness.h"

namespace reelstop::test {
namespace {

void enter(Engine& engine, EngineState state) {
  switch (state) {
    case EngineState::Playing: break;
    case EngineState::Stopping: rs_engage(engine.handle, 48000, 0.0); break;
    case EngineState::Stopped: rs_engage(engine.handle, 1, 0.0); break;
    case EngineState::Starting:
      rs_engage(engine.handle, 1, 0.0);
      engine.skip(10);
      rs_release(engine.handle, 0, 48000, 0.0);
      break;
    case EngineState::Scratching: rs_begin_scratch(engine.handle); break;
  }
  engine.skip(10);
  ASSERT_EQ(engine.state(), state);
}

// What the engine does over the next frames of the tone: output, speed and lag, sample by sample.
std::vector<double> trace(Engine& engine) {
  std::vector<double> out;
  engine.run(3000, tone, [&](float sample) {
    out.insert(out.end(), {sample, rs_speed(engine.handle), rs_lag(engine.handle)});
  });
  return out;
}

struct Call {
  const char* name;
  void (*call)(rs_handle);
  std::vector<EngineState> ignoredWhile;
  EngineState leadsTo;
};

TEST(EngineState, EachControlCallMovesOrIsIgnoredAsItsRowSays) {
  using S = EngineState;
  const std::vector<Call> calls = {
      {"engage", [](rs_handle h) { rs_engage(h, 500, 0.2); }, {S::Stopping, S::Stopped}, S::Stopping},
      {"engage_shaped",
       [](rs_handle h) { rs_engage_shaped(h, 1, 500, 0.2, 0.2); },
       {S::Stopping, S::Stopped},
       S::Stopping},
      {"engage_platter",
       [](rs_handle h) { rs_engage_platter(h, 500, 65, 85); },
       {S::Stopping, S::Stopped},
       S::Stopping},
      {"release", [](rs_handle h) { rs_release(h, 1, 500, 0.2); }, {S::Playing, S::Starting}, S::Starting},
      {"release_shaped",
       [](rs_handle h) { rs_release_shaped(h, 0, 500, 0.2, 0.2, 100); },
       {S::Playing, S::Starting},
       S::Starting},
      {"release_platter",
       [](rs_handle h) { rs_release_platter(h, 500, 65, 85, 100); },
       {S::Playing, S::Starting},
       S::Starting},
      {"begin_scratch", [](rs_handle h) { rs_begin_scratch(h); }, {S::Scratching}, S::Scratching},
  };
  for (S from : {S::Playing, S::Stopping, S::Stopped, S::Starting, S::Scratching}) {
    for (const Call& c : calls) {
      Engine engine;
      Engine untouched;
      enter(engine, from);
      enter(untouched, from);
      c.call(engine.handle);
      const bool ignored = std::find(c.ignoredWhile.begin(), c.ignoredWhile.end(), from) != c.ignoredWhile.end();
      EXPECT_EQ(engine.state(), ignored ? from : c.leadsTo) << c.name << " from " << static_cast<int>(from);
      if (ignored) {
        EXPECT_TRUE(trace(engine) == trace(untouched)) << c.name << " changed the engine while ignored";
      }
    }
    Engine engine;
    enter(engine, from);
    rs_set_scratch_target(engine.handle, -100);
    rs_set_varispeed(engine.handle, 0.5);
    EXPECT_EQ(engine.state(), from) << "scratch target and varispeed never change the state";
  }
}

TEST(EngineInterface, NullHandlesAreIgnored) {
  rs_destroy(nullptr);
  rs_process(nullptr, nullptr, 2, 512);
  rs_engage(nullptr, 100, 0);
  rs_release_platter(nullptr, 100, 65, 85, 0);
  EXPECT_EQ(rs_is_scratching(nullptr), 0);
  EXPECT_EQ(rs_lag(nullptr), 0.0);
}

TEST(EngineInterface, NonFiniteControlArgumentsKeepTheTapeFinite) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  Engine engine;
  bool finite = true;
  auto check = [&] {
    engine.run(600, tone, [&](float s) { finite = finite && std::isfinite(s); });
    finite = finite && std::isfinite(rs_speed(engine.handle)) && std::isfinite(rs_lag(engine.handle));
  };
  rs_engage(engine.handle, 300, nan);
  check();
  rs_release(engine.handle, 1, nan, inf);
  check();
  rs_engage_shaped(engine.handle, 1, 300, nan, -inf);
  check();
  rs_release_platter(engine.handle, 300, nan, nan, nan);
  check();
  rs_engage_platter(engine.handle, nan, inf, -inf);
  check();
  rs_begin_scratch(engine.handle);
  rs_set_scratch_target(engine.handle, nan);
  check();
  rs_set_scratch_target(engine.handle, -inf);
  check();
  rs_release_shaped(engine.handle, 0, 300, 0.5, nan, inf);
  check();
  EXPECT_TRUE(finite);
}

}  // namespace
}  // namespace reelstop::test
