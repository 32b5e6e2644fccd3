// The resource folder the wrapper named.
#include "frame/resources.h"

#include <unistd.h>

namespace frame {
namespace {

std::string& folder() {
  static std::string named;
  return named;
}

}  // namespace

void SetResourceFolder(const std::string& name) { folder() = name; }

const std::string& ResourceFolder() { return folder(); }

std::string FolderBesideProgram(const std::string& name) {
  char path[4096];
  const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return name;
  const std::string program(path, static_cast<size_t>(length));
  return program.substr(0, program.rfind('/') + 1) + name;
}

}  // namespace frame
