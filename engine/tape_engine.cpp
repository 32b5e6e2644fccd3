// The tape: ring buffers, the per-sample loop, the playing speed and the read head's motion.
#include "tape_engine.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "ramp_math.h"

namespace reelstop {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr uint64_t kMinRingSamples = 128;  // keeps maxLag positive at absurdly low rates
constexpr float kLargestTapeSample = 1e30f;

double onePole(double timeConstantS, double sampleRate) { return 1.0 - std::exp(-1.0 / (timeConstantS * sampleRate)); }

// A non-finite sample would sit on the tape for its whole length and come back every time the
// head passes; huge ones would overflow the interpolation.
float tapeSample(float input) {
  if (!std::isfinite(input)) return 0.0f;
  return std::clamp(input, -kLargestTapeSample, kLargestTapeSample);
}

// Catmull-Rom interpolation around the head; negative indices wrap through the mask.
float readTape(const float* ring, uint64_t mask, double position) {
  const double whole = std::floor(position);
  const auto i0 = static_cast<int64_t>(whole);
  const auto t = static_cast<float>(position - whole);
  const float y0 = ring[static_cast<uint64_t>(i0 - 1) & mask];
  const float y1 = ring[static_cast<uint64_t>(i0) & mask];
  const float y2 = ring[static_cast<uint64_t>(i0 + 1) & mask];
  const float y3 = ring[static_cast<uint64_t>(i0 + 2) & mask];
  const float c1 = 0.5f * (y2 - y0);
  const float c2 = y0 - 2.5f * y1 + 2.0f * y2 - 0.5f * y3;
  const float c3 = 0.5f * (y3 - y0) + 1.5f * (y1 - y2);
  return ((c3 * t + c2) * t + c1) * t + y1;
}

}  // namespace

void TapeEngine::prepare(double rate, int32_t channels, double seconds) {
  sampleRate = rate;
  const auto wanted = static_cast<uint64_t>(seconds * sampleRate) + 16;
  uint64_t size = kMinRingSamples;
  while (size < wanted) size <<= 1;
  mask = size - 1;
  maxLag = static_cast<double>(size) - 64.0;
  rings.assign(static_cast<size_t>(std::max(channels, 0)), std::vector<float>(size, 0.0f));

  fadeLength = static_cast<int32_t>(std::lround(0.015 * sampleRate));
  if (fadeLength < 2) fadeLength = 1;
  catchWindow = 0.12 * sampleRate;
  coef10ms = onePole(0.010, sampleRate);
  coef30ms = onePole(0.030, sampleRate);
  coef80ms = onePole(0.080, sampleRate);
  scratchOmega = 1.0 / (0.012 * sampleRate);

  written = 0;
  readPos = -2.0;
  speed = 1.0;
  varispeedSmoothed = varispeed;
  boost = 0.0;
  state = EngineState::Playing;
  fadeRemaining = 0;
}

double TapeEngine::livePos() const { return static_cast<double>(static_cast<int64_t>(written - 3)) + 1.0; }

void TapeEngine::process(float* const* io, int32_t channels, int32_t frames) {
  const int32_t known = std::min(channels, static_cast<int32_t>(rings.size()));
  for (int32_t i = 0; i < frames; ++i) {
    const uint64_t w = written;
    for (int32_t c = 0; c < known; ++c) rings[c][w & mask] = tapeSample(io[c][i]);
    written = w + 1;
    const auto now = static_cast<double>(static_cast<int64_t>(w - 2));

    const double oldSpeed = speed;
    stepPhaseSpeed(now);
    accel = speed - oldSpeed;

    const auto amp = static_cast<float>(tapeLevel(speed));
    const bool fading = fadeRemaining > 0;
    const double mix =
        fading ? 0.5 - 0.5 * std::cos(kPi * (1.0 - static_cast<double>(fadeRemaining) / fadeLength)) : 1.0;
    const auto mixIn = static_cast<float>(mix);
    const auto mixOut = static_cast<float>(1.0 - mix);
    for (int32_t c = 0; c < known; ++c) {
      const float* ring = rings[c].data();
      float out = readTape(ring, mask, readPos);
      if (fading) out = out * mixIn + readTape(ring, mask, fadePos) * mixOut;
      io[c][i] = out * amp;
    }
    for (int32_t c = std::max(known, 0); c < channels; ++c) io[c][i] = 0.0f;

    advance(now);
  }
}

void TapeEngine::stepPhaseSpeed(double now) {
  switch (state) {
    case EngineState::Playing: speed = playingSpeed(now); return;
    case EngineState::Stopping:
    case EngineState::Starting:
      if (platter) {
        speed = platterRampSpeed();
      } else if (shaped) {
        speed = bezierRampSpeed();
      } else if (state == EngineState::Starting && startMode == StartMode::CatchUp) {
        speed = landingSpeed(std::min(1.0, (rampElapsed + 1.0) / rampLength));
      } else {
        speed = plainRampSpeed();
      }
      return;
    case EngineState::Stopped: speed = 0.0; return;
    case EngineState::Scratching: speed = scratchSpeed(now); return;
  }
}

// Follows the varispeed target; back at 100 % the tape runs faster until it has caught up.
double TapeEngine::playingSpeed(double now) {
  varispeedSmoothed = varispeedSmoothed + (varispeed - varispeedSmoothed) * coef30ms;
  const double lag = now - readPos;
  double wanted = 0.0;
  if (varispeed > 0.9999 && lag > 0.0) {
    const double r = lag / catchWindow;
    const double f = std::min(0.03, lag);
    wanted = r < f ? f : std::min(1.0, r);
  }
  if (wanted > boost) {
    boost = boost + (wanted - boost) * coef80ms;
  } else {
    boost = wanted;
  }
  const double target = std::min(boost + varispeedSmoothed, 2.0);
  const double s = speed + (target - speed) * coef10ms;
  if (s > lag + 1.0) return std::max(lag + 1.0, varispeedSmoothed);
  return s;
}

void TapeEngine::setVarispeed(double ratio) {
  if (std::isnan(ratio)) return;
  varispeed = std::clamp(ratio, 0.25, 1.0);
}

void TapeEngine::advance(double now) {
  const double next = now + 1.0;
  if (fadeRemaining > 0) {
    fadePos = std::min(next, fadePos + speed);
    --fadeRemaining;
  }
  if (state == EngineState::Starting) {
    advanceStart(next);
    return;
  }
  readPos = std::min(next, readPos + speed);
  const double lag = next - readPos;
  switch (state) {
    case EngineState::Stopping:
      rampElapsed += 1.0;
      if (rampElapsed >= rampLength) {
        state = EngineState::Stopped;
        speed = 0.0;
      }
      break;
    case EngineState::Scratching:
      if (readPos >= next) speed = std::min(1.0, speed);
      if (next - maxLag > readPos) {
        readPos = next - maxLag;
        speed = std::max(0.0, speed);
      }
      break;
    case EngineState::Playing: snapToLive(next); break;
    case EngineState::Stopped:
    case EngineState::Starting: break;
  }
  checkLag(next, lag);
}

void TapeEngine::advanceStart(double next) {
  if (startMode == StartMode::CatchUp) {
    rampElapsed += 1.0;
    readPos = next - landingLag(std::min(1.0, rampElapsed / rampLength));
  } else {
    readPos = cutStarted ? next : std::min(next, readPos + speed);
    rampElapsed += 1.0;
    // The cut to the live signal starts early enough to finish with the ramp.
    if (!cutStarted && rampLength > 2.0 * fadeLength && rampLength - rampElapsed <= fadeLength) {
      jumpHead(next);
      cutStarted = true;
      return;
    }
  }
  if (rampElapsed >= rampLength) {
    endStart(next);
    return;
  }
  checkLag(next, next - readPos);
}

// The head always ends a start on the live position, so no snap or lag check can apply after it.
void TapeEngine::endStart(double next) {
  state = EngineState::Playing;
  speed = 1.0;
  varispeedSmoothed = std::max(1.0, varispeedSmoothed);
  if (startMode == StartMode::CatchUp || cutStarted) {
    readPos = next;
  } else if (next - readPos > 1e-6) {
    jumpHead(next);
  }
}

void TapeEngine::snapToLive(double next) {
  const double d = next - readPos;
  if (d > 0.0 && d < 0.001 && speed <= 1.001) {
    readPos = next;
    if (varispeedSmoothed > 0.9999) speed = 1.0;
  }
}

void TapeEngine::checkLag(double next, double lag) {
  if (lag <= maxLag) return;
  switch (state) {
    case EngineState::Scratching: return;
    case EngineState::Stopped:
      readPos = next;  // muted at standstill, so the move needs no crossfade
      return;
    case EngineState::Playing:
    case EngineState::Stopping:
    case EngineState::Starting: jumpHead(next - maxLag / 2.0); return;
  }
}

// Every jump fades the old position out while the new one fades in; a new jump restarts the fade.
void TapeEngine::jumpHead(double newPos) {
  fadePos = readPos;
  readPos = newPos;
  fadeRemaining = fadeLength;
}

}  // namespace reelstop
