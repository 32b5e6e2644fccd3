// HostCalls: the queue and the host's functions.
#include "host_calls.h"

#include <utility>

namespace reelstop::lv2 {

std::vector<HostCalls::Call> HostCalls::take() { return std::exchange(mPending, {}); }

void HostCalls::tell(const std::vector<Call>& calls) const {
  for (const Call& call : calls) {
    switch (call.kind) {
      case Call::Kind::kWrite:
        if (mWrite != nullptr) mWrite(mController, call.port, sizeof call.value, 0, &call.value);
        break;
      case Call::Kind::kTouch:
        if (mTouch != nullptr) mTouch->touch(mTouch->handle, call.port, call.grabbed);
        break;
      case Call::Kind::kResize:
        if (mResize != nullptr) mResize->ui_resize(mResize->handle, call.width, call.height);
        break;
    }
  }
}

}  // namespace reelstop::lv2
