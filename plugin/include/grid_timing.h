// GridTiming: the tempo state read from the host's transport, and the lengths of stops and
// spin-ups in samples, free, tempo-synced or lengthened to land on the musical grid.
// Audio thread: the transport is read and every length computed there; no allocation.
#pragma once

#include "frame/time_info.h"

namespace reelstop {

class GridTiming {
 public:
  double sampleRate = 48000.0;
  double tempo = 120.0;  // beats per minute; keeps its last value while the host gives none
  double beatsPerBar = 4.0;
  bool hostTempo = false;    // the host gave a usable tempo for the current block
  bool songPlaying = false;  // the transport runs and reports a song position
  double blockPpq = 0.0;     // song position of the block's first sample, quarter notes
  double barStartPpq = 0.0;  // song position of the last bar line: the origin of every grid

  // Once at the start of every block. A stand-alone application's tempo is its own, not a host's.
  void readTransport(const frame::ITimeInfo& transport, bool standalone);

  // Song samples per turn of the record for the "Turn" value.
  double samplesPerTurn(int turn) const;

  // A free (sync 0, timeMs) or tempo-synced stop or spin-up length.
  double rampSamples(double timeMs, int sync) const;
  // The Snap grid in beats while the song plays; 0 otherwise.
  double reentryGridBeats(int snap) const;
  // An automatic stop starting offset samples into the block: one beat, or to a whole beat.
  double autoStopSamples(int offset, int snap) const;
  // A spin-up starting offset samples into the block, asked for length and at least minimum
  // samples, lengthened to end on the Snap grid.
  double startSamplesOnGrid(int offset, double length, double minimum, int snap) const;

  // The "Snap" grid in beats whether or not the song plays: 0 for "Free", a bar for "1 bar".
  double snapGridBeats(int snap) const;

  double samplesPerBeat() const { return 60.0 / tempo * sampleRate; }
  double beatsPerSample() const { return tempo / 60.0 / sampleRate; }

 private:
  double rampCapSamples() const { return 10.0 * sampleRate; }
};

}  // namespace reelstop
