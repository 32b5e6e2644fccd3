// Timers and the manual clock.
#include "frame/timer.h"

#include <algorithm>

#include "frame/main_lock.h"

namespace frame {

namespace {
thread_local TimerClock* currentClock = nullptr;
}

std::unique_ptr<Timer> Timer::Create(Callback callback, uint32_t periodMs) {
  return std::unique_ptr<Timer>(new Timer(std::move(callback), std::max<uint32_t>(periodMs, 1), currentClock));
}

Timer::Timer(Callback callback, uint32_t periodMs, TimerClock* clock)
    : mCallback(std::move(callback)), mPeriodMs(periodMs), mClock(clock) {
  if (mClock != nullptr) mClock->Add(*this);
}

Timer::~Timer() { Stop(); }

void Timer::Stop() {
  if (mClock != nullptr) mClock->Remove(*this);
  mClock = nullptr;
}

TimerClock::Scope::Scope(TimerClock& clock) : mPrevious(currentClock) { currentClock = &clock; }

TimerClock::Scope::~Scope() { currentClock = mPrevious; }

void TimerClock::Fire(Timer& timer) {
  std::lock_guard<std::recursive_mutex> main(MainLock());
  timer.mCallback(timer);
}

void ManualTimerClock::Add(Timer& timer) {
  timer.mDueMs = mNowMs + timer.mPeriodMs;
  mTimers.push_back(&timer);
}

void ManualTimerClock::Remove(Timer& timer) {
  mTimers.erase(std::remove(mTimers.begin(), mTimers.end(), &timer), mTimers.end());
}

void ManualTimerClock::Advance(double ms) {
  const double until = mNowMs + ms;
  for (;;) {
    // The earliest due timer next; a callback may stop timers, so search afresh each time.
    auto next = std::min_element(mTimers.begin(), mTimers.end(),
                                 [](const Timer* a, const Timer* b) { return a->mDueMs < b->mDueMs; });
    if (next == mTimers.end() || (*next)->mDueMs > until) break;
    Timer& timer = **next;
    mNowMs = timer.mDueMs;
    timer.mDueMs += timer.mPeriodMs;
    Fire(timer);
  }
  mNowMs = until;
}

}  // namespace frame
