// The --help text, with the demo's default timeline quoted from the script itself.
#include "usage.h"

#include "default_script.h"

namespace reelstop::offline {

void printUsage(std::FILE* out) {
  std::fputs(R"(Usage: reelstop-render [OPTIONS] [INPUT] OUTPUT

Runs the Reelstop plug-in over INPUT (any mono or stereo file libsndfile reads) or, without
INPUT, over a built-in demo groove, and writes OUTPUT: 32-bit float WAV unless the extension
names another format (.flac, .ogg, .aiff, ...). OUTPUT has INPUT's channels and rate, and is
written whole or not at all. The plug-in's 2 samples of latency are not compensated.

Host:
  --block N            host block size in frames (default 512; the last block may be shorter)
  --tempo BPM          the host's tempo (without it the host gives none)
  --meter N/D          time signature (default 4/4)
  --playing            the transport runs from the first sample
  --start BEATS        song position of the first sample in quarter notes, -1000000 to 1000000
                       (default 0; the demo's timeline keeps only the events from there on)

Demo signal (without INPUT):
  --rate HZ            sample rate (default 48000)
  --seconds S          length (default 8)
  The groove plays at --tempo (default 120 BPM); its host reports that tempo and a running
  transport.

Parameters:
  --set NAME=VALUE     before the first block, as host automation; NAME as --list-params shows
                       it, VALUE a number in the parameter's units or one of its texts
                       (--set "Stop Time=1200" --set Ramp="Bezier pitch" --set Auto=off)
  --list-params        print the parameters and exit
  --preset NAME        start from a factory preset (after --load-state, before --set); every
                       parameter it does not name is at its default
  --list-presets       print the factory presets and exit

Timeline:
  --event "TIME ACTION"  (repeatable)    --events FILE (one a line, # comments)
  TIME: 2.5s (seconds), 120000 (samples) or 6b (beats of song position at --tempo from --start)
  ACTION: note-on [NOTE [VELOCITY]]   note-off [NOTE]   cc CONTROLLER VALUE   (MIDI channel 1,
          at the exact sample; NOTE 60 and VELOCITY 100 by default)
          set NAME=VALUE   hand down   hand up   drag RADIANS   play   stop   tempo BPM
          (these from the start of the block holding TIME; drag turns the record by hand,
          only between hand down and hand up)

State and diagnostics:
  --load-state FILE    apply a saved state chunk before the first block (--set applies after it)
  --save-state FILE    write the state chunk after rendering
  --speed-csv FILE     one row per block: first sample, display speed, lag in samples, active,
                       platter phase in radians, engaged

Pictures (PNG):
  --snapshot FILE.png  the editor as it stands when the render ends, laid out on the instance
                       that played and run one frame after each of the last 60 blocks: the
                       record's rim, its ring of the last turn and the status (STOP when stopped)
  --page main|settings the page of the snapshot (default main, the record)
  --scale S            the snapshot's size, 0.75 to 2 (default 1: 420 x 480 pixels)
  --plot FILE.png      the speed over the render in seconds, with the stops and returns to
                       speed 1 marked and, when the host has a tempo, the beat grid

Errors print one line starting with "reelstop-render: " and exit with status 2; nothing is
written then. Interrupted (Ctrl-C, or killed with SIGTERM), it stops, removes what it had begun
to write and exits with status 130 (143 for SIGTERM).

Without INPUT and without --event or --events, the demo plays this timeline:
)",
             out);
  std::fputs(kDefaultScript, out);
}

}  // namespace reelstop::offline
