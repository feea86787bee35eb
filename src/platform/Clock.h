#pragma once
// The millisecond tick clock: milliseconds since the process started, wrapping at 2^32 as
// the game expects of its tick counts. Tests can drive it by hand.

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>

namespace platform {

uint32_t TickCount();

// Milliseconds of the wall clock, wrapping at 2^32: differs from run to run, so only the
// few places that want a fresh seed on every run read it (never the game logic). The tick
// count starts near 0 in every run and would give the same seed each time. A clock that a
// test installs drives this one as well.
uint32_t SystemTimeMs();

// Microseconds of the monotonic clock since the process started; never driven by a test's
// clock. For measuring short real intervals (the processor's counter rate), never for the game.
uint64_t MonotonicMicroseconds();

// Sleeps the calling thread.
void SleepMs(uint32_t ms);

// Waits until period milliseconds of the tick count have passed since the tick `since`: it
// sleeps to just short of that moment and watches the tick count for the rest, so the wait
// ends within a fraction of a millisecond of it and an idle program leaves the processor
// free. With a clock a test installed, reading it is what moves it: then it only watches.
void WaitTicks(uint32_t since, uint32_t period);

// Takes the mutex, trying again every half millisecond until the limit has passed on the
// real monotonic clock (a test's clock never stalls it); false when it could not. Polled, so
// that every lock is one the thread checkers see (a timed wait on the monotonic clock
// escapes them).
bool LockWithin(std::timed_mutex& mutex, uint32_t limitMs);

// Replaces the clock, the tick count and the system time alike (tests); an empty function
// goes back to the real ones.
void SetTickSource(std::function<uint32_t()> source);

// A clock that moves only when told to, for tests: install it, then Advance.
class ManualClock {
 public:
  explicit ManualClock(uint32_t start = 0);
  ~ManualClock();
  ManualClock(const ManualClock&) = delete;
  ManualClock& operator=(const ManualClock&) = delete;
  void Advance(uint32_t ms) { now_ += ms; }
  void Set(uint32_t ms) { now_ = ms; }
  uint32_t Now() const { return now_; }

 private:
  std::atomic<uint32_t> now_;
};

}  // namespace platform
