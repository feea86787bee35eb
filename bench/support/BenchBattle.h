#pragma once
// The direct battle the frame benches run, loaded from the forged data's copy into the bench
// window as the program would load it.

#include <functional>

#include "battle/Battle.h"
#include "battle/BattleSystems.h"
#include "core/GameSettings.h"
#include "core/Main.h"
#include "creatures/CreatureType.h"
#include "net/NetBattle.h"
#include "support/BenchData.h"
#include "ui/Screen.h"

namespace bench_window {

// Loads the direct battle of `setup` and puts it on the screen stack; `beforeLoad` sets what the
// bench wants of the battle once it is built and before it loads. False when it did not load.
inline bool LoadDirectBattle(const CBattleSetup& setup, const std::function<void()>& beforeLoad = {}) {
  EnterForgedDataCopy();
  LoadCreatureTypes();
  InstallBattle();
  ConstructBattle();
  if (beforeLoad) beforeLoad();
  g_gameMode = kGameModeDirect;
  g_battleSetup = setup;
  if (!LoadBattle(*g_battle)) return false;
  PushScreen(g_battle);
  g_skipThisFrame = 1;
  return true;
}

}  // namespace bench_window
