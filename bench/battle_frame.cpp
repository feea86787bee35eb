// Battle frames with drawing skipped (the frame protocol, the creatures' scheduler, the
// world and the visibility), on the forged moorland with 100 creatures of two armies that
// close and fight hand to hand, against the map view's draw of one frame alone in the same
// run. Frames per second are reported as the counter "fps" (the goal is 1000), with the
// blows struck and the creatures' moves of the run.
//
// The group "ai" runs the same battle with both armies left to the computer players: the frame
// with both controllers' Update against the frame without them.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>

#include "ai/AIController.h"
#include "battle/Battle.h"
#include "battle/BattleArmies.h"
#include "battle/BattleSystems.h"
#include "battle/BattleUnattendedEnd.h"
#include "core/GameSettings.h"
#include "core/Main.h"
#include "core/Options.h"
#include "core/Preferences.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureType.h"
#include "graphics/BattleFacing.h"
#include "graphics/Display.h"
#include "graphics/Surface.h"
#include "map/Map.h"
#include "map/MapView.h"
#include "map/MoveQuery.h"
#include "map/TerrainType.h"
#include "net/NetBattle.h"
#include "platform/Window.h"
#include "support/BenchData.h"
#include "support/GamePrinters.h"
#include "support/BenchBattle.h"
#include "support/BenchWindow.h"
#include "support/RatioMain.h"
#include "ui/Screen.h"

namespace {

constexpr int kFieldWidth = 10, kFieldDepth = 14;

// The level a creature stands at in a column (the cell of its highest terrain); -1 on water.
int StandingLevel(int x, int y) {
  int level = g_map.levels - 1;
  while (level > 0 && g_map.CellAt(x, y, level).terrain == 0) --level;
  return TerrainOf(g_map.CellAt(x, y, level)).IsLiquid() ? -1 : level;
}

// The first stretch of level, dry ground big enough for both armies, scanning from the
// middle of the map; false when the map has none.
bool FindField(int& x0, int& y0) {
  for (int start = 0; start < g_map.width * g_map.height; ++start) {
    const int x = (g_map.width / 2 + start % g_map.width) % g_map.width;
    const int y = (g_map.height / 2 + start / g_map.width) % g_map.height;
    const int level = StandingLevel(x, y);
    bool flat = level > 0;
    for (int i = 0; i < kFieldWidth * kFieldDepth && flat; ++i)
      flat = StandingLevel((x + i % kFieldWidth) % g_map.width, (y + i / kFieldWidth) % g_map.height) == level;
    if (!flat) continue;
    x0 = x;
    y0 = y;
    return true;
  }
  return false;
}

// Half of the creatures are the player's heroes (army 1), half the enemy's skeletons (army 2),
// in two blocks of up to five rows, five cells apart on a level field: they close and fight
// hand to hand. The creatures of the deployment leave first, so that all find a record.
void PlaceArmies(int creatures = 100) {
  IBattleSystems& systems = BattleSystems();
  systems.ReleaseAllCreatures();
  for (CArmy& army : g_armyTable.armies) army.wizardCreature = -1;  // the wizards went too
  // Their leaving raised the end flags: lowered again, as a battle's loading does, or the
  // next run's first frame would end the battle.
  g_aiOnlyEnd = 0;
  ResetUnattendedEnd();
  int x0 = 0, y0 = 0;
  if (!FindField(x0, y0)) return;
  constexpr int kHero = 5, kSkeleton = 11;
  const int perArmy = creatures / 2;
  for (int i = 0; i < 2 * perArmy; ++i) {
    const int army = 1 + i / perArmy, n = i % perArmy, type = army == 1 ? kHero : kSkeleton;
    const int x = (x0 + n % 10) % g_map.width, y = (y0 + n / 10 + (army - 1) * 9) % g_map.height;
    // Where the deployment would stand a creature of the type put there.
    CMoveQuery query;
    query.height = std::max(1, g_creatureTypes[type].TileHeight);
    query.typeIndex = type;
    int px = x, py = y, level = StandingLevel(x, y);
    if (!g_map.FindFreePositionNear(-1, query, px, py, level)) continue;
    systems.LoadCreatureAnims(type);
    systems.CreateCreature(type, army, px, py, level);
  }
}

struct Bench {
  Bench() {
    EnterForgedDataCopy();
    window = bench_window::Open();
    ready = bench_window::LoadDirectBattle(CBattleSetup{1, 4242, 4242, 1, 1, 0});
    // The map view draws with the printers the game would pick here, not the portable one.
    SelectGamePrinters(DetectPrinterProcessor(), true);
  }
  platform::WindowHandle window = nullptr;
  bool ready = false;
};

Bench& TheBench() {
  static Bench bench;
  return bench;
}

void BM_Baseline_MapViewDraw(benchmark::State& state) {
  if (!TheBench().ready) {
    state.SkipWithError("the battle did not load");
    return;
  }
  for (auto _ : state) g_mapView.Update();
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_BattleFrameWithoutDrawing(benchmark::State& state) {
  if (!TheBench().ready) {
    state.SkipWithError("the battle did not load");
    return;
  }
  // Each run starts from the two armies placed afresh; the counters say how many fought on
  // and how many blows fell, and what a frame cost each creature placed.
  const int placed = static_cast<int>(state.range(0));
  PlaceArmies(placed);
  const int firstTick = BattleState().gameTick;
  int64_t blows = 0, moved = 0;
  for (auto _ : state) {
    g_battle->Update();
    for (int army : {1, 2}) {
      const ArmyFrameCounts counts = BattleSystems().ArmyCounts(army);
      blows += counts.blows;
      moved += counts.moved;
    }
  }
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["creatures"] = BattleSystems().CreaturesInUse();
  state.counters["blows"] = static_cast<double>(blows);
  state.counters["moves"] = static_cast<double>(moved);
  state.counters["ticks"] = BattleState().gameTick - firstTick;
  state.counters["seconds_per_creature"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * placed, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The hundred creatures, both armies run by the computer players, each with its first creature
// standing in as its wizard, and the controllers started on them.
void PlaceArmiesForComputerPlayers() {
  PlaceArmies();
  for (int army : {1, 2}) {
    CArmy& record = g_armyTable.armies[army];
    record.human = 0;
    record.local = 0;
    for (int slot = 0; slot < g_creatureArray.Capacity() && record.wizardCreature < 0; ++slot) {
      const CCreature* c = g_creatureArray.At(slot);
      if (c->inUse && c->army == army) record.wizardCreature = slot;
    }
  }
  BattleSystems().StartAI();
}

void RunFrames(benchmark::State& state, int activeAI) {
  if (!TheBench().ready) {
    state.SkipWithError("the battle did not load");
    return;
  }
  const int saved = g_activeAI;
  g_activeAI = activeAI;
  PlaceArmiesForComputerPlayers();
  const double groupsAtStart = static_cast<double>(g_aiUnitController.groups.size());
  for (auto _ : state) g_battle->Update();
  g_activeAI = saved;
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["groups"] = groupsAtStart;
  state.counters["decisions"] = static_cast<double>(g_aiUnitController.nextDecisionId);
}

void BM_Baseline_FrameWithoutAI(benchmark::State& state) { RunFrames(state, 0); }
void BM_FrameWithAI(benchmark::State& state) { RunFrames(state, 1); }

BENCHMARK(BM_Baseline_MapViewDraw)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Baseline_FrameWithoutAI)
    ->Name("ai/Baseline_FrameWithoutAI")
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(1500);
BENCHMARK(BM_FrameWithAI)->Name("ai/FrameWithAI")->Unit(benchmark::kMicrosecond)->Iterations(1500);
// A fixed run of frames from the placing, long enough for the armies to meet and fight it
// out, so that the measure is of a battle and not of the quiet after it.
// The armies' sizes show how a frame's cost grows with the creatures in it.
BENCHMARK(BM_BattleFrameWithoutDrawing)
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(1500)
    ->Arg(10)
    ->Arg(25)
    ->Arg(50)
    ->Arg(100);

}  // namespace

VRASK_BENCH_MAIN()
