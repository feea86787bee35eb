#include "platform/Timer.h"

#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

namespace platform {
namespace {

struct Timer {
  std::mutex mutex;
  std::condition_variable wake;
  bool stopping = false;
  std::thread thread;
};

std::mutex g_timersMutex;
std::map<uint32_t, std::shared_ptr<Timer>> g_timers;
uint32_t g_nextId = 1;
bool g_available = true;

void Run(std::shared_ptr<Timer> timer, uint32_t id, uint32_t periodMs, std::function<void(uint32_t)> callback) {
  auto next = std::chrono::steady_clock::now();
  std::unique_lock<std::mutex> lock(timer->mutex);
  while (!timer->stopping) {
    next += std::chrono::milliseconds(periodMs);
    if (timer->wake.wait_until(lock, next, [&] { return timer->stopping; })) break;
    // The callback runs without the lock, so that it may stop its own timer.
    lock.unlock();
    callback(id);
    lock.lock();
  }
}

}  // namespace

uint32_t StartTimer(uint32_t periodMs, std::function<void(uint32_t)> callback) {
  if (!g_available || !callback) return 0;
  if (periodMs < kTimerMinimumPeriod) periodMs = kTimerMinimumPeriod;
  auto timer = std::make_shared<Timer>();
  std::lock_guard<std::mutex> guard(g_timersMutex);
  uint32_t id = g_nextId++;
  if (g_nextId == 0) g_nextId = 1;
  try {
    timer->thread = std::thread(Run, timer, id, periodMs, std::move(callback));
  } catch (const std::system_error&) {
    return 0;
  }
  g_timers[id] = timer;
  return id;
}

bool StopTimer(uint32_t id) {
  std::shared_ptr<Timer> timer;
  {
    std::lock_guard<std::mutex> guard(g_timersMutex);
    auto found = g_timers.find(id);
    if (found == g_timers.end()) return false;
    timer = found->second;
    g_timers.erase(found);
  }
  {
    std::lock_guard<std::mutex> lock(timer->mutex);
    timer->stopping = true;
  }
  timer->wake.notify_all();
  if (timer->thread.get_id() == std::this_thread::get_id())
    timer->thread.detach();
  else
    timer->thread.join();
  return true;
}

bool TimersAvailable() { return g_available; }
void SetTimersAvailable(bool available) { g_available = available; }

}  // namespace platform
