// The resource folder the wrapper named.
#include "frame/resources.h"

namespace frame {
namespace {

std::string& folder() {
  static std::string named;
  return named;
}

}  // namespace

void SetResourceFolder(const std::string& name) { folder() = name; }

const std::string& ResourceFolder() { return folder(); }

}  // namespace frame
