// The weighted platter (brake and motor acting through inertia) and the scratching hand.
#include <algorithm>
#include <cmath>

#include "platter_solver.h"
#include "ramp_math.h"
#include "tape_engine.h"

namespace reelstop {

void TapeEngine::setPlatterFeel(const PlatterFeel& feel) {
  const double inertiaSamples = atLeast(feel.inertiaMs, 0.1) * 0.001 * sampleRate;
  platterResponse = 1.0 - std::exp(-1.0 / inertiaSamples);
  platterMotor = atLeast(0.001 * feel.motorMs * sampleRate, 1.0);
}

void TapeEngine::engagePlatter(double rampSamples, const PlatterFeel& feel) {
  if (state == EngineState::Stopping || state == EngineState::Stopped) return;
  shaped = false;
  platter = true;
  setPlatterFeel(feel);
  rampLength = usableRampLength(rampSamples);
  rampElapsed = 0.0;
  platterLimit = solvePlatterBrake(speed, accel, platterResponse, rampLength);
  state = EngineState::Stopping;
}

void TapeEngine::releasePlatter(double rampSamples, const PlatterFeel& feel, double grid) {
  if (state == EngineState::Playing || state == EngineState::Starting) return;
  const bool silent = silentStop();
  shaped = false;
  platter = true;
  setPlatterFeel(feel);
  startMode = StartMode::SpinUp;
  cutStarted = false;
  rampLength = usableRampLength(rampSamples);
  rampElapsed = 0.0;
  // The lag estimate costs a simulation of its own; only a silent restart on a grid uses it.
  const bool restartOnGrid = silent && hasGrid(grid);
  const MotorSolution motor = solvePlatterMotor(speed, accel, platterResponse, platterMotor, rampLength, restartOnGrid);
  platterLimit = motor.limit;
  if (silent) readPos = livePos() - (restartOnGrid ? gridRestartOffset(motor.lagSamples, grid) : 0.0);
  state = EngineState::Starting;
}

// The acceleration follows what brake or motor asks for with the platter's inertia.
double TapeEngine::platterRampSpeed() const {
  if (state == EngineState::Stopping) {
    const double t = (rampElapsed + 1.0) / rampLength;
    const double candidate = speed + accel + (-platterLimit - accel) * platterResponse;
    return candidate > 0.0 && t < 1.0 ? candidate : 0.0;
  }
  const double asked = std::clamp((1.0 - speed) / platterMotor, -platterLimit, platterLimit);
  return speed + accel + (asked - accel) * platterResponse;
}

void TapeEngine::beginScratch() {
  if (state == EngineState::Scratching) return;
  scratchOrigin = readPos;
  scratchTarget = readPos;
  state = EngineState::Scratching;
}

void TapeEngine::setScratchTarget(double offsetSamples) { scratchTarget = scratchOrigin + offsetSamples; }

// A critically damped spring with a 12 ms time constant pulls the head towards the hand,
// never past the live position nor further back than the tape reaches.
double TapeEngine::scratchSpeed(double now) const {
  const double floor = now - maxLag;
  const double target = scratchTarget < floor ? floor : std::min(now, scratchTarget);
  const double w = scratchOmega;
  const double pull = w * w * (target - readPos) - 2.0 * w * speed;
  return std::clamp(speed + pull, -kMaxScratchSpeed, kMaxScratchSpeed);
}

}  // namespace reelstop
