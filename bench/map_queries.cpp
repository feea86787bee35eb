// Cell and passability queries on the bench map, against a plain walk over an array of the
// same cells.
#include <benchmark/benchmark.h>

#include <vector>

#include "core/Random.h"
#include "map/Map.h"
#include "map/MapUnits.h"
#include "support/BenchMap.h"
#include "support/RatioMain.h"

namespace {

// The positions every benchmark visits, in the same order.
struct Probe {
  int x, y, z;
};
const std::vector<Probe>& Probes() {
  static std::vector<Probe> probes = [] {
    BuildBenchMap();
    std::vector<Probe> list;
    CRandom random(9);
    for (int i = 0; i < 4096; ++i)
      list.push_back({static_cast<int>(random.Next() % static_cast<uint32_t>(g_map.width)),
                      static_cast<int>(random.Next() % static_cast<uint32_t>(g_map.height)),
                      static_cast<int>(random.Next() % static_cast<uint32_t>(g_map.levels))});
    return list;
  }();
  return probes;
}

void BM_Baseline_ArrayWalk(benchmark::State& state) {
  BuildBenchMap();
  std::vector<uint16_t> terrain(static_cast<size_t>(g_map.cellCount));
  for (int i = 0; i < g_map.cellCount; ++i) terrain[static_cast<size_t>(i)] = g_map.cells[i].terrain;
  const auto& probes = Probes();
  for (auto _ : state) {
    unsigned sum = 0;
    for (const Probe& p : probes)
      sum += terrain[static_cast<size_t>(p.x + p.y * g_map.width + p.z * g_map.cellsPerLevel)];
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * probes.size()));
}

void BM_CellAtWrapped(benchmark::State& state) {
  BuildBenchMap();
  const auto& probes = Probes();
  for (auto _ : state) {
    unsigned sum = 0;
    for (const Probe& p : probes) sum += g_map.CellAtWrapped(p.x + g_map.width, p.y - g_map.height, p.z)->terrain;
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * probes.size()));
}

void BM_CanOccupy(benchmark::State& state) {
  BuildBenchMap();
  const auto& probes = Probes();
  CMoveQuery query = CMoveQuery::MinimalWalker();
  query.size = static_cast<int>(state.range(0));
  for (auto _ : state) {
    int count = 0;
    for (const Probe& p : probes) count += g_map.CanOccupy(p.x, p.y, p.z, query);
    benchmark::DoNotOptimize(count);
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * probes.size()));
}

void BM_CanStepBetween(benchmark::State& state) {
  BuildBenchMap();
  const auto& probes = Probes();
  CMoveQuery query = CMoveQuery::MinimalWalker();
  query.flying = static_cast<uint8_t>(state.range(0));
  for (auto _ : state) {
    int count = 0;
    for (size_t i = 0; i < probes.size(); ++i) {
      const Probe& p = probes[i];
      const GridStep& step = kNeighbours26[i % 26];
      int kind, support = -1;
      count += g_map.CanStepBetween(p.x, p.y, p.z, p.x + step.dx, p.y + step.dy, p.z + step.dz, query, &kind, &support);
    }
    benchmark::DoNotOptimize(count);
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * probes.size()));
}

BENCHMARK(BM_Baseline_ArrayWalk);
BENCHMARK(BM_CellAtWrapped);
BENCHMARK(BM_CanOccupy)->Arg(1)->Arg(2);
BENCHMARK(BM_CanStepBetween)->Arg(0)->Arg(1);

}  // namespace

VRASK_BENCH_MAIN()
