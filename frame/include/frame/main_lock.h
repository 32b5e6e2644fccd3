// The frame's main lock: "the main thread" is whichever thread holds it. Timers, the editor and
// resets take it; the audio thread never does.
#pragma once

#include <mutex>

namespace frame {

std::recursive_mutex& MainLock();

}  // namespace frame
