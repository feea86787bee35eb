// The target scans of a battle frame for 100 creatures of two hostile armies facing each
// other on the largest forged map: each creature looks for a foe in contact, a shot in a
// clear line of fire and the nearest enemy it can reach; against as many bare fire traces
// (CLineWalker::TraceFire from each creature's eye to a foe's centre) in the same run. And a
// fight: 50 archers against 50 hand-to-hand fighters, every creature's whole frame (updates,
// planning, reactions, water, sighting), in frames per second.
#include <benchmark/benchmark.h>

#include <vector>

#include "core/Hooks.h"
#include "core/Random.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureHooks.h"
#include "creatures/CreatureOrders.h"
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

bool g_fightOnTheField = false;  // the fight's set-up replaced the armies

Armies& TheArmies() {
  static Armies armies;
  if (g_fightOnTheField) {
    g_fightOnTheField = false;
    armies = Armies();
  }
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

// The fight's armies: archers of the three missile types in three ranks, and fighters in
// three ranks facing them eight cells away; two armies that no player leads, so both react.
constexpr int kFightArmy = 50;
constexpr int kFightFrames = 500;  // half the creatures fall by then; the field is laid out again
const int kArcherTypes[] = {1, 2, 3};
const int kFighterTypes[] = {5, 16, 21};

bool LayOutFight() {
  g_fightOnTheField = true;
  if (!SetUpCreatureBench()) return false;
  g_battleRandom.Seed(CRandom::kDefaultSeed);  // every fight the same
  UseBenchArmy(1, false);
  UseBenchArmy(2, false);
  const int cx = g_map.width / 2, cy = g_map.height / 2;
  for (int n = 0; n < 2 * kFightArmy; ++n) {
    const bool archer = n % 2 == 0;
    const int rank = (n / 2) % 3, file = n / 6;
    const int type = archer ? kArcherTypes[file % 3] : kFighterTypes[file % 3];
    const int x = archer ? cx - 6 - rank : cx + 2 + rank, y = cy - 9 + file;
    if (PlaceBenchCreature(type, archer ? 1 : 2, x, y) < 0) return false;
  }
  g_creatureArray.ForEachInUse([](CCreature& c) {
    for (int a = 0; a < kSightingArmyCount; ++a) c.sightingCounters[a] = kSightingFull;
  });
  return g_creatureArray.highWater == 2 * kFightArmy;
}

// The battle's frame counter, on which shots and blows wait.
struct FightClock : ICreatureBattle {
  int FrameCounter() override { return frame; }
  int frame = 0;
};

// A creature not attacking a live foe is sent at the nearest one, as a player would send it.
void SendIdleAtNearestFoe() {
  g_creatureArray.ForEachInUse([](CCreature& c) {
    if (!c.IsAlive()) return;
    const CCreature* target = g_creatureArray.InUse(c.target);
    if (c.order == ORDER_ATTACK_CREATURE && target && target->IsAlive()) return;
    int nearest = -1, best = 0;
    g_creatureArray.ForEachInUse([&](CCreature& foe) {
      if (!foe.IsAlive() || foe.army == c.army) return;
      const int d = MapWrappedDistance(c.cellX, c.cellY, c.level, foe.cellX, foe.cellY, foe.level);
      if (nearest < 0 || d < best) nearest = foe.index, best = d;
    });
    if (nearest >= 0) c.AttackCreature(nearest);
  });
}

void BM_Targets_Fight50ArchersAgainst50(benchmark::State& state) {
  FightClock clock;
  HookScope<ICreatureBattle> installed(g_creatureBattle, clock);
  int frame = 0, alive = 0, layouts = 0;
  for (auto _ : state) {
    if (frame % kFightFrames == 0) {
      state.PauseTiming();
      const bool laidOut = LayOutFight();
      state.ResumeTiming();
      if (!laidOut) {
        state.SkipWithError("the armies could not be placed");
        break;
      }
      ++layouts;
    }
    ++frame;
    ++clock.frame;
    if (frame % 10 == 1) SendIdleAtNearestFoe();
    g_creatureArray.ForEachInUse([](CCreature& c) { c.Update(); });
    g_creatureArray.ThinkAll();
    g_creatureArray.ApplyWater();
    g_creatureArray.UpdateVisibility();
    if (frame % kFightFrames == 0) {
      g_creatureArray.ForEachInUse([&alive](CCreature& c) { alive += c.IsAlive() ? 1 : 0; });
    }
  }
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  // How many of the 100 still stand after a fight's frames: the fight is fought.
  if (layouts > 0 && frame >= kFightFrames)
    state.counters["standing"] = static_cast<double>(alive) / static_cast<double>(frame / kFightFrames);
}

BENCHMARK(BM_Targets_Baseline_TraceFire)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Targets_AdjacentFoe)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Targets_RangedTarget)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Targets_ReactToEnemies)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Targets_ScansOfAFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Targets_Fight50ArchersAgainst50)->Unit(benchmark::kMicrosecond)->Iterations(3 * kFightFrames);

}  // namespace

VRASK_BENCH_MAIN()
