#include "platform/Clock.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

namespace platform {
namespace {
std::mutex g_sourceMutex;
std::function<uint32_t()> g_source;
const auto g_start = std::chrono::steady_clock::now();
}  // namespace

uint32_t TickCount() {
  {
    std::lock_guard<std::mutex> lock(g_sourceMutex);
    if (g_source) return g_source();
  }
  auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - g_start);
  return static_cast<uint32_t>(elapsed.count());
}

uint32_t SystemTimeMs() {
  {
    std::lock_guard<std::mutex> lock(g_sourceMutex);
    if (g_source) return g_source();
  }
  auto now = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch());
  return static_cast<uint32_t>(now.count());
}

uint64_t MonotonicMicroseconds() {
  auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - g_start);
  return static_cast<uint64_t>(elapsed.count());
}

void SleepMs(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

void WaitTicks(uint32_t since, uint32_t period) {
  // Woken this long before the deadline, the thread watches the clock for the rest: a sleep
  // may overrun by a little, the watch by nothing.
  constexpr auto kWatched = std::chrono::microseconds(500);
  bool installed;
  {
    std::lock_guard<std::mutex> lock(g_sourceMutex);
    installed = static_cast<bool>(g_source);
  }
  for (;;) {
    const uint32_t waited = TickCount() - since;
    if (waited >= period) return;
    if (installed) continue;
    // The tick count reaches the deadline when the whole milliseconds since the start grow
    // by what is left.
    const auto now = std::chrono::steady_clock::now();
    const auto wholeMs = std::chrono::duration_cast<std::chrono::milliseconds>(now - g_start);
    const auto deadline = g_start + wholeMs + std::chrono::milliseconds(period - waited);
    if (deadline - now > kWatched) std::this_thread::sleep_until(deadline - kWatched);
  }
}

bool LockWithin(std::timed_mutex& mutex, uint32_t limitMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
  while (!mutex.try_lock()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::microseconds(500));
  }
  return true;
}

void SetTickSource(std::function<uint32_t()> source) {
  std::lock_guard<std::mutex> lock(g_sourceMutex);
  g_source = std::move(source);
}

ManualClock::ManualClock(uint32_t start) : now_(start) {
  SetTickSource([this]() -> uint32_t { return now_.load(); });
}

ManualClock::~ManualClock() { SetTickSource({}); }

}  // namespace platform
