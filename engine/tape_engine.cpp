// The tape: ring buffers, the per-sample loop, the playing speed and the read head's motion.
#include "tape_engine.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "ramp_math.h"
#include "tape_reader.h"

namespace reelstop {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr uint64_t kMinRingSamples = 128;  // keeps maxLag positive at absurdly low rates
constexpr float kLargestTapeSample = 1e30f;
constexpr int32_t kChunkFrames = 32;  // frames written ahead of the head, well inside the margin
constexpr double kCrossfadeSeconds = 0.015;
constexpr double kCatchWindowSeconds = 0.12;      // of lag, asking for a full extra unit of speed
constexpr double kSpeedGlideSeconds = 0.010;      // the playing speed following its target
constexpr double kVarispeedGlideSeconds = 0.030;  // the varispeed control's moves
constexpr double kCatchUpBoostSeconds = 0.080;    // the extra speed that catches the track up

double onePole(double timeConstantS, double sampleRate) { return 1.0 - std::exp(-1.0 / (timeConstantS * sampleRate)); }

// A non-finite sample would sit on the tape for its whole length and come back every time the
// head passes; huge ones would overflow the interpolation.
[[gnu::always_inline]] inline float tapeSample(float input) {
  if (std::fabs(input) <= kLargestTapeSample) return input;
  return std::isfinite(input) ? std::copysign(kLargestTapeSample, input) : 0.0f;
}

}  // namespace

void TapeEngine::prepare(double rate, int32_t channels, double seconds) {
  mSampleRate = rate;
  const auto wanted = static_cast<uint64_t>(seconds * mSampleRate) + 16;
  uint64_t size = kMinRingSamples;
  while (size < wanted) size <<= 1;
  mMask = size - 1;
  mMaxLag = static_cast<double>(size) - 64.0;
  mRingCount = std::max(channels, 0);
  mRings.assign(static_cast<size_t>(mRingCount) * size, 0.0f);

  mFadeLength = static_cast<int32_t>(std::lround(kCrossfadeSeconds * mSampleRate));
  if (mFadeLength < 2) mFadeLength = 1;
  mCatchWindow = kCatchWindowSeconds * mSampleRate;
  mSpeedGlide = onePole(kSpeedGlideSeconds, mSampleRate);
  mVarispeedGlide = onePole(kVarispeedGlideSeconds, mSampleRate);
  mBoostGlide = onePole(kCatchUpBoostSeconds, mSampleRate);
  mScratch.prepare(mSampleRate);

  mWritten = 0;
  mReadPos = -2.0;
  mSpeed = 1.0;
  mVarispeedSmoothed = mVarispeed;
  mBoost = 0.0;
  mState = EngineState::Playing;
  mFadeRemaining = 0;
}

double TapeEngine::livePos() const { return static_cast<double>(static_cast<int64_t>(mWritten - 3)) + 1.0; }

// The per-sample steps are forced inline so the loop keeps the head and speed in registers.
[[gnu::always_inline]] inline void TapeEngine::stepSpeed(double now) {
  switch (mState) {
    case EngineState::Playing: mSpeed = playingLaw(now, mReadPos, mSpeed, mVarispeedSmoothed, mBoost); return;
    case EngineState::Stopping:
    case EngineState::Starting: mSpeed = rampSpeed(); return;
    case EngineState::Stopped: mSpeed = 0.0; return;
    case EngineState::Scratching: mSpeed = mScratch.speedAfter(mSpeed, mReadPos, now, mMaxLag); return;
  }
}

[[gnu::always_inline]] inline double TapeEngine::rampSpeed() {
  const double t = (mRampElapsed + 1.0) / mRampLength;
  switch (mRamp) {
    case RampLaw::Power: return mPower.speedAt(t);
    case RampLaw::Bezier: return mBezier.speedAt(t);
    case RampLaw::Platter: return mPlatter.speedAfter(mSpeed, mAccel, t);
    case RampLaw::Landing: return mLanding.speedAt(std::min(1.0, t));
  }
  return 0.0;
}

// Follows the varispeed target; back at 100 % the tape runs faster until it has caught up.
[[gnu::always_inline]] inline double TapeEngine::playingLaw(double now, double head, double current, double& smoothed,
                                                            double& boosted) const {
  smoothed = smoothed + (mVarispeed - smoothed) * mVarispeedGlide;
  const double lag = now - head;
  double wanted = 0.0;
  if (mVarispeed > 0.9999 && lag > 0.0) {
    const double r = lag / mCatchWindow;
    const double f = std::min(0.03, lag);
    wanted = r < f ? f : std::min(1.0, r);
  }
  if (wanted > boosted) {
    boosted = boosted + (wanted - boosted) * mBoostGlide;
  } else {
    boosted = wanted;
  }
  const double target = std::min(boosted + smoothed, 2.0);
  const double s = current + (target - current) * mSpeedGlide;
  if (s > lag + 1.0) return std::max(lag + 1.0, smoothed);
  return s;
}

void TapeEngine::setVarispeed(double ratio) {
  if (std::isnan(ratio)) return;
  mVarispeed = std::clamp(ratio, 0.25, 1.0);
}

[[gnu::always_inline]] inline void TapeEngine::advance(double now) {
  const double next = now + 1.0;
  if (mFadeRemaining > 0) {
    mFadePos = std::min(next, mFadePos + mSpeed);
    --mFadeRemaining;
  }
  if (mState == EngineState::Starting) {
    advanceStart(next);
    return;
  }
  mReadPos = std::min(next, mReadPos + mSpeed);
  const double lag = next - mReadPos;
  switch (mState) {
    case EngineState::Stopping:
      mRampElapsed += 1.0;
      if (mRampElapsed >= mRampLength) {
        mState = EngineState::Stopped;
        mSpeed = 0.0;
      }
      break;
    case EngineState::Scratching:
      if (mReadPos >= next) mSpeed = std::min(1.0, mSpeed);
      if (next - mMaxLag > mReadPos) {
        mReadPos = next - mMaxLag;
        mSpeed = std::max(0.0, mSpeed);
      }
      break;
    case EngineState::Playing: snapLaw(next, mReadPos, mSpeed, mVarispeedSmoothed); break;
    case EngineState::Stopped:
    case EngineState::Starting: break;
  }
  checkLag(next, lag);
}

void TapeEngine::advanceStart(double next) {
  if (mRamp == RampLaw::Landing) {
    mRampElapsed += 1.0;
    mReadPos = next - mLanding.lagAt(std::min(1.0, mRampElapsed / mRampLength));
  } else {
    mReadPos = mCutStarted ? next : std::min(next, mReadPos + mSpeed);
    mRampElapsed += 1.0;
    // The cut to the live signal starts early enough to finish with the ramp.
    if (!mCutStarted && mRampLength > 2.0 * mFadeLength && mRampLength - mRampElapsed <= mFadeLength) {
      jumpHead(next);
      mCutStarted = true;
      return;
    }
  }
  if (mRampElapsed >= mRampLength) {
    endStart(next);
    return;
  }
  checkLag(next, next - mReadPos);
}

// The head always ends a start on the live position, so no snap or lag check can apply after it.
void TapeEngine::endStart(double next) {
  mState = EngineState::Playing;
  mSpeed = 1.0;
  mVarispeedSmoothed = std::max(1.0, mVarispeedSmoothed);
  if (mRamp == RampLaw::Landing || mCutStarted) {
    mReadPos = next;
  } else if (next - mReadPos > 1e-6) {
    jumpHead(next);
  }
}

// Within a thousandth of a sample of the live position the head lands on it exactly.
[[gnu::always_inline]] inline void TapeEngine::snapLaw(double next, double& head, double& current, double smoothed) {
  const double d = next - head;
  if (d > 0.0 && d < 0.001 && current <= 1.001) {
    head = next;
    if (smoothed > 0.9999) current = 1.0;
  }
}

[[gnu::always_inline]] inline void TapeEngine::checkLag(double next, double lag) {
  if (lag <= mMaxLag) return;
  switch (mState) {
    case EngineState::Scratching: return;
    case EngineState::Stopped:
      mReadPos = next;  // muted at standstill, so the move needs no crossfade
      return;
    case EngineState::Playing:
    case EngineState::Stopping:
    case EngineState::Starting: jumpHead(next - mMaxLag / 2.0); return;
  }
}

// Every jump fades the old position out while the new one fades in; a new jump restarts the fade.
void TapeEngine::jumpHead(double newPos) {
  mFadePos = mReadPos;
  mReadPos = newPos;
  mFadeRemaining = mFadeLength;
}

void TapeEngine::process(float* const* io, int32_t channels, int32_t frames) {
  const int32_t known = std::min(channels, mRingCount);
  for (int32_t from = 0; from < frames; from += kChunkFrames) {
    const int32_t count = std::min(kChunkFrames, frames - from);
    writeAhead(io, known, from, count);
    ReadPlan plan[kChunkFrames];
    int32_t i = 0;
    if (mState == EngineState::Playing && mFadeRemaining == 0) i = stepPlaying(plan, count);
    for (; i < count; ++i) plan[i] = stepHead();
    render(plan, io, channels, known, from, count);
  }
}

// Input goes onto the tape a chunk ahead of the head, so reading the newest frames never waits
// for the stores that wrote them. No tap reaches past the sample being processed, and the frames
// overwritten ahead are older than the 64-sample margin behind the oldest tap.
void TapeEngine::writeAhead(float* const* io, int32_t known, int32_t from, int32_t count) {
  int32_t i = 0;
#if defined(__SSE2__)
  // Stereo, four frames at a time while they need no cleaning and do not wrap the ring.
  if (known == 2 && mRingCount == 2) {
    const __m128 largest = _mm_set1_ps(kLargestTapeSample);
    const __m128 magnitude = _mm_castsi128_ps(_mm_set1_epi32(0x7fffffff));
    for (; i + 4 <= count; i += 4) {
      const uint64_t slot = (mWritten + static_cast<uint64_t>(i)) & mMask;
      const __m128 left = _mm_loadu_ps(io[0] + from + i);
      const __m128 right = _mm_loadu_ps(io[1] + from + i);
      const __m128 clean = _mm_and_ps(_mm_cmple_ps(_mm_and_ps(left, magnitude), largest),
                                      _mm_cmple_ps(_mm_and_ps(right, magnitude), largest));
      if (slot > mMask - 3 || _mm_movemask_ps(clean) != 0xF) break;
      float* const frames = mRings.data() + slot * 2;
      _mm_storeu_ps(frames, _mm_unpacklo_ps(left, right));
      _mm_storeu_ps(frames + 4, _mm_unpackhi_ps(left, right));
    }
  }
#endif
  for (; i < count; ++i) {
    float* const frame =
        mRings.data() + ((mWritten + static_cast<uint64_t>(i)) & mMask) * static_cast<uint64_t>(mRingCount);
    for (int32_t c = 0; c < known; ++c) frame[c] = tapeSample(io[c][from + i]);
  }
}

// One sample of the head: its speed, where it reads and how loud, then its move to the next.
[[gnu::always_inline]] inline TapeEngine::ReadPlan TapeEngine::stepHead() {
  const uint64_t w = mWritten;
  mWritten = w + 1;
  const auto now = static_cast<double>(static_cast<int64_t>(w - 2));
  const double oldSpeed = mSpeed;
  stepSpeed(now);
  mAccel = mSpeed - oldSpeed;

  ReadPlan plan{tapAt(mReadPos), static_cast<float>(tapeLevel(mSpeed)), 1.0f, 0.0f, {}};
  if (mFadeRemaining > 0) {
    const double mix = 0.5 - 0.5 * std::cos(kPi * (1.0 - static_cast<double>(mFadeRemaining) / mFadeLength));
    plan.mixIn = static_cast<float>(mix);
    plan.mixOut = static_cast<float>(1.0 - mix);
    plan.tail = tapAt(mFadePos);
  }
  advance(now);
  return plan;
}

// Playing without a crossfade, the common case, with the head's state held in registers: the same
// steps as stepHead in Playing, until a jump starts a crossfade. Returns the samples stepped.
int32_t TapeEngine::stepPlaying(ReadPlan* plan, int32_t count) {
  double head = mReadPos;
  double current = mSpeed;
  double smoothed = mVarispeedSmoothed;
  double boosted = mBoost;
  double oldSpeed = mSpeed;
  auto now = static_cast<double>(static_cast<int64_t>(mWritten - 2));  // whole numbers: exact as doubles
  int32_t i = 0;
  bool jumped = false;
  while (i < count && !jumped) {
    oldSpeed = current;
    current = playingLaw(now, head, current, smoothed, boosted);
    ReadPlan& p = plan[i++];  // without a crossfade, mixIn and tail are never read
    p.head = tapAt(head);
    p.amp = static_cast<float>(tapeLevel(current));
    p.mixOut = 0.0f;
    const double next = now + 1.0;
    head = std::min(next, head + current);
    const double lag = next - head;
    snapLaw(next, head, current, smoothed);
    jumped = lag > mMaxLag;
    if (jumped) {
      mReadPos = head;
      jumpHead(next - mMaxLag / 2.0);
      head = mReadPos;
    }
    now = next;
  }
  mReadPos = head;
  mAccel = current - oldSpeed;
  mSpeed = current;
  mVarispeedSmoothed = smoothed;
  mBoost = boosted;
  mWritten += static_cast<uint64_t>(i);
  return i;
}

void TapeEngine::render(const ReadPlan* plan, float* const* io, int32_t channels, int32_t known, int32_t from,
                        int32_t count) const {
  const float* const tape = mRings.data();
#if defined(__SSE2__)
  if (known == 2 && mRingCount == 2) {
    float* const left = io[0] + from;
    float* const right = io[1] + from;
    int32_t i = 0;
    while (i < count) {
      // Two frames at once when neither crossfades: frame i in lanes 0 and 1, frame i + 1 in 2 and 3.
      if (i + 1 < count && plan[i].mixOut == 0.0f && plan[i + 1].mixOut == 0.0f) {
        const __m128 out = _mm_mul_ps(interpolateStereoPair(tape, mMask, plan[i].head, plan[i + 1].head),
                                      _mm_setr_ps(plan[i].amp, plan[i].amp, plan[i + 1].amp, plan[i + 1].amp));
        _mm_storel_pi(reinterpret_cast<__m64*>(left + i), _mm_shuffle_ps(out, out, _MM_SHUFFLE(2, 0, 2, 0)));
        _mm_storel_pi(reinterpret_cast<__m64*>(right + i), _mm_shuffle_ps(out, out, _MM_SHUFFLE(3, 1, 3, 1)));
        i += 2;
        continue;
      }
      const ReadPlan& p = plan[i];
      __m128 out = interpolateStereo(tape, mMask, p.head);
      if (p.mixOut != 0.0f) {
        out = _mm_add_ps(_mm_mul_ps(out, _mm_set1_ps(p.mixIn)),
                         _mm_mul_ps(interpolateStereo(tape, mMask, p.tail), _mm_set1_ps(p.mixOut)));
      }
      out = _mm_mul_ps(out, _mm_set1_ps(p.amp));
      _mm_store_ss(left + i, out);
      _mm_store_ss(right + i, _mm_shuffle_ps(out, out, _MM_SHUFFLE(1, 1, 1, 1)));
      ++i;
    }
  } else
#endif
  {
    for (int32_t c = 0; c < known; ++c) {
      float* const out = io[c] + from;
      for (int32_t i = 0; i < count; ++i) {
        const ReadPlan& p = plan[i];
        float sample = interpolate(tape, mMask, mRingCount, c, p.head);
        if (p.mixOut != 0.0f) sample = sample * p.mixIn + interpolate(tape, mMask, mRingCount, c, p.tail) * p.mixOut;
        out[i] = sample * p.amp;
      }
    }
  }
  for (int32_t c = std::max(known, 0); c < channels; ++c) std::fill(io[c] + from, io[c] + from + count, 0.0f);
}

}  // namespace reelstop
