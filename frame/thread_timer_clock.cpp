// ThreadTimerClock: the timer thread, sleeping until the earliest timer falls due.
#include "frame/thread_timer_clock.h"

#include <algorithm>

#include "frame/main_lock.h"

namespace frame {

ThreadTimerClock::ThreadTimerClock() : mThread([this] { runThread(); }) {}

ThreadTimerClock::~ThreadTimerClock() {
  {
    const std::lock_guard<std::mutex> lock(mMutex);
    mStopping = true;
  }
  mWake.notify_one();
  mThread.join();
}

void ThreadTimerClock::Add(Timer& timer) {
  {
    const std::lock_guard<std::mutex> lock(mMutex);
    mEntries.push_back({&timer, Clock::now() + std::chrono::milliseconds(timer.GetPeriodMs())});
  }
  mWake.notify_one();
}

void ThreadTimerClock::Remove(Timer& timer) {
  // The main lock first, always in this order: a tick in progress finishes before the timer goes.
  const std::lock_guard<std::recursive_mutex> main(MainLock());
  const std::lock_guard<std::mutex> lock(mMutex);
  mEntries.erase(std::remove_if(mEntries.begin(), mEntries.end(), [&](const Entry& e) { return e.timer == &timer; }),
                 mEntries.end());
}

std::vector<ThreadTimerClock::Entry>::iterator ThreadTimerClock::earliest() {
  return std::min_element(mEntries.begin(), mEntries.end(),
                          [](const Entry& a, const Entry& b) { return a.due < b.due; });
}

Timer* ThreadTimerClock::takeDue() {
  const std::lock_guard<std::mutex> lock(mMutex);
  const auto next = earliest();
  const Clock::time_point now = Clock::now();
  if (next == mEntries.end() || next->due > now) return nullptr;
  const auto period = std::chrono::milliseconds(next->timer->GetPeriodMs());
  next->due += period;
  // A clock held back (a long tick, a busy main lock) skips the ticks it missed instead of
  // firing them in a burst.
  if (next->due <= now) next->due = now + period;
  return next->timer;
}

void ThreadTimerClock::runThread() {
  std::unique_lock<std::mutex> lock(mMutex);
  while (!mStopping) {
    const auto next = earliest();
    if (next == mEntries.end()) {
      mWake.wait(lock);
    } else if (next->due > Clock::now()) {
      mWake.wait_until(lock, next->due);
    } else {
      // The timer may have been removed while this thread waited for the main lock: look again
      // under it.
      lock.unlock();
      {
        const std::lock_guard<std::recursive_mutex> main(MainLock());
        if (Timer* due = takeDue()) Fire(*due);
      }
      lock.lock();
    }
  }
}

}  // namespace frame
