// The battle's answers to the subsystems below it come and go whole: after UninstallBattle
// nothing below reaches the battle's objects, however often the battle was installed.
#include <gtest/gtest.h>

#include "battle/Battle.h"
#include "battle/BattleSave.h"
#include "battle/BattleSystems.h"
#include "battle/PanelBattle.h"
#include "core/PlayerSlot.h"
#include "creatures/CreatureHooks.h"
#include "graphics/BattleFacing.h"
#include "magic/EffectBattle.h"
#include "magic/EffectScript.h"
#include "magic/EffectSummons.h"
#include "map/MapHooks.h"
#include "map/MapViewHooks.h"
#include "net/NetHooks.h"
#include "ui/SpeechCtrl.h"

namespace {

// Puts the slot's neutral answer in and tells where it is.
template <class Interface>
Interface* Neutral(HookSlot<Interface>& slot) {
  slot.Install(nullptr);
  return slot.Get();
}

TEST(BattleInstall, UninstallPutsTheNeutralAnswersBackEvenAfterASecondInstall) {
  void* const neutral[] = {Neutral(g_creatureBattle), Neutral(g_effectBattle),   Neutral(g_effectScript),
                           Neutral(g_effectSummons),  Neutral(g_panelBattle),    Neutral(g_battleSystems),
                           Neutral(g_battleFacing),   Neutral(g_battleSaveParts)};
  ISpeechBattle* const speechBefore = g_speechBattle;
  ISpeechCamera* const cameraBefore = g_speechCamera;

  InstallBattle();
  EXPECT_NE(g_creatureBattle.Get(), neutral[0]);
  EXPECT_NE(g_speechBattle, speechBefore);
  InstallBattle();  // the next battle's set-up installs again
  BattleState().gameTick = 40;
  BattleState().mouseMode = kMouseModeBand;
  UninstallBattle();

  void* const after[] = {g_creatureBattle.Get(), g_effectBattle.Get(),  g_effectScript.Get(), g_effectSummons.Get(),
                         g_panelBattle.Get(),    g_battleSystems.Get(), g_battleFacing.Get(), g_battleSaveParts.Get()};
  for (size_t i = 0; i < std::size(neutral); ++i) EXPECT_EQ(after[i], neutral[i]) << "slot " << i;
  EXPECT_EQ(g_creatureBattle->FrameCounter(), 0);
  EXPECT_EQ(g_mapHooks.battle, DefaultMapHooks().battle);
  EXPECT_EQ(g_mapViewHooks.battle, DefaultMapViewHooks().battle);
  EXPECT_EQ(g_netHooks.battle, DefaultNetHooks().battle);
  EXPECT_EQ(g_netHooks.commands, DefaultNetHooks().commands);
  EXPECT_EQ(g_speechBattle, speechBefore);
  EXPECT_EQ(g_speechCamera, cameraBefore);
  // The next battle's install starts from a fresh shared state, not the last battle's tick.
  InstallBattle();
  EXPECT_EQ(BattleState().gameTick, 0);
  EXPECT_EQ(BattleState().mouseMode, kMouseModeNone);
  UninstallBattle();
}

// The face panel shows the portrait the player of the local army chose at the set-up.
TEST(BattleInstall, ThePanelsAskThePlayerSlotsForTheArmiesPortraits) {
  InstallBattle();
  ResetPlayerSlots();
  const int portraits[kPlayerSlotCount] = {7, 2, -1, 11};
  for (int slot = 0; slot < kPlayerSlotCount; ++slot) g_playerSlots[slot].portrait = portraits[slot];
  for (int army = 0; army < kPlayerSlotCount; ++army) EXPECT_EQ(g_panelBattle->ArmyPortrait(army), portraits[army]);
  EXPECT_EQ(g_panelBattle->ArmyPortrait(kPlayerSlotCount), 0);
  ResetPlayerSlots();
  UninstallBattle();
}

}  // namespace
