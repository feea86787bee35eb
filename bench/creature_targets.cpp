// The target scans of a battle frame for 100 creatures of two hostile armies facing each
// other on the largest forged map: each creature looks for a foe in contact, a shot in a
// clear line of fire and the nearest enemy it can reach; against as many bare fire traces
// (CLineWalker::TraceFire from each creature's eye to a foe's centre) in the same run.
#include <benchmark/benchmark.h>

#include <vector>

#include "creatures/CreatureArray.h"
#include "creatures/Mapelem.h"
#include "map/LineWalker.h"
#include "map/Map.h"
#include "support/BenchCreatures.h"
#include "support/RatioMain.h"

namespace {

constexpr int kCreatures = 100;
const int kTypes[] = {1, 2, 3, 5, 16, 21};

// Two armies of 50, two ranks each, four cells apart around the middle of the map; every
// creature seen by both armies.
struct Armies {
  Armies() {
    ready = SetUpCreatureBench();
    if (!ready) return;
    UseBenchArmy(0, false);
    UseBenchArmy(1, false);
    const int cx = g_map.width / 2, cy = g_map.height / 2;
    for (int n = 0; n < kCreatures; ++n) {
      const int army = n % 2, rank = (n / 2) % 2, file = n / 4;
      const int x = cx - 3 - rank + army * (6 + 2 * rank), y = cy - 12 + file;
      if (PlaceBenchCreature(kTypes[n % std::size(kTypes)], army, x, y) < 0) return;
    }
    g_creatureArray.ForEachInUse([](CCreature& c) {
      for (int a = 0; a < kSightingArmyCount; ++a) c.sightingCounters[a] = kSightingFull;
    });
    ready = g_creatureArray.highWater == kCreatures;
  }
  bool ready = false;
};

Armies& TheArmies() {
  static Armies armies;
  return armies;
}

void BM_Targets_Baseline_TraceFire(benchmark::State& state) {
  if (!TheArmies().ready) {
    state.SkipWithError("the armies could not be placed");
    return;
  }
  CLineWalker walker;
  for (auto _ : state) {
    int clear = 0;
    for (int slot = 0; slot < kCreatures; ++slot) {
      const CCreature& c = *g_creatureArray.At(slot);
      const CCreature& foe = *g_creatureArray.At(slot ^ 1);
      int ex, ey, ez, tx, ty, tz;
      c.EyePoint(ex, ey, ez);
      foe.CentrePoint(tx, ty, tz);
      clear += walker.TraceFire(ex, ey, ez, tx, ty, tz, 32 * 20, c.index, -1) == 0;
    }
    benchmark::DoNotOptimize(clear);
  }
  state.SetItemsProcessed(state.iterations() * kCreatures);
}

// One frame of one scan (or of all three) for every creature.
template <int kScans>
void RunScans(benchmark::State& state) {
  if (!TheArmies().ready) {
    state.SkipWithError("the armies could not be placed");
    return;
  }
  for (auto _ : state) {
    int found = 0;
    for (int slot = 0; slot < kCreatures; ++slot) {
      CCreature& c = *g_creatureArray.At(slot);
      if (kScans & 1) found += c.FindAdjacentFoe();
      if (kScans & 2) found += c.FindRangedTarget();
      if (kScans & 4) c.ReactToEnemies();
    }
    benchmark::DoNotOptimize(found);
  }
  state.SetItemsProcessed(state.iterations() * kCreatures);
}

void BM_Targets_AdjacentFoe(benchmark::State& state) { RunScans<1>(state); }
void BM_Targets_RangedTarget(benchmark::State& state) { RunScans<2>(state); }
void BM_Targets_ReactToEnemies(benchmark::State& state) { RunScans<4>(state); }
void BM_Targets_ScansOfAFrame(benchmark::State& state) { RunScans<7>(state); }

BENCHMARK(BM_Targets_Baseline_TraceFire)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Targets_AdjacentFoe)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Targets_RangedTarget)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Targets_ReactToEnemies)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Targets_ScansOfAFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

VRASK_BENCH_MAIN()
