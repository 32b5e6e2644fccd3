// The one main lock of the process.
#include "frame/main_lock.h"

namespace frame {

std::recursive_mutex& MainLock() {
  static std::recursive_mutex lock;
  return lock;
}

}  // namespace frame
