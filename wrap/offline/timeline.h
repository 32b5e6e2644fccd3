// The timeline of a render: events at exact samples, parsed from "TIME ACTION" lines.
// MIDI, automation, the editor's hand and the transport, sorted by time. Main thread only.
#pragma once

#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <vector>

#include "frame/imidi.h"
#include "frame/plugin.h"
#include "param_values.h"

namespace reelstop::offline {

struct Event {
  enum class Kind { kMidi, kSet, kHandDown, kHandUp, kDrag, kPlay, kStop, kTempo };

  int64_t sample = 0;
  Kind kind = Kind::kMidi;
  frame::IMidiMsg midi;  // kMidi; its offset is filled in by the block that sends it
  ParamSetting setting;  // kSet
  double amount = 0.0;   // kDrag: radians; kTempo: BPM
};

// What a TIME means: seconds and samples need the rate; beats need the host's tempo too.
struct TimeBase {
  double sampleRateHz = 48000.0;
  std::optional<double> tempoBpm;
  double startBeats = 0.0;
  int64_t totalFrames = 0;  // an event must fall inside the audio
  // False for a timeline of our own (the demo's), whose events outside the audio are left out by
  // the caller rather than refused: their sample is then -1 or totalFrames.
  bool outsideIsError = true;
};

// One "TIME ACTION" line; throws RenderError naming what is wrong.
Event parseEvent(const std::string& line, const TimeBase& base, const frame::Plugin& plugin);

// One event a line; '#' starts a comment; blank lines are skipped. Errors name SOURCE:LINE.
std::vector<Event> parseScript(std::istream& lines, const std::string& sourceName, const TimeBase& base,
                               const frame::Plugin& plugin);
std::vector<Event> readEventFile(const std::string& path, const TimeBase& base, const frame::Plugin& plugin);

// In time order; events at the same sample keep the order they were given in.
void sortByTime(std::vector<Event>& events);

// Follows the hand through a timeline in order: true for a drag that comes while no hand holds
// the record, which the editor never sends.
bool isHandlessDrag(const Event& event, bool& handDown);
// Refuses a timeline with a handless drag.
void checkHandMoves(const std::vector<Event>& events, const TimeBase& base);

}  // namespace reelstop::offline
