// The creature work of a battle frame (every creature's update, the scheduler's planning
// and slower decisions, the water and the sighting scan) with 100 creatures of mixed types
// in three allied armies walking to far places on the largest forged map, each sent on again
// when it arrives; against copying the 100 creature records once, in the same run. Reported:
// microseconds per frame and the route expansions a frame spends ("expansions"). The goal is
// under 0.5 ms a frame, so that a whole headless battle frame stays under 1 ms.
#include <benchmark/benchmark.h>

#include <vector>

#include "creatures/CreatureArray.h"
#include "creatures/Mapelem.h"
#include "map/Map.h"
#include "support/BenchCreatures.h"
#include "support/RatioMain.h"

namespace {

constexpr int kWalkers = 100;
constexpr int kSchedulerBudget = 80;  // route expansions the scheduler allows a frame
const int kTypes[] = {1, 2, 16, 21, 1, 3, 5, 6};

struct Walkers {
  Walkers() {
    ready = SetUpCreatureBench();
    if (!ready) return;
    for (int army = 0; army < 3; ++army) UseBenchArmy(army, true);
    for (int n = 0; n < kWalkers; ++n) {
      const int x = (n * 37) % g_map.width, y = (n * 53 + n / 10) % g_map.height;
      const int slot = PlaceBenchCreature(kTypes[n % std::size(kTypes)], n % 3, x, y);
      if (slot < 0) continue;
      const CCreature& c = *g_creatureArray.At(slot);
      homes.push_back({slot, c.cellX, c.cellY, c.level});
      const int gx = (x + g_map.width / 2) % g_map.width, gy = (y + g_map.height / 3) % g_map.height;
      int gz = StandingLevel(c.typeNumber, gx, gy);
      goals.push_back({slot, gx, gy, gz < 0 ? c.level : gz});
    }
    ready = homes.size() == kWalkers;
  }
  // A creature that stands sets out again: to its goal from home, home from its goal.
  void SendOn() {
    for (size_t i = 0; i < homes.size(); ++i) {
      CCreature& c = *g_creatureArray.At(homes[i].slot);
      if (!c.inUse || c.order == ORDER_WALK_TO_POS) continue;
      const bool atHome = std::abs(WrapDeltaX(c.cellX, homes[i].x)) + std::abs(WrapDeltaY(c.cellY, homes[i].y)) <
                          std::abs(WrapDeltaX(c.cellX, goals[i].x)) + std::abs(WrapDeltaY(c.cellY, goals[i].y));
      const Place& to = atHome ? goals[i] : homes[i];
      c.WalkTo(to.x, to.y, to.z);
    }
  }
  struct Place {
    int slot, x, y, z;
  };
  std::vector<Place> homes, goals;
  bool ready = false;
};

Walkers& TheWalkers() {
  static Walkers walkers;
  return walkers;
}

void BM_Walk_Baseline_CopyRecords(benchmark::State& state) {
  if (!TheWalkers().ready) {
    state.SkipWithError("the creatures could not be placed");
    return;
  }
  static std::vector<CCreature> copy(kWalkers);
  for (auto _ : state) {
    for (int slot = 0; slot < kWalkers; ++slot) copy[slot] = *g_creatureArray.At(slot);
    benchmark::DoNotOptimize(copy.data());
  }
}

void BM_Walk_CreatureFrame(benchmark::State& state) {
  Walkers& walkers = TheWalkers();
  if (!walkers.ready) {
    state.SkipWithError("the creatures could not be placed");
    return;
  }
  int64_t expansions = 0;
  for (auto _ : state) {
    walkers.SendOn();
    g_creatureArray.ForEachInUse([](CCreature& c) { c.Update(); });
    g_creatureArray.ThinkAll();
    expansions += kSchedulerBudget - g_creatureArray.frameBudget;
    g_creatureArray.ApplyWater();
    g_creatureArray.UpdateVisibility();
  }
  state.counters["expansions"] =
      benchmark::Counter(static_cast<double>(expansions) / static_cast<double>(state.iterations()));
}

BENCHMARK(BM_Walk_Baseline_CopyRecords)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Walk_CreatureFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

VRASK_BENCH_MAIN()
