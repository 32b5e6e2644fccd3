// The factory bank of presets.
#include "presets.h"

#include <strings.h>

#include "choices.h"
#include "params.h"

namespace reelstop {
namespace {

double sync(const char* text) { return choiceIndex(kSyncChoices, text); }
double snap(const char* text) { return choiceIndex(kSnapChoices, text); }
double ramp(Ramp kind) { return static_cast<double>(kind); }
double startMode(const char* text) { return choiceIndex(kStartModeChoices, text); }

}  // namespace

const std::vector<Preset>& factoryPresets() {
  static const std::vector<Preset> bank = {
      {"One-beat stop",
       "The tape stops over one beat and snaps back in time with the track",
       {{kAuto, 0},
        {kRamp, ramp(Ramp::kManual)},
        {kStopSync, sync("1/4")},
        {kStopCurve, 0.3},
        {kStartSync, sync("1/8")},
        {kStartCurve, -0.3},
        {kSnap, snap("1/4")}}},
      {"Heavy power-down",
       "A heavy platter winds down over two bars and takes a bar to come back",
       {{kAuto, 0},
        {kRamp, ramp(Ramp::kPlatter)},
        {kWeight, 100.0},
        {kStopSync, sync("2 bars")},
        {kStartSync, sync("1 bar")}}},
      {"Pitch brake",
       "A quick brake that falls evenly in pitch, a quarter of a second",
       {{kAuto, 0},
        {kRamp, ramp(Ramp::kBezierPitch)},
        {kStopTime, 250.0},
        {kStartTime, 200.0},
        {kEaseIn, 0.05},
        {kEaseOut, 0.2}}},
      {"Catch the track",
       "Stops on the beat, then runs fast and lands back on the track without a cut",
       {{kAuto, 0},
        {kRamp, ramp(Ramp::kManual)},
        {kStartMode, startMode("Catch up")},
        {kStopSync, sync("1/4")},
        {kStartSync, sync("1/2")},
        {kStartCurve, 0.4}}},
      {"Slow free stop",
       "A straight stop of one and a half seconds that ignores the tempo",
       {{kAuto, 0}, {kRamp, ramp(Ramp::kLinear)}, {kStopTime, 1500.0}, {kStartTime, 600.0}, {kSnap, snap("Free")}}},
      {"Half-speed drag", "The tape plays dragged down to half speed, an octave low", {{kVarispeed, 50.0}}},
      {"Stutter 1/16",
       "Short, tight stops and starts locked to sixteenth notes, for stutter edits",
       {{kAuto, 0},
        {kRamp, ramp(Ramp::kLinear)},
        {kStopSync, sync("1/16")},
        {kStartSync, sync("1/16")},
        {kSnap, snap("1/16")},
        {kStopCurve, -0.5}}},
      {"Scratch deck",
       "A light, quick platter for scratching the record by hand, back on sixteenths",
       {{kWeight, 0.0}, {kSnap, snap("1/16")}}},
  };
  return bank;
}

const Preset* findPreset(const std::string& name) {
  for (const Preset& preset : factoryPresets()) {
    if (strcasecmp(preset.name, name.c_str()) == 0) return &preset;
  }
  return nullptr;
}

std::vector<double> presetValues(const frame::Plugin& plugin, const Preset& preset) {
  std::vector<double> values(static_cast<size_t>(plugin.NParams()));
  for (int i = 0; i < plugin.NParams(); ++i) values[static_cast<size_t>(i)] = plugin.GetParam(i)->GetDefault();
  for (const PresetValue& set : preset.values) values[static_cast<size_t>(set.paramIdx)] = set.value;
  return values;
}

}  // namespace reelstop
