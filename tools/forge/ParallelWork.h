#pragma once
// Runs independent jobs on a few threads. Each job writes only its own result, so the
// results (and the bytes the forge makes of them) do not depend on the threads' timing.

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace forge {

// The threads the forge's drawing uses: the machine's cores, at most four (builds share it).
inline int ForgeThreads() {
  const unsigned cores = std::thread::hardware_concurrency();
  return static_cast<int>(std::clamp(cores, 1u, 4u));
}

// Calls job(i) for every i in 0..count-1 on up to `threads` threads; rethrows the first
// exception a job threw, after every thread has finished.
template <class Job>
void ParallelFor(size_t count, int threads, Job&& job) {
  std::atomic<size_t> next{0};
  std::exception_ptr failure;
  std::mutex failureLock;
  auto work = [&] {
    for (size_t i = next++; i < count; i = next++) {
      try {
        job(i);
      } catch (...) {
        std::lock_guard<std::mutex> lock(failureLock);
        if (!failure) failure = std::current_exception();
      }
    }
  };
  std::vector<std::thread> pool;
  for (int t = 1; t < std::min<int>(threads, static_cast<int>(count)); ++t) pool.emplace_back(work);
  work();
  for (std::thread& t : pool) t.join();
  if (failure) std::rethrow_exception(failure);
}

}  // namespace forge
