// The demo's default timeline.
#include "default_script.h"

#include <cstdint>
#include <sstream>

namespace reelstop::offline {

const char* const kDefaultScript =
    R"(# A held note: with Auto on, the tape stops on the next beat; it spins up a bar later.
3.5b note-on 60
7.5b note-off 60
# A scratch: the hand holds the record, drags it back and forth, and lets go.
9b hand down
9.25b drag 0.3
9.5b drag 0.6
9.75b drag 0.2
10b drag -0.2
10.25b drag 0.2
10.5b drag 0.7
10.75b drag 0.3
11b drag 0
11.25b drag 0.4
11.5b hand up
# A catch-up: a timed stop by note, then the tape runs fast until it meets the live track.
12.5b set Auto=off
12.5b set Ramp=Manual
12.5b set Start Mode=Catch up
13b note-on 60
14.5b note-off 60
)";

// The demo plays whatever part of the song --start and --seconds choose: events before or after
// it are left out, and so are the drags of a hold that began before it.
std::vector<Event> defaultScriptEvents(const TimeBase& base, const frame::Plugin& plugin) {
  TimeBase lenient = base;
  lenient.outsideIsError = false;
  std::istringstream lines(kDefaultScript);
  std::vector<Event> events;
  bool handDown = false;
  for (const Event& event : parseScript(lines, "default script", lenient, plugin)) {
    const bool inside = event.sample >= 0 && event.sample < base.totalFrames;
    if (inside && !isHandlessDrag(event, handDown)) events.push_back(event);
  }
  return events;
}

}  // namespace reelstop::offline
