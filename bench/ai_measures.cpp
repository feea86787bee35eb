// The computer player's situation measures and clustering: the 67 measures a group decision
// and an experience vector ask for, over two groups of 20 creatures, and the clustering of
// 100 remembered enemies; each against a plain walk over the same creature records (reading
// the fields the measures read) in the same run.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <vector>

#include "ai/AIGroupBuilder.h"
#include "ai/AIGroupNode.h"
#include "ai/AIMeasures.h"
#include "ai/AIPlayerMemory.h"
#include "creatures/CreatureAnims.h"
#include "creatures/CreatureArray.h"
#include "creatures/Mapelem.h"
#include "map/Map.h"
#include "map/MapUnits.h"
#include "support/BenchCreatures.h"
#include "support/RatioMain.h"

namespace {

constexpr int kGroupSize = 20;
constexpr int kSightings = 100;
const int kTypes[] = {1, 2, 3, 5, 16, 21};

// Two armies of 20 facing each other, seen by both; the first army's wizard among them.
struct Scene {
  Scene() : builder(nodes) {
    ready = SetUpCreatureBench();
    if (!ready) return;
    std::snprintf(g_wizardAnimFileName, sizeof g_wizardAnimFileName, "%s", g_wizardAnimFiles[0][1]);
    UseBenchArmy(0, false);
    UseBenchArmy(1, false);
    const int cx = g_map.width / 2, cy = g_map.height / 2;
    for (int n = 0; n < 2 * kGroupSize; ++n) {
      const int army = n % 2;
      const int type = n == 0 ? 0 : kTypes[n % std::size(kTypes)];
      const int slot = PlaceBenchCreature(type, army, cx - 4 + army * 8, cy - 10 + n / 2);
      if (slot < 0) return;
      if (n == 0) g_armyTable.armies[0].wizardCreature = slot;
    }
    g_creatureArray.ForEachInUse([](CCreature& c) {
      for (int a = 0; a < kSightingArmyCount; ++a) c.sightingCounters[a] = kSightingFull;
    });
    own = builder.BuildArmyGroup(0);
    enemies = builder.BuildArmyGroup(1);
    // 100 sightings of the second army, spread over the map, some old.
    for (int k = 0; k < kSightings; ++k) {
      CAIRememberedEnemy& seen = memory.enemies[k];
      seen.copy = *g_creatureArray.At(1 + 2 * (k % kGroupSize));
      seen.copy.cellX = (k * 7) % g_map.width;
      seen.copy.cellY = (k * 13) % g_map.height;
      seen.lastSeenTick = 100 - k % 5;
      seen.currentTick = 100;
    }
    ready = CountMembers(own) == kGroupSize && CountMembers(enemies) == kGroupSize;
  }
  std::vector<CAIGroupNode*> nodes;
  CAIGroupBuilder builder;
  CAIGroupNode* own = nullptr;
  CAIGroupNode* enemies = nullptr;
  CAIPlayerMemory memory;
  bool ready = false;
};

Scene& TheScene() {
  static Scene scene;
  return scene;
}

// The 67 ids: the own and enemy group measures a decision folds and the wizard's.
std::vector<int> MeasureIds() {
  std::vector<int> ids;
  for (int id = 1; id <= 36; ++id) ids.push_back(id);
  for (int id = 58; id <= 76; ++id) ids.push_back(id);
  for (int id = 112; id <= 123; ++id) ids.push_back(id);
  return ids;
}

// A plain pass over the records of both groups per measure, summing the fields a measure reads.
void BM_Measures_Baseline_FieldWalk(benchmark::State& state) {
  if (!TheScene().ready) return state.SkipWithError("the scene could not be set up");
  const size_t ids = MeasureIds().size();
  for (auto _ : state) {
    int64_t sum = 0;
    for (size_t m = 0; m < ids; ++m)
      g_creatureArray.ForEachInUse([&](const CCreature& c) {
        sum += c.health + c.strength.hthAll + (c.type ? c.type->MagicResist : 0) + c.manaStores[c.army & 7];
      });
    benchmark::DoNotOptimize(sum);
  }
}

void BM_Measures_SixtySevenOverTwoGroupsOfTwenty(benchmark::State& state) {
  Scene& scene = TheScene();
  if (!scene.ready) return state.SkipWithError("the scene could not be set up");
  const std::vector<int> ids = MeasureIds();
  std::vector<int32_t> out;
  for (auto _ : state) {
    ComputeGroupMeasures(scene.own, scene.enemies, 50, out, ids);
    benchmark::DoNotOptimize(out.data());
  }
}

void BM_Cluster_Baseline_SightingWalk(benchmark::State& state) {
  Scene& scene = TheScene();
  if (!scene.ready) return state.SkipWithError("the scene could not be set up");
  for (auto _ : state) {
    int64_t sum = 0;
    for (const auto& [key, seen] : scene.memory.enemies)
      for (const auto& [other, near] : scene.memory.enemies)
        sum += WrappedDistanceSq(seen.copy.cellX, seen.copy.cellY, 0, near.copy.cellX, near.copy.cellY, 0);
    benchmark::DoNotOptimize(sum);
  }
}

void BM_Cluster_HundredSightings(benchmark::State& state) {
  Scene& scene = TheScene();
  if (!scene.ready) return state.SkipWithError("the scene could not be set up");
  for (auto _ : state) {
    std::vector<CAIGroupNode*> nodes;
    CAIGroupBuilder builder(nodes);
    CAIGroupNode* clusters = builder.ClusterSightings(scene.memory, 0, 100, true);
    benchmark::DoNotOptimize(clusters);
    for (CAIGroupNode* node : nodes) delete node;
  }
}

BENCHMARK(BM_Measures_Baseline_FieldWalk)->Name("measures/Baseline_FieldWalk")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Measures_SixtySevenOverTwoGroupsOfTwenty)
    ->Name("measures/SixtySevenOverTwoGroupsOfTwenty")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Cluster_Baseline_SightingWalk)->Name("cluster/Baseline_SightingPairs")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Cluster_HundredSightings)->Name("cluster/HundredSightings")->Unit(benchmark::kMicrosecond);

}  // namespace

VRASK_BENCH_MAIN()
