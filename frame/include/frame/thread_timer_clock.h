// ThreadTimerClock: a timer clock with a thread of its own, for a plug-in inside a real host,
// whose main thread the frame never sees. The thread fires due timers under the main lock.
// Threads: Add on any thread; Remove on any thread, and it takes the main lock, so a timer is
// never destroyed while it fires; construct and destroy on the wrapper's thread, never while
// holding the main lock (the destructor joins a thread that may be waiting for it).
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "frame/timer.h"

namespace frame {

class ThreadTimerClock : public TimerClock {
 public:
  ThreadTimerClock();
  ~ThreadTimerClock() override;
  ThreadTimerClock(const ThreadTimerClock&) = delete;
  ThreadTimerClock& operator=(const ThreadTimerClock&) = delete;

 protected:
  void Add(Timer& timer) override;
  void Remove(Timer& timer) override;

 private:
  using Clock = std::chrono::steady_clock;
  struct Entry {
    Timer* timer;
    Clock::time_point due;
  };

  void runThread();
  // The entry that falls due first, or the end; with mMutex held.
  std::vector<Entry>::iterator earliest();
  // The earliest timer that is due now, its next due time moved on; null when none is due.
  Timer* takeDue();

  std::mutex mMutex;  // guards mEntries and mStopping; never held while taking the main lock
  std::condition_variable mWake;
  std::vector<Entry> mEntries;
  bool mStopping = false;
  std::thread mThread;  // last, so it starts once everything it reads exists
};

}  // namespace frame
