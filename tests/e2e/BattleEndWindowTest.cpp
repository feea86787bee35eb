// The end screens of a battle in a real window on the virtual X display: the victory screen
// of a campaign battle with its awards, and the results of a quick battle. The screenshots go
// to the test output folder.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "MapWindow.h"
#include "XScreen.h"
#include "battle/Battle.h"
#include "battle/BattleEndScreen.h"
#include "battle/QuickBattleEndScreen.h"
#include "core/Hooks.h"
#include "core/PlayerSlot.h"
#include "support/Png.h"
#include "ui/SharedArt.h"

namespace {

struct WindowAwards : IBattleEndFacts {
  int AwardCount() override { return 4; }
  BattleAward Award(int index) override {
    const char* deeds[4] = {"Held the stone circle", "Slew the enemy wizard", "Took the artefact", "Lost no creature"};
    return {deeds[index], 50 + 25 * index, -1};
  }
  int TotalExperience() override { return 400; }
  std::string RealmName() override { return "moorland"; }
  int Region() override { return 2; }
};

void Shoot(e2e::MapWindow& scene, const char* name) {
  e2e::Screenshot shot;
  ASSERT_TRUE(scene.ShowAndShoot(shot)) << "the window never showed " << name;
  e2e::KeepScreen(shot, name, name);
}

TEST(BattleEndWindow, TheVictoryScreenAndTheResults) {
  const char* display = e2e::VirtualDisplay();
  if (!display) GTEST_SKIP() << "no virtual X display (VRASK_X_DISPLAY)";
  e2e::MapWindow scene(display);
  ASSERT_TRUE(scene.ready);
  LoadSharedFontsAndButtons();
  WindowAwards awards;
  HookScope<IBattleEndFacts> scope(g_battleEndFacts, awards);
  CBattle battle;
  CBattle* saved = g_battle;
  g_battle = &battle;

  battle.endScreen.won = 1;
  battle.endScreen.Enter();
  battle.endScreen.Draw();
  Shoot(scene, "battle-end-victory-screen.png");
  battle.endScreen.Exit();

  ResetPlayerSlots();
  const char* names[3] = {"Edric", "Morgana", "Tam"};
  for (int i = 0; i < 3; ++i) {
    g_playerSlots[i].SetName(names[i]);
    g_playerSlots[i].portrait = 2 * i;
    g_playerSlots[i].kills = 3 + i;
    g_playerSlots[i].deaths = 2 - i;
    g_playerSlots[i].handicap = 50 * i;
    g_playerSlots[i].score = 100 + 40 * i;
  }
  CQuickBattleEndScreen& results = QuickBattleEndScreen();
  results.returned = 0;
  results.hasArmy = 1;
  results.Load();
  results.Draw();
  Shoot(scene, "quick-battle-results-screen.png");
  results.Unload();
  ResetPlayerSlots();
  g_battle = saved;
  FreeSharedButtons();
}

}  // namespace
