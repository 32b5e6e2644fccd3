// Event parsing: times in seconds, samples or beats, and the actions a host can take.
#include "timeline.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>

#include "options.h"
#include "render_error.h"
#include "text_parse.h"

namespace reelstop::offline {
namespace {

constexpr uint8_t kNoteOnChannel1 = 0x90;
constexpr uint8_t kNoteOffChannel1 = 0x80;
constexpr uint8_t kControlChangeChannel1 = 0xB0;
constexpr int kDefaultNote = 60;
constexpr int kDefaultVelocity = 100;

int64_t parseTimeSamples(const std::string& text, const TimeBase& base) {
  const char unit = text.empty() ? '\0' : static_cast<char>(std::tolower(static_cast<unsigned char>(text.back())));
  double samples = 0.0;
  if (unit == 's' || unit == 'b') {
    const auto amount = parseNumber(text.substr(0, text.size() - 1));
    if (!amount) throw RenderError("malformed time '" + text + "' (seconds: 2.5s, samples: 120000, beats: 6b)");
    if (unit == 's') {
      samples = *amount * base.sampleRateHz;
    } else {
      if (!base.tempoBpm) throw RenderError("time '" + text + "' is in beats, which needs --tempo");
      samples = (*amount - base.startBeats) * 60.0 / *base.tempoBpm * base.sampleRateHz;
    }
  } else {
    const auto whole = parseInteger(text);
    if (!whole) throw RenderError("malformed time '" + text + "' (seconds: 2.5s, samples: 120000, beats: 6b)");
    samples = static_cast<double>(*whole);
  }
  const double sample = std::round(samples);
  if (sample < 0.0) {
    if (!base.outsideIsError) return -1;
    throw RenderError("time '" + text + "' is before the first sample");
  }
  if (sample >= static_cast<double>(base.totalFrames)) {
    if (!base.outsideIsError) return base.totalFrames;
    throw RenderError("time '" + text + "' is after the end of the audio (" + std::to_string(base.totalFrames) +
                      " samples)");
  }
  return static_cast<int64_t>(sample);
}

// A MIDI data byte from the word at index, or the fallback when the line ends before it.
uint8_t dataByte(const std::vector<std::string>& words, size_t index, std::optional<int> fallback) {
  if (index >= words.size()) {
    if (!fallback) throw RenderError("'" + words[0] + "' is missing a value");
    return static_cast<uint8_t>(*fallback);
  }
  const auto value = parseInteger(words[index]);
  if (!value || *value < 0 || *value > 127) {
    throw RenderError("'" + words[0] + "' wants MIDI values from 0 to 127, not '" + words[index] + "'");
  }
  return static_cast<uint8_t>(*value);
}

void expectWords(const std::vector<std::string>& words, size_t most) {
  if (words.size() > most) throw RenderError("'" + words[0] + "' has too many values: '" + words[most] + "'");
}

void parseMidi(const std::vector<std::string>& words, uint8_t status, Event& event) {
  event.kind = Event::Kind::kMidi;
  event.midi.mStatus = status;
  if (status == kControlChangeChannel1) {
    event.midi.mData1 = dataByte(words, 1, std::nullopt);
    event.midi.mData2 = dataByte(words, 2, std::nullopt);
  } else {
    event.midi.mData1 = dataByte(words, 1, kDefaultNote);
    event.midi.mData2 = dataByte(words, 2, status == kNoteOnChannel1 ? kDefaultVelocity : 0);
  }
  expectWords(words, status == kNoteOffChannel1 ? 2 : 3);
}

void parseAction(const std::string& action, const frame::Plugin& plugin, Event& event) {
  const std::vector<std::string> words = splitWords(action);
  if (words.empty()) throw RenderError("an event needs an action after its time");
  const std::string verb = lowerCase(words[0]);
  const std::string second = words.size() > 1 ? lowerCase(words[1]) : "";
  if (verb == "note-on") {
    parseMidi(words, kNoteOnChannel1, event);
  } else if (verb == "note-off") {
    parseMidi(words, kNoteOffChannel1, event);
  } else if (verb == "cc") {
    parseMidi(words, kControlChangeChannel1, event);
  } else if (verb == "set") {
    event.kind = Event::Kind::kSet;
    std::string assignment = trim(action).substr(3);
    assignment.erase(std::remove(assignment.begin(), assignment.end(), '"'), assignment.end());
    event.setting = parseSetting(plugin, trim(assignment));
  } else if (verb == "hand" && (second == "down" || second == "up") && words.size() == 2) {
    event.kind = second == "down" ? Event::Kind::kHandDown : Event::Kind::kHandUp;
  } else if (verb == "drag" && words.size() == 2) {
    const auto angleRad = parseNumber(words[1]);
    if (!angleRad) throw RenderError("drag wants an angle in radians, not '" + words[1] + "'");
    event.kind = Event::Kind::kDrag;
    event.amount = *angleRad;
  } else if ((verb == "play" || verb == "stop") && words.size() == 1) {
    event.kind = verb == "play" ? Event::Kind::kPlay : Event::Kind::kStop;
  } else if (verb == "tempo" && words.size() == 2) {
    event.kind = Event::Kind::kTempo;
    event.amount = parseTempoBpm("tempo", words[1]);
  } else {
    throw RenderError("unknown event action '" + trim(action) +
                      "' (note-on, note-off, cc, set, hand down, hand up, drag, play, stop, tempo)");
  }
}

}  // namespace

Event parseEvent(const std::string& line, const TimeBase& base, const frame::Plugin& plugin) {
  const std::string text = trim(line);
  const size_t space = text.find_first_of(" \t");
  Event event;
  event.sample = parseTimeSamples(text.substr(0, space), base);
  parseAction(space == std::string::npos ? "" : text.substr(space), plugin, event);
  return event;
}

std::vector<Event> parseScript(std::istream& lines, const std::string& sourceName, const TimeBase& base,
                               const frame::Plugin& plugin) {
  std::vector<Event> events;
  int lineNumber = 0;
  for (std::string line; std::getline(lines, line);) {
    ++lineNumber;
    const std::string text = trim(line.substr(0, line.find('#')));
    if (text.empty()) continue;
    try {
      events.push_back(parseEvent(text, base, plugin));
    } catch (const RenderError& error) {
      throw RenderError(sourceName + ":" + std::to_string(lineNumber) + ": " + error.what());
    }
  }
  return events;
}

std::vector<Event> readEventFile(const std::string& path, const TimeBase& base, const frame::Plugin& plugin) {
  std::ifstream file(path);
  if (!file) throw RenderError("cannot read the events file '" + path + "'");
  std::vector<Event> events = parseScript(file, path, base, plugin);
  if (file.bad()) throw RenderError("cannot read the events file '" + path + "'");
  return events;
}

void sortByTime(std::vector<Event>& events) {
  std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) { return a.sample < b.sample; });
}

bool isHandlessDrag(const Event& event, bool& handDown) {
  if (event.kind == Event::Kind::kHandDown) handDown = true;
  if (event.kind == Event::Kind::kHandUp) handDown = false;
  return event.kind == Event::Kind::kDrag && !handDown;
}

void checkHandMoves(const std::vector<Event>& events, const TimeBase& base) {
  bool handDown = false;
  for (const Event& event : events) {
    if (isHandlessDrag(event, handDown)) {
      char seconds[32];
      std::snprintf(seconds, sizeof seconds, "%.3f", static_cast<double>(event.sample) / base.sampleRateHz);
      throw RenderError("'drag' at " + std::string(seconds) + " s (sample " + std::to_string(event.sample) +
                        ") comes while the hand is up: the record is dragged only after 'hand down'");
    }
  }
}

}  // namespace reelstop::offline
