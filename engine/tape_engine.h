// TapeEngine: the tape ring buffers, the read head with its crossfade, varispeed, and the one speed
// law that steers the head while it stops, starts or scratches.
// Audio thread: every method but prepare is free of allocation, locks and system calls.
// prepare allocates the tape and runs only on the main thread (rs_create).
#pragma once

#include <cstdint>
#include <vector>

#include "catch_up.h"
#include "platter.h"
#include "speed_ramps.h"
#include "tape_reader.h"

namespace reelstop {

enum class StartMode : int32_t { SpinUp = 0, CatchUp = 1 };

enum class EngineState : int32_t { Playing = 0, Stopping = 1, Stopped = 2, Starting = 3, Scratching = 4 };

// The curve a stop or a start follows. A scratch follows the hand's spring, playing its own law.
enum class RampLaw : int32_t { Power, Bezier, Platter, Landing };

class TapeEngine {
 public:
  void prepare(double sampleRate, int32_t channels, double seconds);
  void process(float* const* io, int32_t channels, int32_t frames);

  // A stop is refused while stopping or stopped, a start while playing or starting.
  void engage(double rampSamples, double curve);
  void release(double rampSamples, double curve, StartMode mode);
  void engageShaped(double rampSamples, const RampShape& shape);
  void releaseShaped(double rampSamples, const RampShape& shape, double grid);
  void engagePlatter(double rampSamples, const PlatterFeel& feel);
  void releasePlatter(double rampSamples, const PlatterFeel& feel, double grid);
  void beginScratch();
  void setScratchTarget(double offsetSamples) { mScratch.setTarget(offsetSamples); }
  void setVarispeed(double ratio);

  EngineState state() const { return mState; }
  double speed() const { return mSpeed; }
  // Samples between the head and the live position of the next sample.
  double lag() const { return livePos() - mReadPos; }

 private:
  friend class EngineProbe;  // the tests' read-only view

  // Where and how loud one sample reads the tape; tail is the outgoing position of a crossfade.
  struct ReadPlan {
    Tap head;
    float amp;
    float mixIn;
    float mixOut;
    Tap tail;
  };

  double livePos() const;
  void writeAhead(float* const* io, int32_t known, int32_t from, int32_t count);
  ReadPlan stepHead();
  int32_t stepPlaying(ReadPlan* plan, int32_t count);
  void render(const ReadPlan* plan, float* const* io, int32_t channels, int32_t known, int32_t from,
              int32_t count) const;

  void stepSpeed(double now);
  double playingLaw(double now, double head, double current, double& smoothed, double& boosted) const;
  static void snapLaw(double next, double& head, double& current, double smoothed);
  double rampSpeed();

  void advance(double now);
  void advanceStart(double next);
  void endStart(double next);
  void checkLag(double next, double lagBeforeSnap);
  void jumpHead(double newPos);

  bool mayStop() const;
  bool mayStart() const;
  bool silentStop() const;
  void beginRamp(double rampSamples, RampLaw law, EngineState towards);
  void restartSilentTape(double lagDuringStart, double grid);

  // The tape
  std::vector<float> mRings;  // mask + 1 frames of mRingCount samples each (tape_reader.h)
  int32_t mRingCount = 0;
  uint64_t mMask = 0;
  uint64_t mWritten = 0;  // input samples written since prepare: the next write index
  double mSampleRate = 48000.0;
  double mMaxLag = 0.0;

  // The head and its crossfade
  EngineState mState = EngineState::Playing;
  double mReadPos = -2.0;  // on the input's sample axis
  double mSpeed = 1.0;
  double mAccel = 0.0;    // change of speed over the last sample
  double mFadePos = 0.0;  // read position of the outgoing signal during a crossfade
  int32_t mFadeRemaining = 0;
  int32_t mFadeLength = 1;

  // Playing: varispeed and the boost that catches the track up
  double mVarispeed = 1.0;
  double mVarispeedSmoothed = 1.0;
  double mBoost = 0.0;
  double mCatchWindow = 1.0;  // samples of lag that ask for a full extra unit of speed
  double mSpeedGlide = 1.0;   // one-pole coefficients per sample
  double mVarispeedGlide = 1.0;
  double mBoostGlide = 1.0;

  // Stopping and starting
  RampLaw mRamp = RampLaw::Power;
  double mRampLength = 1.0;
  double mRampElapsed = 0.0;
  bool mCutStarted = false;  // a spin-up's closing cut to the live signal has begun
  PowerRamp mPower;
  BezierRamp mBezier;
  PlatterRamp mPlatter;
  CatchUpLanding mLanding;

  ScratchSpring mScratch;
};

}  // namespace reelstop
