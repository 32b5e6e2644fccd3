// The demo's default timeline.
#include "default_script.h"

#include <cstdint>
#include <limits>
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

std::vector<Event> defaultScriptEvents(const TimeBase& base, const iplug::Plugin& plugin) {
  TimeBase unbounded = base;
  unbounded.totalFrames = std::numeric_limits<int64_t>::max();
  std::istringstream lines(kDefaultScript);
  std::vector<Event> events;
  for (const Event& event : parseScript(lines, "default script", unbounded, plugin)) {
    if (event.sample < base.totalFrames) events.push_back(event);
  }
  return events;
}

}  // namespace reelstop::offline
