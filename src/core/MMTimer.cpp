#include "core/MMTimer.h"

#include "platform/Timer.h"

namespace {
// Read once per process, on the first timer built.
bool g_firstUse = true;
bool g_deviceAvailable = true;
}  // namespace

CMMTimer::CMMTimer() {
  if (g_firstUse) {
    g_firstUse = false;
    g_deviceAvailable = platform::TimersAvailable();
  }
  delay = 40;
  resolution = platform::kTimerMinimumPeriod;
  running = 0;
}

void CMMTimer::SetPeriod(uint32_t newDelay, uint32_t newResolution) {
  (void)newResolution;
  delay = newDelay;
}

int CMMTimer::Start(Callback callback) {
  if (running || !g_deviceAvailable || !platform::TimersAvailable() || !callback) return 0;
  uint32_t id = platform::StartTimer(delay, [callback](uint32_t timer) { callback(timer, 0, 0, 0, 0); });
  if (id == 0) return 0;
  timerId = id;
  running = 1;
  return 1;
}

int CMMTimer::Stop() {
  if (!running) return 0;
  running = 0;
  return platform::StopTimer(timerId) ? 0 : 1;
}
