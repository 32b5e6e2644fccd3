// The application data folder: $XDG_DATA_HOME/Reelstop, else $HOME/.local/share/Reelstop. The
// development engine is watched there and the capture recorder writes there.
// Any thread: reads the environment and the file system only.
#pragma once

#include <string>

namespace reelstop {

std::string appDataDir();
// True for a regular file, not a folder.
bool fileExists(const std::string& path);
// The environment variable's value when it is set and not empty, else null.
const char* environmentValue(const char* name);

}  // namespace reelstop
