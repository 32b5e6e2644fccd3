// Locating the application data folder.
#include "data_folder.h"

#include <sys/stat.h>

#include <cstdlib>

namespace reelstop {

const char* environmentValue(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && value[0] != '\0' ? value : nullptr;
}

std::string appDataDir() {
  if (const char* dataHome = environmentValue("XDG_DATA_HOME")) return std::string(dataHome) + "/Reelstop";
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr ? home : "") + "/.local/share/Reelstop";
}

bool fileExists(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace reelstop
