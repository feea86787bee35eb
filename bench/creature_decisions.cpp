// A creature's idle decision (DecideBehaviour) for 100 creatures of mixed types in two armies
// standing on the forged moorland, every one in sight of the others, against one plain walk
// over the same records per decision in the same run. Decisions per second are the items.
#include <benchmark/benchmark.h>

#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureMapHooks.h"
#include "creatures/CreatureType.h"
#include "creatures/Mapelem.h"
#include "creatures/SpellDefinition.h"
#include "support/BenchMap.h"
#include "support/RatioMain.h"

namespace {

constexpr int kCreatures = 100;
// Walkers, fliers and a troll; no wizards.
constexpr int kTypes[] = {5, 7, 11, 14, 4, 6, 21, 16};

struct Field {
  Field() {
    BuildBenchMap();
    InstallCreatures();  // the route searches ask the creatures their steps
    LoadForgedOptions();
    LoadSpells("cfg/spells.cfg", g_spellDefs);
    ReadCreatureConfig("cfg/creature.cfg", "cfg/hth.cfg", g_creatureTypes);
    g_armyTable.ResetAll();
    for (int army = 0; army < 2; ++army) {
      CArmy& record = g_armyTable.armies[army];
      record.inUse = 1;
      record.SetRelationToAll(0);
    }
    const int cx = g_map.width / 2, cy = g_map.height / 2;
    for (int i = 0; i < kCreatures; ++i) {
      const int army = i % 2;
      const int x = cx - 10 + (i / 2) % 10 * 2 + army, y = cy - 10 + (i / 2) / 10 * 2 + army * 6;
      int level = g_map.levels - 1;
      while (level > 0 && g_map.CellAt(x, y, level).terrain == 0) --level;
      CCreature* c = g_creatureArray.FindFree();
      if (!c) break;
      c->Reset(c->index);
      c->SetPosition(x, y, level + 1, kTypes[i % 8]);
      c->InitFromType(kTypes[i % 8], army);
    }
    g_creatureArray.ForEachInUse([](CCreature& c) {
      for (int a = 0; a < kSightingArmyCount; ++a) c.sightingCounters[a] = kSightingFull;
    });
  }
};

Field& TheField() {
  static Field field;
  return field;
}

// The records walked once, as a finder walks them, with the least work a candidate takes.
void BM_Baseline_PlainWalk(benchmark::State& state) {
  TheField();
  for (auto _ : state) {
    int alive = 0;
    g_creatureArray.ForEachInUse([&](CCreature& c) { alive += c.IsAlive(); });
    benchmark::DoNotOptimize(alive);
  }
  state.SetItemsProcessed(state.iterations());
}

// One decision per iteration, creature after creature, each deciding from WAIT at its post.
void BM_DecideBehaviour(benchmark::State& state) {
  TheField();
  int slot = 0;
  for (auto _ : state) {
    CCreature* c = g_creatureArray.InUse(slot);
    slot = (slot + 1) % kCreatures;
    if (!c) continue;
    c->order = ORDER_WAIT;
    c->pendingOrder = ORDER_NONE;
    c->behaviourSubState = 0;
    benchmark::DoNotOptimize(c->DecideBehaviour());
  }
  state.SetItemsProcessed(state.iterations());
}

BENCHMARK(BM_Baseline_PlainWalk);
BENCHMARK(BM_DecideBehaviour);

}  // namespace

VRASK_BENCH_MAIN()
