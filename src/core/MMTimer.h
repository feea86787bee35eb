#pragma once
// CMMTimer: one periodic timer whose callback runs on a thread of its own (the software
// cursor, the battle clock, the spell box's countdown).

#include <cstdint>

class CMMTimer {
 public:
  using Callback = void (*)(uint32_t timerId, uint32_t message, uintptr_t user, uintptr_t reserved1,
                            uintptr_t reserved2);

  CMMTimer();
  ~CMMTimer() { Stop(); }
  CMMTimer(const CMMTimer&) = delete;
  CMMTimer& operator=(const CMMTimer&) = delete;

  // The period; the resolution stays the device's minimum whatever is given.
  void SetPeriod(uint32_t newDelay, uint32_t newResolution);
  // 0 when already running or the timer device is unavailable; 1 once started.
  int Start(Callback callback);
  // Waits for a callback in flight; none runs after it returns. Answers the timer service's
  // result: 0 once stopped (and 0 for a timer that was not running), nonzero on failure.
  int Stop();

  uint32_t delay = 40;
  uint32_t resolution = 1;
  int running = 0;
  uint32_t timerId = 0;
};
