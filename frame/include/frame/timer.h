// Timer: a callback every so many milliseconds on the main thread, driven by the clock of the
// wrapper that built the plug-in. Main thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace frame {

class TimerClock;

class Timer {
 public:
  using Callback = std::function<void(Timer&)>;

  // The timer runs on the clock the current thread's wrapper installed (TimerClock::Scope);
  // without one it never fires.
  static std::unique_ptr<Timer> Create(Callback callback, uint32_t periodMs);

  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  void Stop();
  uint32_t GetPeriodMs() const { return mPeriodMs; }

 private:
  friend class TimerClock;
  friend class ManualTimerClock;
  Timer(Callback callback, uint32_t periodMs, TimerClock* clock);

  Callback mCallback;
  uint32_t mPeriodMs;
  TimerClock* mClock;
  double mDueMs = 0.0;
};

class TimerClock {
 public:
  virtual ~TimerClock() = default;

  // Installs a clock for the timers created on this thread while the scope lives.
  class Scope {
   public:
    explicit Scope(TimerClock& clock);
    ~Scope();
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

   private:
    TimerClock* mPrevious;
  };

 protected:
  friend class Timer;
  virtual void Add(Timer& timer) = 0;
  virtual void Remove(Timer& timer) = 0;
  static void Fire(Timer& timer);
};

// A clock that moves only when told to: the headless and offline hosts tick their timers by the
// audio they have rendered, so every run is repeatable.
class ManualTimerClock : public TimerClock {
 public:
  // Moves the clock on and fires every timer that falls due, in time order, under the main lock.
  void Advance(double ms);
  double NowMs() const { return mNowMs; }

 protected:
  void Add(Timer& timer) override;
  void Remove(Timer& timer) override;

 private:
  std::vector<Timer*> mTimers;
  double mNowMs = 0.0;
};

}  // namespace frame
