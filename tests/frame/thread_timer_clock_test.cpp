// ThreadTimerClock: timers tick on the clock's own thread under the main lock, wait while
// another thread holds it, stop for good when stopped, and the clock joins its thread.
#include "frame/thread_timer_clock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

#include "frame/main_lock.h"

namespace frame {
namespace {

using namespace std::chrono_literals;

TEST(ThreadTimerClock, TicksOnItsOwnThreadUnderTheMainLockUntilStopped) {
  std::atomic<int> ticks{0};
  std::atomic<bool> elsewhere{true};
  std::atomic<bool> lockedOut{false};  // set while this thread holds the main lock
  std::atomic<bool> tickedWhileLockedOut{false};
  const std::thread::id testThread = std::this_thread::get_id();
  {
    ThreadTimerClock clock;
    std::unique_ptr<Timer> timer;
    {
      const TimerClock::Scope scope(clock);
      timer = Timer::Create(
          [&](Timer&) {
            elsewhere = elsewhere && std::this_thread::get_id() != testThread;
            tickedWhileLockedOut = tickedWhileLockedOut || lockedOut;
            ++ticks;
          },
          10);
    }
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (ticks < 3 && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(1ms);
    EXPECT_GE(ticks, 3) << "a 10 ms timer within 5 s";
    {
      const std::lock_guard<std::recursive_mutex> main(MainLock());
      lockedOut = true;
      std::this_thread::sleep_for(50ms);
      lockedOut = false;
    }
    timer->Stop();
    const int stoppedAt = ticks;
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(ticks, stoppedAt) << "no tick after Stop";
  }  // the clock joins its thread here
  EXPECT_TRUE(elsewhere);
  EXPECT_FALSE(tickedWhileLockedOut);
}

}  // namespace
}  // namespace frame
