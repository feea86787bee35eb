#pragma once
// A direct battle on the loopback network as the screen stack runs it, for the tests of the
// battle screen's frame: the battle on top of the stack (over a caller's screen when given),
// the default armies, nothing drawn, and the battle marked loaded. Frames(n) runs the battle
// screen's updates while it stays on top.
#include <gtest/gtest.h>

#include "battle/Battle.h"
#include "battle/BattleArmies.h"
#include "battle/BattleSystems.h"
#include "core/GameSettings.h"
#include "core/Main.h"
#include "creatures/Armies.h"
#include "graphics/BattleFacing.h"
#include "net/NetBattle.h"
#include "platform/Window.h"
#include "ui/Screen.h"

class DirectBattleScreen : public ::testing::Test {
 protected:
  // Puts the battle on the stack, over the caller when there is one, with the subsystems it
  // drives when given, and starts the loopback network. Wrap in ASSERT_NO_FATAL_FAILURE.
  void StartBattle(CScreen* caller, IBattleSystems* systems = nullptr) {
    ResetScreenStack();
    if (caller) g_screenStack[++g_screenCount] = caller;
    g_screenStack[++g_screenCount] = &battle_;
    g_currentScreen = &battle_;
    saved_ = g_battle;
    g_battle = &battle_;
    InstallBattle();
    if (systems) g_battleSystems.Install(systems);
    SetUpDefaultArmies();
    g_gameMode = kGameModeDirect;
    // A battle's loading lowers the end flags an earlier battle of the process raised (a
    // wizard's fall leaves only computers); this one is put on the stack without loading.
    g_aiOnlyEnd = 0;
    g_skipThisFrame = 1;  // nothing is drawn
    BattleState().gameTick = 0;
    ASSERT_TRUE(StartSinglePlayerNet("Edric"));
    battle_.loaded = 1;
    battle_.graphicsFreed = 1;
  }
  void TearDown() override {
    EndNetBattle();
    UninstallBattle();
    ResetScreenStack();
    g_battle = saved_;
    g_skipThisFrame = 0;
    g_gameMode = 0;
    g_networkGame = 0;
    g_armyTable.ResetAll();
    ClearWizardSites();
    BattleState().gameTick = 0;
    g_aiOnlyEnd = 0;
    platform::ClearMessageQueue();
  }
  void Frames(int n) {
    for (int i = 0; i < n && g_currentScreen == &battle_; ++i) battle_.Update();
  }
  bool BattleOnTop() const { return g_currentScreen == &battle_; }

  CBattle battle_;
  CBattle* saved_ = nullptr;
};
