#pragma once
// Periodic timers, each on a thread of its own: the callback runs every period until the
// timer is stopped. Stopping waits for a callback in flight, and no callback starts after
// StopTimer returns.

#include <cstdint>
#include <functional>

namespace platform {

// The shortest period the timers keep, in milliseconds.
constexpr uint32_t kTimerMinimumPeriod = 1;

// Starts a timer; answers its id (never 0), or 0 when the thread cannot start.
uint32_t StartTimer(uint32_t periodMs, std::function<void(uint32_t id)> callback);
// Stops it; false for an unknown id. Called from the timer's own callback it only stops
// further calls.
bool StopTimer(uint32_t id);
// Whether the timer service can be used (tests can switch it off).
bool TimersAvailable();
void SetTimersAvailable(bool available);

}  // namespace platform
