// The unattended battle ("directAI") as the program runs it headless: both sides' wizards and
// armies deployed on the forged moorland, filled up to a hundred creatures, and left to the
// computer players, drawing skipped.
// The frame with the computer players (both controllers' Update, their group decisions and
// route searches among them) against the same battle's frame without them, in one run: the
// counter "fps" of each (the goal is 1000 frames a second with them), and the computer
// players' share of the frame as the ratio of the two. The counters say how many decisions
// were adopted, how many blows fell, and which group decision types (6-14, all nine competing
// for every group) were seen in force: "group types" counts them, a counter "tN" names each.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <set>
#include <string>

#include "ai/AIController.h"
#include "ai/AIDecision.h"
#include "battle/Battle.h"
#include "battle/BattleSystems.h"
#include "core/BattleLimits.h"
#include "core/GameSettings.h"
#include "core/Main.h"
#include "core/Options.h"
#include "core/Preferences.h"
#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureType.h"
#include "creatures/Mapelem.h"
#include "graphics/Display.h"
#include "map/Map.h"
#include "net/NetBattle.h"
#include "platform/Window.h"
#include "support/BenchBattle.h"
#include "support/BenchData.h"
#include "support/BenchWindow.h"
#include "support/RatioMain.h"
#include "ui/Screen.h"

namespace {

constexpr int kBattleCreatures = 100;

int CreaturesInUse() {
  int count = 0;
  g_creatureArray.ForEachInUse([&](const CCreature&) { ++count; });
  return count;
}

// The first creature type of the army other than its wizard's, 1 when it has none.
int TroopType(int army) {
  int type = 1;
  g_creatureArray.ForEachInUse([&](const CCreature& c) {
    if (type == 1 && c.army == army && !c.IsWizard()) type = c.typeNumber;
  });
  return type;
}

// Adds creatures to the two sides in turn, each of a type its army has, at a free place near its
// wizard, as deployment places them, until the battle holds a hundred.
void FillTheSides() {
  for (int turn = 0; CreaturesInUse() < kBattleCreatures && turn < 4 * kBattleCreatures; ++turn) {
    const int army = 1 + turn % 2;
    const CCreature* wizard = g_armyTable.GetWizard(army);
    CCreature* added = g_creatureArray.FindFree();
    if (!wizard || !added) return;
    const int type = TroopType(army);
    CCreature probe;
    probe.type = &g_creatureTypes[type];
    probe.typeNumber = type;
    probe.index = -1;
    int x = wizard->cellX, y = wizard->cellY, level = wizard->level;
    if (!g_map.FindFreePositionNear(-1, probe.MakeMoveQuery(), x, y, level)) continue;
    added->Reset(added->index);
    added->SetPosition(x, y, level, type);
    added->InitFromType(type, army);
  }
}

struct Bench {
  Bench() {
    // The options the program starts with: the path-node network among them, without which no
    // group decision is ever prepared.
    LoadForgedOptions();
    window = bench_window::Open();
    ready = bench_window::LoadDirectBattle(CBattleSetup{1, 11, 11, 1, 1, 0}, [] {
      g_directAI = 1;
      g_noLightSources = 1;
      // The battle must not end while it is measured.
      g_aiBattleTickLimit = 1 << 30;
    });
    if (ready) FillTheSides();
  }
  platform::WindowHandle window = nullptr;
  bool ready = false;
};

Bench& TheBench() {
  static Bench bench;
  return bench;
}

// The group decision types (all nine compete for every group) seen in force after a frame:
// a look at the controllers' decisions between frames, outside their own work.
struct GroupTypesInForce {
  std::set<int> types;
  void Note() {
    for (const CAIController* ai : {&g_aiUnitController, &g_aiSideController})
      for (const auto& [id, decision] : ai->active)
        if (decision->type >= kAIFirstGroupDecisionType && decision->type <= kAILastGroupDecisionType)
          types.insert(decision->type);
  }
};

void RunFrames(benchmark::State& state, int activeAI) {
  if (!TheBench().ready) {
    state.SkipWithError("the battle did not load");
    return;
  }
  const int saved = g_activeAI;
  g_activeAI = activeAI;
  const int firstDecision = g_aiUnitController.nextDecisionId + g_aiSideController.nextDecisionId;
  int64_t blows = 0;
  GroupTypesInForce groupTypes;
  for (auto _ : state) {
    if (g_aiOnlyEnd) {
      state.SkipWithError("the battle ended");
      break;
    }
    g_battle->Update();
    for (int army = 0; army < kArmyCount; ++army) blows += BattleSystems().ArmyCounts(army).blows;
    groupTypes.Note();
  }
  g_activeAI = saved;
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["adopted"] = g_aiUnitController.nextDecisionId + g_aiSideController.nextDecisionId - firstDecision;
  state.counters["blows"] = static_cast<double>(blows);
  state.counters["creatures"] = CreaturesInUse();
  state.counters["group types"] = static_cast<double>(groupTypes.types.size());
  for (int type : groupTypes.types) state.counters["t" + std::to_string(type)] = 1;
}

// The same battle goes on from run to run: first 150 frames without the computer players, then
// 1000 with them, as the armies close and the groups take up decisions of several types; both
// end before a wizard falls, which ends the battle.
void BM_Baseline_FrameWithoutAI(benchmark::State& state) { RunFrames(state, 0); }
void BM_AIBattleFrame(benchmark::State& state) { RunFrames(state, 1); }

BENCHMARK(BM_Baseline_FrameWithoutAI)->Unit(benchmark::kMicrosecond)->Iterations(150);
BENCHMARK(BM_AIBattleFrame)->Unit(benchmark::kMicrosecond)->Iterations(1000);

}  // namespace

VRASK_BENCH_MAIN()
