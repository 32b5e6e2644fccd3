// The editor of the plug-in this bundle carries: the one place the editor binary learns which
// it is. Under the plug-in's lock.
#pragma once

#include "frame/plugin.h"

namespace reelstop::lv2 {

// Gives the plug-in its editor (the functions its OpenWindow calls).
void installBundledEditor(frame::Plugin& plugin);

}  // namespace reelstop::lv2
