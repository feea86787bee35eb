// The pooled allocator against the C library's malloc and free, replaying the same seeded
// series of requests in the steady state of a running game: a few thousand blocks alive,
// each request replacing one of them at random. Most blocks are small (objects, list and map
// nodes, particles), some medium (strings, vectors), a few large (buffers).

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

#include "core/Allocator.h"
#include "core/Random.h"
#include "support/RatioMain.h"

namespace {

constexpr uint32_t kSlots = 4096;  // blocks alive at once, at most
constexpr size_t kRequests = 200000;

struct Request {
  uint32_t slot;
  uint32_t size;  // 0: free the slot's block
};

uint32_t RandomSize(CRandom& random) {
  uint32_t kind = random.Next() % 1000;
  if (kind < 850) return 8 + random.Next() % 120 + (random.Next() % 4 == 0 ? random.Next() % 128 : 0);
  if (kind < 990) return 257 + random.Next() % 3840;
  return 4097 + random.Next() % 60000;
}

struct Series {
  std::vector<Request> fill;   // the blocks alive when the steady state starts
  std::vector<Request> steps;  // requests that end with the same slots in use as they began
};

Series MakeSeries() {
  CRandom random(4242);
  Series series;
  std::vector<bool> used(kSlots, false);
  for (uint32_t slot = 0; slot < kSlots; ++slot)
    if (random.Next() % 2) {
      series.fill.push_back({slot, RandomSize(random)});
      used[slot] = true;
    }
  const std::vector<bool> start = used;
  while (series.steps.size() < kRequests) {
    uint32_t slot = random.Next() % kSlots;
    series.steps.push_back({slot, used[slot] ? 0 : RandomSize(random)});
    used[slot] = !used[slot];
  }
  for (uint32_t slot = 0; slot < kSlots; ++slot)
    if (used[slot] != start[slot]) series.steps.push_back({slot, used[slot] ? 0 : RandomSize(random)});
  return series;
}

const Series& TheSeries() {
  static const Series series = MakeSeries();
  return series;
}

// Every block is written at both ends, as its user would.
template <typename Alloc>
void Play(const std::vector<Request>& requests, std::vector<void*>& slots, Alloc alloc, void (*release)(void*)) {
  for (const Request& r : requests) {
    if (r.size == 0) {
      release(slots[r.slot]);
      slots[r.slot] = nullptr;
      continue;
    }
    auto* block = static_cast<char*>(alloc(r.size));
    block[0] = 1;
    block[r.size - 1] = 2;
    slots[r.slot] = block;
  }
}

template <typename Alloc>
void Replay(benchmark::State& state, Alloc alloc, void (*release)(void*)) {
  const Series& series = TheSeries();
  std::vector<void*> slots(kSlots, nullptr);
  Play(series.fill, slots, alloc, release);
  for (auto _ : state) {
    Play(series.steps, slots, alloc, release);
    benchmark::ClobberMemory();
  }
  for (void* block : slots)
    if (block) release(block);
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * series.steps.size()));
}

void BM_Baseline_CMallocFree(benchmark::State& state) {
  Replay(
      state, [](size_t size) { return std::malloc(size); }, [](void* block) { std::free(block); });
}

// The game's path: operator new and delete come to the default pool like this.
void BM_PoolNewFree(benchmark::State& state) {
  Replay(
      state, [](size_t size) { return PoolNewBlock(size, 0, nullptr); }, [](void* block) { PoolFreeBlock(block); });
}

void BM_PoolMallocFree(benchmark::State& state) {
  Replay(
      state, [](size_t size) { return PoolMalloc(size); }, [](void* block) { PoolFree(block); });
}

BENCHMARK(BM_Baseline_CMallocFree);
BENCHMARK(BM_PoolNewFree);
BENCHMARK(BM_PoolMallocFree);

}  // namespace

VRASK_BENCH_MAIN()
