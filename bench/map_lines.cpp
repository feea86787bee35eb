// Lines of sight and free-place searches on the bench map, against a baseline loop that
// visits the same number of cells along the same lines in a plain array.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

#include "core/Random.h"
#include "map/LineWalker.h"
#include "map/Map.h"
#include "map/MapUnits.h"
#include "support/BenchMap.h"
#include "support/RatioMain.h"

namespace {

struct Line {
  int x0, y0, z0, x1, y1, z1;  // map units
};

// Lines between points above the ground, up to 20 tiles long.
const std::vector<Line>& Lines() {
  static std::vector<Line> lines = [] {
    std::vector<Line> list;
    CRandom random(21);
    for (int i = 0; i < 512; ++i) {
      int x = static_cast<int>(random.Next() % 3200), y = static_cast<int>(random.Next() % 3200);
      int dx = static_cast<int>(random.Next() % 1281) - 640, dy = static_cast<int>(random.Next() % 1281) - 640;
      list.push_back(
          {x, y, 60 + static_cast<int>(random.Next() % 60), x + dx, y + dy, 60 + static_cast<int>(random.Next() % 60)});
    }
    return list;
  }();
  return lines;
}

// The same lines walked at the sight grain over a plain array of terrain words.
void BM_Baseline_ArrayLineWalk(benchmark::State& state) {
  BuildBenchMap();
  std::vector<uint16_t> terrain(static_cast<size_t>(g_map.cellCount));
  for (int i = 0; i < g_map.cellCount; ++i) terrain[static_cast<size_t>(i)] = g_map.cells[i].terrain;
  for (auto _ : state) {
    unsigned sum = 0;
    for (const Line& line : Lines()) {
      int x0 = line.x0 / 4, y0 = line.y0 / 4, x1 = line.x1 / 4, y1 = line.y1 / 4;
      int steps = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
      for (int s = 1; s <= steps; ++s) {
        int x = ((x0 + (x1 - x0) * s / steps) % 800 + 800) % 800, y = ((y0 + (y1 - y0) * s / steps) % 800 + 800) % 800;
        sum += terrain[static_cast<size_t>(x / 8 + (y / 8) * g_map.width + 6 * g_map.cellsPerLevel)];
      }
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * Lines().size()));
}

void BM_TraceSight(benchmark::State& state) {
  BuildBenchMap();
  CLineWalker walker;
  for (auto _ : state) {
    int seen = 0;
    for (const Line& line : Lines())
      seen += walker.TraceSight(line.x0, line.y0, line.z0, line.x1, line.y1, line.z1, 100000, 0);
    benchmark::DoNotOptimize(seen);
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * Lines().size()));
}

void BM_FindFreePositionNear(benchmark::State& state) {
  BuildBenchMap();
  CMoveQuery query = CMoveQuery::MinimalWalker();
  query.size = static_cast<int>(state.range(0));
  for (auto _ : state) {
    int found = 0;
    for (const Line& line : Lines()) {
      int x = line.x0 / 32, y = line.y0 / 32, level = 3;
      found += g_map.FindFreePositionNear(1, query, x, y, level);
    }
    benchmark::DoNotOptimize(found);
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * Lines().size()));
}

BENCHMARK(BM_Baseline_ArrayLineWalk);
BENCHMARK(BM_TraceSight);
BENCHMARK(BM_FindFreePositionNear)->Arg(1)->Arg(2);

}  // namespace

VRASK_BENCH_MAIN()
