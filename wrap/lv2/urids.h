// The URIDs the wrapper compares against, mapped once when an instance is created.
#pragma once

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/midi/midi.h>
#include <lv2/time/time.h>
#include <lv2/urid/urid.h>

#include <cstring>
#include <string>

namespace reelstop::lv2 {

// The body that follows an atom's header, copied out: host buffers promise no alignment.
template <typename T>
T body(const LV2_Atom& atom) {
  T value;
  std::memcpy(&value, &atom + 1, sizeof value);
  return value;
}

struct Urids {
  Urids(const LV2_URID_Map& map, const std::string& stateChunkUri)
      : atomBlank(map.map(map.handle, LV2_ATOM__Blank)),
        atomObject(map.map(map.handle, LV2_ATOM__Object)),
        atomChunk(map.map(map.handle, LV2_ATOM__Chunk)),
        atomSequence(map.map(map.handle, LV2_ATOM__Sequence)),
        atomInt(map.map(map.handle, LV2_ATOM__Int)),
        atomLong(map.map(map.handle, LV2_ATOM__Long)),
        atomFloat(map.map(map.handle, LV2_ATOM__Float)),
        atomDouble(map.map(map.handle, LV2_ATOM__Double)),
        midiEvent(map.map(map.handle, LV2_MIDI__MidiEvent)),
        timePosition(map.map(map.handle, LV2_TIME__Position)),
        timeSpeed(map.map(map.handle, LV2_TIME__speed)),
        timeBeatsPerMinute(map.map(map.handle, LV2_TIME__beatsPerMinute)),
        timeBeatsPerBar(map.map(map.handle, LV2_TIME__beatsPerBar)),
        timeBeatUnit(map.map(map.handle, LV2_TIME__beatUnit)),
        timeBar(map.map(map.handle, LV2_TIME__bar)),
        timeBarBeat(map.map(map.handle, LV2_TIME__barBeat)),
        maxBlockLength(map.map(map.handle, LV2_BUF_SIZE__maxBlockLength)),
        nominalBlockLength(map.map(map.handle, LV2_BUF_SIZE__nominalBlockLength)),
        stateChunk(map.map(map.handle, stateChunkUri.c_str())) {}

  // An atom holding one number of any of the four numeric types, as a double.
  bool number(const LV2_Atom& atom, double& value) const {
    if (atom.type == atomInt && atom.size >= sizeof(int32_t)) {
      value = body<int32_t>(atom);
    } else if (atom.type == atomLong && atom.size >= sizeof(int64_t)) {
      value = static_cast<double>(body<int64_t>(atom));
    } else if (atom.type == atomFloat && atom.size >= sizeof(float)) {
      value = body<float>(atom);
    } else if (atom.type == atomDouble && atom.size >= sizeof(double)) {
      value = body<double>(atom);
    } else {
      return false;
    }
    return true;
  }

  LV2_URID atomBlank;
  LV2_URID atomObject;
  LV2_URID atomChunk;
  LV2_URID atomSequence;
  LV2_URID atomInt;
  LV2_URID atomLong;
  LV2_URID atomFloat;
  LV2_URID atomDouble;
  LV2_URID midiEvent;
  LV2_URID timePosition;
  LV2_URID timeSpeed;
  LV2_URID timeBeatsPerMinute;
  LV2_URID timeBeatsPerBar;
  LV2_URID timeBeatUnit;
  LV2_URID timeBar;
  LV2_URID timeBarBeat;
  LV2_URID maxBlockLength;
  LV2_URID nominalBlockLength;
  LV2_URID stateChunk;
};

}  // namespace reelstop::lv2
