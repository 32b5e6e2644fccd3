// The one main lock of the process.
#include "iplug/main_lock.h"

namespace iplug {

std::recursive_mutex& MainLock() {
  static std::recursive_mutex lock;
  return lock;
}

}  // namespace iplug
