// Engage and release control: the decision at each sample it is asked for, the ramps' lengths
// and the engine calls of each kind of ramp.
#include "tape_control.h"

#include <algorithm>
#include <cmath>

#include "choices.h"
#include "params.h"
#include "shared_constants.h"

namespace reelstop {
namespace {

constexpr double kScratchDeadbandTurns = 0.01;
constexpr double kShortestAutoStartBeats = 0.125;
constexpr double kLongestAutoStartBeats = 1.0;
constexpr double kReverseExtraBeats = 0.25;
constexpr int kControllerAllSoundOff = 120;
constexpr int kControllerAllNotesOff = 123;
// The platter's feel from "Weight" (0 to 100): inertia and motor grow with it from these.
constexpr double kLightestInertiaMs = 10.0;
constexpr double kInertiaPerWeightMs = 110.0;  // added at full "Weight"
constexpr double kLightestMotorMs = 35.0;
constexpr double kMotorPerWeightMs = 100.0;
constexpr double kFullWeight = 100.0;

}  // namespace

TapeControl::TapeControl(const frame::Plugin& params, const GridTiming& timing, const EngineHost& engines,
                         const EditorLink& link, CaptureRecorder& capture)
    : mParams(params), mTiming(timing), mEngines(engines), mLink(link), mCapture(capture) {}

void TapeControl::reset() {
  mEngaged = false;
  mHeldKeys.reset();
}

double TapeControl::rampSamples(int timeParam, int syncParam) const {
  return mTiming.rampSamples(paramValue(timeParam), paramInt(syncParam));
}

double TapeControl::inertiaMs() const {
  return kInertiaPerWeightMs * (paramValue(kWeight) / kFullWeight) + kLightestInertiaMs;
}

double TapeControl::motorMs() const {
  return kMotorPerWeightMs * (paramValue(kWeight) / kFullWeight) + kLightestMotorMs;
}

bool TapeControl::countNote(const frame::IMidiMsg& msg) {
  const size_t key = static_cast<size_t>(msg.Channel()) * kMidiNotes + static_cast<size_t>(msg.NoteNumber() & 0x7F);
  switch (msg.StatusMsg()) {
    // A key is held or not: a repeated note-on or a stray note-off changes nothing.
    case frame::IMidiMsg::kNoteOn: mHeldKeys.set(key, msg.Velocity() > 0); return true;
    case frame::IMidiMsg::kNoteOff: mHeldKeys.reset(key); return true;
    case frame::IMidiMsg::kControlChange:
      if (msg.ControlChangeIdx() != kControllerAllSoundOff && msg.ControlChangeIdx() != kControllerAllNotesOff) {
        return false;
      }
      mHeldKeys.reset();
      return true;
    default: return false;
  }
}

void TapeControl::update(int offset) {
  const bool hand = mLink.handDown.load();
  const bool stopOn = paramOn(kStop);
  const bool want = stopOn || hand || (paramOn(kMidiTrigger) && mHeldKeys.any());

  // "Scratch" automation scratches a tape held by "Stop", once it has moved off where it was.
  if (hand) {
    mParamScratchArmed = true;
    mParamScratchMoved = false;
  } else if (stopOn) {
    const double turns = paramValue(kScratch);
    if (!mParamScratchArmed) {
      mParamScratchRef = turns;
      mParamScratchMoved = false;
    }
    if (std::fabs(turns - mParamScratchRef) > kScratchDeadbandTurns) mParamScratchMoved = true;
    mParamScratchArmed = true;
    if (mParamScratchMoved) {
      scratchTo((turns - mParamScratchRef) * kTwoPi, offset, want);
      return;
    }
  } else {
    mParamScratchArmed = false;
    mParamScratchMoved = false;
  }
  if (mLink.scratching.load()) {
    scratchTo(mLink.scratchAngle.load(), offset, want);
    return;
  }

  // The end of a scratch is always followed by a fresh stop or start.
  const bool engineScratching = engine().api.is_scratching(engine().engine) != 0;
  if (mEngaged == want && !engineScratching) return;
  mEngaged = want;
  if (want) {
    engageEngine(offset);
  } else {
    releaseEngine(offset);
  }
}

void TapeControl::scratchTo(double angleRad, int offset, bool want) {
  const Slot& tape = engine();
  const double samplesPerRadian = mLink.samplesPerTurn.load() / kTwoPi;
  double previousRad = mLastScratchTarget;
  if (tape.api.is_scratching(tape.engine) == 0) {
    tape.api.begin_scratch(tape.engine);
    mLastScratchTarget = angleRad;
    mScratchStartAngle = angleRad;
    // A scratch of a running tape counts as a stop, so the release measures its hold from here.
    if (!mEngaged) {
      mEngagedAt = mBlockStartSample + offset;
      mStopLength = mTiming.samplesPerBeat();
    }
    mScratchTravel = 0.0;
    previousRad = angleRad;
  }
  mScratchTravel += std::fabs(angleRad - previousRad) * samplesPerRadian;
  mLastScratchTarget = angleRad;
  tape.api.set_scratch_target(tape.engine, (angleRad - mScratchStartAngle) * samplesPerRadian);
  mEngaged = want;
}

void TapeControl::engageEngine(int offset) {
  const Slot& tape = engine();
  mEngagedAt = mBlockStartSample + offset;
  mScratchTravel = 0.0;
  ++mStops;
  if (paramOn(kAuto)) {
    mStopLength = mTiming.autoStopSamples(offset, paramInt(kSnap));
    tape.api.engage_platter(tape.engine, mStopLength, inertiaMs(), motorMs());
    return;
  }
  mStopLength = rampSamples(kStopTime, kStopSync);
  const Ramp ramp = chosen(kRampChoices, paramInt(kRamp)).meaning;
  switch (ramp) {
    case Ramp::kManual: tape.api.engage(tape.engine, mStopLength, paramValue(kStopCurve)); return;
    case Ramp::kLinear: tape.api.engage(tape.engine, mStopLength, 0.0); return;
    case Ramp::kBezier:
    case Ramp::kBezierPitch:
      tape.api.engage_shaped(tape.engine, ramp == Ramp::kBezierPitch ? 1 : 0, mStopLength, paramValue(kEaseIn),
                             paramValue(kEaseOut));
      return;
    case Ramp::kPlatter: tape.api.engage_platter(tape.engine, mStopLength, inertiaMs(), motorMs()); return;
  }
}

// A tap returns in an eighth of a beat, a hold in at most a beat, a drag by how far it pulled,
// and a record spinning backwards takes up to a quarter beat longer.
double TapeControl::autoStartSamples(int offset) const {
  const double beatSamples = mTiming.samplesPerBeat();
  const auto held = static_cast<double>(mBlockStartSample + offset - mEngagedAt);
  double beats = (mScratchTravel > 0.0 ? mScratchTravel : std::min(held, mStopLength)) / beatSamples;
  beats = std::clamp(beats, kShortestAutoStartBeats, kLongestAutoStartBeats);
  const double speed = engine().api.speed(engine().engine);
  if (speed < 0.0) beats += std::min(-speed, 1.0) * kReverseExtraBeats;
  return beats * beatSamples;
}

void TapeControl::releaseEngine(int offset) {
  const Slot& tape = engine();
  const bool autoOn = paramOn(kAuto);
  const Ramp kind = autoOn ? Ramp::kPlatter : chosen(kRampChoices, paramInt(kRamp)).meaning;
  const double beatSamples = mTiming.samplesPerBeat();
  const double requested = autoOn ? autoStartSamples(offset) : rampSamples(kStartTime, kStartSync);
  const double minimum = kind == Ramp::kPlatter ? 2.0 * (inertiaMs() + motorMs()) / 1000.0 * mTiming.sampleRate : 0.0;
  const double length = mTiming.startSamplesOnGrid(offset, requested, minimum, paramInt(kSnap));
  mCapture.logRelease(offset, length, mTiming.blockPpq, mTiming.reentryGridBeats(paramInt(kSnap)), mTiming.songPlaying);
  const double grid = autoOn ? 0.0 : chosen(kLockChoices, paramInt(kLock)).beats(mTiming.beatsPerBar) * beatSamples;
  ++mStarts;
  switch (kind) {
    case Ramp::kManual: {
      const ReleaseMode mode = chosen(kStartModeChoices, paramInt(kStartMode)).meaning;
      tape.api.release(tape.engine, static_cast<int32_t>(mode), length, paramValue(kStartCurve));
      return;
    }
    case Ramp::kLinear: tape.api.release(tape.engine, static_cast<int32_t>(ReleaseMode::kSpinUp), length, 0.0); return;
    case Ramp::kBezier:
    case Ramp::kBezierPitch:
      // The eases swap: the spin-up is the stop played backwards.
      tape.api.release_shaped(tape.engine, kind == Ramp::kBezierPitch ? 1 : 0, length, paramValue(kEaseOut),
                              paramValue(kEaseIn), grid);
      return;
    case Ramp::kPlatter: tape.api.release_platter(tape.engine, length, inertiaMs(), motorMs(), grid); return;
  }
}

}  // namespace reelstop
