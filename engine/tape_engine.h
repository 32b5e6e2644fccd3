// TapeEngine: the tape ring buffers, the read head and every speed law that steers it.
// Audio thread: every method but prepare is free of allocation, locks and system calls.
// prepare allocates the tape and runs only on the main thread (rs_create).
#pragma once

#include <cstdint>
#include <vector>

#include "tape_reader.h"

namespace reelstop {

enum class StartMode : int32_t { SpinUp = 0, CatchUp = 1 };

enum class EngineState : int32_t { Playing = 0, Stopping = 1, Stopped = 2, Starting = 3, Scratching = 4 };

struct RampShape {
  double easeIn;   // 0..1 of the ramp: how long the old speed holds before the new one takes hold
  double easeOut;  // 0..1 of the ramp: how gently the ramp lands on its final speed
  bool pitch;      // draw the curve in log2(speed + 0.06), even in musical pitch
};

struct PlatterFeel {
  double inertiaMs;  // time constant of the platter's acceleration following brake or motor
  double motorMs;    // the motor asks for the acceleration that closes the speed gap in this time
};

constexpr double kMaxScratchSpeed = 6.0;

class TapeEngine {
 public:
  std::vector<float> rings;  // mask + 1 frames of ringCount samples each (tape_reader.h)
  int32_t ringCount = 0;
  uint64_t mask = 0;
  uint64_t written = 0;  // input samples written since prepare: the next write index
  double sampleRate = 48000.0;
  double maxLag = 0.0;
  double readPos = -2.0;  // read head on the input's sample axis
  double speed = 1.0;
  EngineState state = EngineState::Playing;
  double startSpeed = 1.0;
  double rampLength = 1.0;
  double rampElapsed = 0.0;
  double curveExponent = 1.0;
  StartMode startMode = StartMode::SpinUp;
  bool cutStarted = false;
  double alignLag = 0.0;
  double alignSlope = 0.0;
  bool platter = false;
  double platterLimit = 0.0;  // speed per sample: brake deceleration, or the motor's largest pull
  double platterResponse = 1.0;
  double platterMotor = 1.0;  // samples
  bool shaped = false;
  bool pitchDomain = false;
  double bezX1 = 0.0;
  double bezX2 = 1.0;
  double bezY0 = 0.0;
  double bezY1 = 0.0;
  double bezY2 = 0.0;
  double bezY3 = 0.0;
  double bezGuess = 0.0;  // curve parameter of the last Bezier sample: where the next search starts
  double accel = 0.0;     // change of speed over the last sample
  double scratchOrigin = 0.0;
  double scratchTarget = 0.0;
  double scratchOmega = 0.0;  // per sample
  double varispeed = 1.0;
  double varispeedSmoothed = 1.0;
  double catchWindow = 1.0;  // samples of lag that ask for a full extra unit of speed
  double coef10ms = 1.0;
  double coef30ms = 1.0;
  double boost = 0.0;
  double coef80ms = 1.0;
  double fadePos = 0.0;  // read position of the outgoing signal during a crossfade
  int32_t fadeRemaining = 0;
  int32_t fadeLength = 1;

  void prepare(double sampleRate, int32_t channels, double seconds);
  void process(float* const* io, int32_t channels, int32_t frames);
  void advance(double now);
  void stepPhaseSpeed(double now);

  void engage(double rampSamples, double curve);
  void release(double rampSamples, double curve, StartMode mode);
  void engageShaped(double rampSamples, const RampShape& shape);
  void releaseShaped(double rampSamples, const RampShape& shape, double grid);
  void engagePlatter(double rampSamples, const PlatterFeel& feel);
  void releasePlatter(double rampSamples, const PlatterFeel& feel, double grid);
  void beginScratch();
  void setScratchTarget(double offsetSamples);
  void setVarispeed(double ratio);

  double shapeLag() const;
  void alignSettle(double lag, double grid);

  // Live position of the next sample to be processed.
  double livePos() const;

 private:
  // Where and how loud one sample reads the tape; tail is the outgoing position of a crossfade.
  struct ReadPlan {
    Tap head;
    float amp;
    float mixIn;
    float mixOut;
    Tap tail;
  };

  void writeAhead(float* const* io, int32_t known, int32_t from, int32_t count);
  ReadPlan stepHead();
  int32_t stepPlaying(ReadPlan* plan, int32_t count);
  double playingLaw(double now, double head, double current, double& smoothed, double& boosted) const;
  static void snapLaw(double next, double& head, double& current, double smoothed);
  void render(const ReadPlan* plan, float* const* io, int32_t channels, int32_t known, int32_t from,
              int32_t count) const;
  double playingSpeed(double now);
  double plainRampSpeed() const;
  double bezierRampSpeed();
  double bezierSpeedAt(double t, double& guess) const;
  double platterRampSpeed() const;
  double scratchSpeed(double now) const;
  double landingLag(double t) const;
  double landingSpeed(double t) const;

  void advanceStart(double next);
  void endStart(double next);
  void snapToLive(double next);
  void checkLag(double next, double lagBeforeSnap);
  void jumpHead(double newPos);

  void setUpPowerRamp(double rampSamples, double curve);
  void setUpBezier(const RampShape& shape, bool towardsPlaying);
  void setUpCatchUp();
  void setPlatterFeel(const PlatterFeel& feel);
  bool silentStop() const;
  double gridRestartOffset(double lagDuringStart, double grid) const;
};

}  // namespace reelstop
