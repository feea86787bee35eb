// The draw list's sort of a full list of 12000 entries, against std::sort of the same
// entries by their keys. Both refill their entries outside the timing, so only sorting is
// timed.
// The keys are those of a frame: many runs of equal keys (sprites of one screen row), laid
// out in the walk's order with the per-layer biases of creatures and effects mixed in.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "core/Random.h"
#include "map/DrawList.h"
#include "support/RatioMain.h"

namespace {

std::vector<int> FrameKeys() {
  std::vector<int> keys;
  CRandom random(12);
  for (int level = 0; level < 8 && keys.size() < CDrawList::kCapacity; ++level)
    for (int row = 0; row < 40 && keys.size() < CDrawList::kCapacity; ++row)
      for (int cell = 0; cell < 40 && keys.size() < CDrawList::kCapacity; ++cell) {
        const int key = 32 * (row + cell) + (82 * 16 * level) / 100;
        keys.push_back(key);
        if (random.Next() % 4 == 0) keys.push_back(key + 6 + static_cast<int>(random.Next() % 5));
      }
  keys.resize(CDrawList::kCapacity);
  return keys;
}

void BM_Baseline_StdSortEntries(benchmark::State& state) {
  const std::vector<int> keys = FrameKeys();
  std::vector<DrawListEntry> entries(keys.size());
  for (auto _ : state) {
    state.PauseTiming();
    for (size_t i = 0; i < keys.size(); ++i) {
      entries[i] = DrawListEntry{};
      entries[i].key = keys[i];
    }
    state.ResumeTiming();
    std::sort(entries.begin(), entries.end(),
              [](const DrawListEntry& a, const DrawListEntry& b) { return a.key < b.key; });
    benchmark::DoNotOptimize(entries.data());
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * keys.size()));
}

void BM_DrawListSort(benchmark::State& state) {
  const std::vector<int> keys = FrameKeys();
  BuildDepthTables(256);
  CDrawList list;
  for (auto _ : state) {
    state.PauseTiming();
    list.Reset();
    for (int key : keys) {
      DrawRequest request;
      request.x = key;
      list.Add(request);
    }
    state.ResumeTiming();
    list.Sort();
    benchmark::DoNotOptimize(list.Entries());
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * keys.size()));
}

BENCHMARK(BM_Baseline_StdSortEntries);
BENCHMARK(BM_DrawListSort);

}  // namespace

VRASK_BENCH_MAIN()
