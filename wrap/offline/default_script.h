// The demo's default timeline: a held note, a scratch by hand and a catch-up.
// In beats of the demo's tempo. Main thread only.
#pragma once

#include <vector>

#include "timeline.h"

namespace reelstop::offline {

// The script as its event lines, for --help.
extern const char* const kDefaultScript;

// The script's events that fall inside the audio; a shorter demo plays the part that fits.
std::vector<Event> defaultScriptEvents(const TimeBase& base, const frame::Plugin& plugin);

}  // namespace reelstop::offline
