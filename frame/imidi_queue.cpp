// IMidiQueue: a sorted vector with a moving front, compacted when it would grow.
#include <algorithm>

#include "frame/imidi.h"

namespace frame {

namespace {
constexpr size_t kPageBytes = 4096;
}

void IMidiQueue::Resize(int size) {
  const size_t wanted = static_cast<size_t>(std::max(size, 0)) * sizeof(IMidiMsg);
  const size_t pages = (wanted + kPageBytes - 1) / kPageBytes;
  Clear();
  mMessages.reserve(std::max<size_t>(pages, 1) * kPageBytes / sizeof(IMidiMsg));
}

void IMidiQueue::Add(const IMidiMsg& msg) {
  // Reuse the room of messages already taken before the vector would have to grow.
  if (mMessages.size() == mMessages.capacity() && mFront > 0) {
    mMessages.erase(mMessages.begin(), mMessages.begin() + static_cast<std::ptrdiff_t>(mFront));
    mFront = 0;
  }
  const auto after = std::upper_bound(mMessages.begin() + static_cast<std::ptrdiff_t>(mFront), mMessages.end(), msg,
                                      [](const IMidiMsg& a, const IMidiMsg& b) { return a.mOffset < b.mOffset; });
  mMessages.insert(after, msg);
}

void IMidiQueue::Remove() {
  if (Empty()) return;
  ++mFront;
  if (Empty()) Clear();
}

void IMidiQueue::Clear() {
  mMessages.clear();
  mFront = 0;
}

void IMidiQueue::Flush(int nFrames) {
  for (size_t i = mFront; i < mMessages.size(); ++i) mMessages[i].mOffset -= nFrames;
}

}  // namespace frame
