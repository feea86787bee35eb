// Battle frames with drawing skipped (the frame protocol, the creatures' scheduler, the
// world and the visibility), on the forged moorland with 100 creatures of two armies standing
// close, against the map view's draw of one frame alone in the same run. Frames per second
// are reported as the counter "fps"; the goal is 1000.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "battle/Battle.h"
#include "battle/BattleArmies.h"
#include "battle/BattleSystems.h"
#include "core/GameSettings.h"
#include "core/Main.h"
#include "core/Options.h"
#include "core/Preferences.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureType.h"
#include "graphics/Display.h"
#include "graphics/Surface.h"
#include "map/Map.h"
#include "map/MapView.h"
#include "net/NetBattle.h"
#include "platform/Window.h"
#include "support/BenchData.h"
#include "support/RatioMain.h"
#include "ui/Screen.h"

namespace {

intptr_t Proc(platform::WindowHandle w, unsigned m, uintptr_t wp, intptr_t lp) {
  return platform::DefaultWindowProc(w, m, wp, lp);
}

// Two armies of 50 each side by side around the middle of the map.
void PlaceArmies() {
  IBattleSystems& systems = BattleSystems();
  const int cx = g_map.width / 2, cy = g_map.height / 2;
  for (int i = 0; i < 100; ++i) {
    const int army = 1 + i % 2;  // the player's army (1) and the enemy's (2)
    int x = cx - 6 + (i / 2) % 10 + (army - 1) * 12, y = cy - 3 + (i / 2) / 10, level = g_map.levels - 1;
    while (level > 0 && g_map.CellAt(x, y, level).terrain == 0) --level;
    systems.CreateCreature(2 + army, army, x, y, level + 1);
  }
}

struct Bench {
  Bench() {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    EnterForgedDataCopy();
    platform::RegisterWindowClass("BENCH_WINDOW", Proc);
    g_windowed = 1;
    g_prefs.isHighRes = 1;
    platform::WindowPlacement placement;
    placement.clientWidth = 800;
    placement.clientHeight = 600;
    window = platform::CreateAppWindow("BENCH_WINDOW", "Realms of Vrask", placement);
    InitDisplay(window);
    LoadCreatureTypes();
    InstallBattle();
    ConstructBattle();
    g_gameMode = kGameModeDirect;
    g_battleSetup = CBattleSetup{1, 4242, 4242, 1, 1, 0};
    ready = LoadBattle(*g_battle);
    if (!ready) return;
    PushScreen(g_battle);
    PlaceArmies();
    g_skipThisFrame = 1;
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
  for (auto _ : state) g_battle->Update();
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["creatures"] = BattleSystems().CreaturesInUse();
}

BENCHMARK(BM_Baseline_MapViewDraw)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BattleFrameWithoutDrawing)->Unit(benchmark::kMicrosecond);

}  // namespace

VRASK_BENCH_MAIN()
