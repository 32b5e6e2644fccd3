// ControlPorts: the "copy only what moved" rule, compared as 32-bit floats like the ports.
#include "control_ports.h"

#include <limits>

namespace reelstop::lv2 {
namespace {
constexpr float kNone = std::numeric_limits<float>::quiet_NaN();  // equal to nothing
constexpr auto kRelaxed = std::memory_order_relaxed;
}  // namespace

ControlPorts::ControlPorts(int paramCount)
    : mPorts(static_cast<size_t>(paramCount), nullptr),
      mLast(new std::atomic<float>[static_cast<size_t>(paramCount)]),
      mBeforeRestore(new std::atomic<float>[static_cast<size_t>(paramCount)]) {}

void ControlPorts::start(const frame::Plugin& plugin) {
  for (size_t i = 0; i < mPorts.size(); ++i) {
    mLast[i].store(static_cast<float>(plugin.GetParam(static_cast<int>(i))->Value()), kRelaxed);
    mBeforeRestore[i].store(kNone, kRelaxed);
  }
}

void ControlPorts::pull(frame::Plugin& plugin) {
  for (size_t i = 0; i < mPorts.size(); ++i) {
    if (mPorts[i] == nullptr) continue;
    const float value = *mPorts[i];
    const float last = mLast[i].load(kRelaxed);
    if (value != last) {
      if (value != mBeforeRestore[i].load(kRelaxed)) plugin.GetParam(static_cast<int>(i))->Set(value);
      mLast[i].store(value, kRelaxed);
    }
    mBeforeRestore[i].store(kNone, kRelaxed);
  }
}

bool ControlPorts::takeHostValue(int paramIdx, float value) {
  const auto i = static_cast<size_t>(paramIdx);
  if (value == mLast[i].load(kRelaxed) || value == mBeforeRestore[i].load(kRelaxed)) return false;
  mLast[i].store(value, kRelaxed);
  return true;
}

void ControlPorts::restored(const frame::Plugin& plugin) {
  for (size_t i = 0; i < mPorts.size(); ++i) {
    mBeforeRestore[i].store(mLast[i].load(kRelaxed), kRelaxed);
    mLast[i].store(static_cast<float>(plugin.GetParam(static_cast<int>(i))->Value()), kRelaxed);
  }
}

}  // namespace reelstop::lv2
