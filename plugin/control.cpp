// Engage and release control: notes, "Stop", the hand and the "Scratch" automation decide when
// the tape stops, starts or scratches, and with which ramp.
#include <algorithm>
#include <cmath>

#include "choices.h"
#include "reelstop.h"
#include "shared_constants.h"

namespace reelstop {
namespace {

constexpr double kScratchDeadbandTurns = 0.01;
constexpr double kShortestAutoStartBeats = 0.125;
constexpr double kLongestAutoStartBeats = 1.0;
constexpr double kReverseExtraBeats = 0.25;
constexpr int kControllerAllSoundOff = 120;
constexpr int kControllerAllNotesOff = 123;

}  // namespace

double Reelstop::inertiaMs() const { return 110.0 * (GetParam(kWeight)->Value() / 100.0) + 10.0; }

double Reelstop::motorMs() const { return 100.0 * (GetParam(kWeight)->Value() / 100.0) + 35.0; }

bool Reelstop::countNote(const iplug::IMidiMsg& msg) {
  const size_t key = static_cast<size_t>(msg.Channel()) * kMidiNotes + static_cast<size_t>(msg.NoteNumber() & 0x7F);
  switch (msg.StatusMsg()) {
    case iplug::IMidiMsg::kNoteOn:
      if (msg.Velocity() == 0) {
        releaseKey(key);
      } else if (!heldKeys.test(key)) {
        heldKeys.set(key);
        ++heldNotes;
      }
      return true;
    case iplug::IMidiMsg::kNoteOff: releaseKey(key); return true;
    case iplug::IMidiMsg::kControlChange:
      if (msg.ControlChangeIdx() != kControllerAllSoundOff && msg.ControlChangeIdx() != kControllerAllNotesOff) {
        return false;
      }
      heldKeys.reset();
      heldNotes = 0;
      return true;
    default: return false;
  }
}

void Reelstop::releaseKey(size_t key) {
  if (!heldKeys.test(key)) return;
  heldKeys.reset(key);
  --heldNotes;
}

void Reelstop::updateEngaged(int offset) {
  const bool hand = handDown.load();
  const bool stopOn = paramOn(kStop);
  const bool want = stopOn || hand || (paramOn(kMidiTrigger) && heldNotes > 0);

  // "Scratch" automation scratches a tape held by "Stop", once it has moved off where it was.
  if (hand) {
    paramScratchArmed = true;
    paramScratchMoved = false;
  } else if (stopOn) {
    const double turns = GetParam(kScratch)->Value();
    if (!paramScratchArmed) {
      paramScratchRef = turns;
      paramScratchMoved = false;
    }
    if (std::fabs(turns - paramScratchRef) > kScratchDeadbandTurns) paramScratchMoved = true;
    paramScratchArmed = true;
    if (paramScratchMoved) {
      scratchTo((turns - paramScratchRef) * kTwoPi, offset, want);
      return;
    }
  } else {
    paramScratchArmed = false;
    paramScratchMoved = false;
  }
  if (scratching.load()) {
    scratchTo(scratchAngle.load(), offset, want);
    return;
  }

  // The end of a scratch is always followed by a fresh stop or start.
  const bool engineScratching = engine().api.is_scratching(engine().engine) != 0;
  if (engaged == want && !engineScratching) return;
  engaged = want;
  if (want) {
    engageEngine(offset);
  } else {
    releaseEngine(offset);
  }
}

void Reelstop::scratchTo(double angleRad, int offset, bool want) {
  const Slot& tape = engine();
  const double samplesPerRadian = samplesPerTurn.load() / kTwoPi;
  double previousRad = lastScratchTarget;
  if (tape.api.is_scratching(tape.engine) == 0) {
    tape.api.begin_scratch(tape.engine);
    lastScratchTarget = angleRad;
    scratchStartAngle = angleRad;
    // A scratch of a running tape counts as a stop, so the release measures its hold from here.
    if (!engaged) {
      engagedAt = blockStartSample + offset;
      stopLength = mTiming.samplesPerBeat();
    }
    scratchTravel = 0.0;
    previousRad = angleRad;
  }
  scratchTravel += std::fabs(angleRad - previousRad) * samplesPerRadian;
  lastScratchTarget = angleRad;
  tape.api.set_scratch_target(tape.engine, (angleRad - scratchStartAngle) * samplesPerRadian);
  engaged = want;
}

void Reelstop::engageEngine(int offset) {
  const Slot& tape = engine();
  engagedAt = blockStartSample + offset;
  scratchTravel = 0.0;
  ++mStops;
  if (paramOn(kAuto)) {
    stopLength = autoStopSamples(offset);
    tape.api.engage_platter(tape.engine, stopLength, inertiaMs(), motorMs());
    return;
  }
  stopLength = rampSamples(kStopTime, kStopSync);
  const Ramp ramp = chosen(kRampChoices, paramInt(kRamp)).meaning;
  switch (ramp) {
    case Ramp::kManual: tape.api.engage(tape.engine, stopLength, GetParam(kStopCurve)->Value()); return;
    case Ramp::kLinear: tape.api.engage(tape.engine, stopLength, 0.0); return;
    case Ramp::kBezier:
    case Ramp::kBezierPitch:
      tape.api.engage_shaped(tape.engine, ramp == Ramp::kBezierPitch ? 1 : 0, stopLength, GetParam(kEaseIn)->Value(),
                             GetParam(kEaseOut)->Value());
      return;
    case Ramp::kPlatter: tape.api.engage_platter(tape.engine, stopLength, inertiaMs(), motorMs()); return;
  }
}

// A tap returns in an eighth of a beat, a hold in at most a beat, a drag by how far it pulled,
// and a record spinning backwards takes up to a quarter beat longer.
double Reelstop::autoStartSamples(int offset) const {
  const double beatSamples = mTiming.samplesPerBeat();
  const auto held = static_cast<double>(blockStartSample + offset - engagedAt);
  double beats = (scratchTravel > 0.0 ? scratchTravel : std::min(held, stopLength)) / beatSamples;
  beats = std::clamp(beats, kShortestAutoStartBeats, kLongestAutoStartBeats);
  const double speed = engine().api.speed(engine().engine);
  if (speed < 0.0) beats += std::min(-speed, 1.0) * kReverseExtraBeats;
  return beats * beatSamples;
}

void Reelstop::releaseEngine(int offset) {
  const Slot& tape = engine();
  const bool autoOn = paramOn(kAuto);
  const Ramp kind = autoOn ? Ramp::kPlatter : chosen(kRampChoices, paramInt(kRamp)).meaning;
  const double beatSamples = mTiming.samplesPerBeat();
  const double requested = autoOn ? autoStartSamples(offset) : rampSamples(kStartTime, kStartSync);
  const double minimum = kind == Ramp::kPlatter ? 2.0 * (inertiaMs() + motorMs()) / 1000.0 * mTiming.sampleRate : 0.0;
  const double length = startSamplesOnGrid(offset, requested, minimum);
  mCapture.logRelease(offset, length, mTiming.blockPpq, reentryGridBeats(), mTiming.songPlaying);
  const double grid = autoOn ? 0.0 : chosen(kLockChoices, paramInt(kLock)).beats(mTiming.beatsPerBar) * beatSamples;
  ++mStarts;
  switch (kind) {
    case Ramp::kManual: {
      const ReleaseMode mode = chosen(kStartModeChoices, paramInt(kStartMode)).meaning;
      tape.api.release(tape.engine, static_cast<int32_t>(mode), length, GetParam(kStartCurve)->Value());
      return;
    }
    case Ramp::kLinear: tape.api.release(tape.engine, static_cast<int32_t>(ReleaseMode::kSpinUp), length, 0.0); return;
    case Ramp::kBezier:
    case Ramp::kBezierPitch:
      // The eases swap: the spin-up is the stop played backwards.
      tape.api.release_shaped(tape.engine, kind == Ramp::kBezierPitch ? 1 : 0, length, GetParam(kEaseOut)->Value(),
                              GetParam(kEaseIn)->Value(), grid);
      return;
    case Ramp::kPlatter: tape.api.release_platter(tape.engine, length, inertiaMs(), motorMs(), grid); return;
  }
}

}  // namespace reelstop
