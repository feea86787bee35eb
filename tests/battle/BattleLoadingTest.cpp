// Failed loads: a region without a map folder, armies that cannot be set up and a map that
// cannot be built each show their box, pop the screen that asked for the battle and stop the
// loading; the four ways the armies are set up by the kind of battle; and a whole load of the
// forged moorland, whose wizard site the view starts on, and again after a battle's exit.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "PanelTestSupport.h"
#include "ai/AIController.h"
#include "battle/Battle.h"
#include "battle/BattleArmies.h"
#include "battle/BattleUnattendedEnd.h"
#include "battle/ControlLimitPanel.h"
#include "battle/PanelBattle.h"
#include "core/GameSettings.h"
#include "core/Options.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureHooks.h"
#include "map/Map.h"
#include "map/MapView.h"
#include "support/TestSupport.h"
#include "ui/Screen.h"

using namespace panel_test;

namespace {

// Region 0 has no map folder; region 1 asks for a grid that its one section cannot fill;
// region 2 names no armies; regions 3 and 4 put their map folder outside the data folder.
constexpr const char* kTestRealm =
    "[Region0]\nSectionPreFix=SEC\nArmy_0=WANDERING, 0, x, e\nArmy_1=Edric, 1, e, x\n"
    "[Region1]\nSectionPreFix=SEC\nMapSize=3,3\nMaxWaterLevel=5\nMinWaterLevel=1\nWaterLevel=3\n"
    "RedFactor=-0.4\nGreenFactor=-0.1\nBlueFactor=0.7\nMaxRegionofPower=3\nMaxManaSprites=4\n"
    "ManaSpriteRegenRate=3000\nNumFlagLevels=2\nStartLevel=4\nWindDirection=NORTHEAST\nAvLandHeight=3\n"
    "Random=(1,1)\nPath=maps\\moorland\nArmy_0=WANDERING, 0, x, e\nArmy_1=Edric, 1, e, x\n"
    "[Region2]\nSectionPreFix=SEC\nPath=maps\\moorland\n"
    "[Region3]\nSectionPreFix=SEC\nPath=..\\..\\..\\..\\..\\..\\tmp\nArmy_0=WANDERING, 0, x, e\n"
    "[Region4]\nSectionPreFix=SEC\nPath=/tmp\nArmy_0=WANDERING, 0, x, e\n";

struct CallerScreen : CScreen {
  void Update() override {}
  int OnMessage(platform::WindowHandle, unsigned, uintptr_t, intptr_t) override { return 0; }
};

class BattleLoading : public PanelDisplay {
 protected:
  void SetUp() override {
    PanelDisplay::SetUp();
    InstallBattle();
    data_ = std::make_unique<testing_support::ForgedDataCopy>();
    std::filesystem::create_directories(data_->File("realms/test"));
    std::ofstream(data_->File("realms/test/test.cfg")) << kTestRealm;
    std::memcpy(savedFile_, g_realmFile, sizeof savedFile_);
    std::memcpy(savedName_, g_realmName, sizeof savedName_);
    std::snprintf(g_realmName, sizeof g_realmName, "%s", "moorland");
    ResetScreenStack();
    g_screenStack[1] = &caller_;
    g_screenCount = 1;
    g_currentScreen = &caller_;
  }
  void TearDown() override {
    // What loading left behind goes as the battle's exit would take it.
    battle_.Exit();
    g_progressBar.Release();
    g_mapView.SetMap(nullptr);
    g_map.Clear();
    g_armyTable.ResetAll();
    ClearWizardSites();
    ResetScreenStack();
    std::memcpy(g_realmFile, savedFile_, sizeof savedFile_);
    std::memcpy(g_realmName, savedName_, sizeof savedName_);
    g_gameMode = 0;
    g_networkGame = 0;
    g_directAI = 0;
    g_battleSetup = CBattleSetup{};
    UninstallBattle();
    data_.reset();
    PanelDisplay::TearDown();
  }
  CallerScreen caller_;
  CBattle battle_;
  std::unique_ptr<testing_support::ForgedDataCopy> data_;
  char savedFile_[256] = {}, savedName_[256] = {};
};

TEST_F(BattleLoading, AFailedLoadShowsItsBoxPopsTheCallerAndStops) {
  struct Case {
    int gameMode, network, region, players;
    std::vector<std::string> boxes;
  };
  const Case cases[] = {
      {kGameModeDirect, 0, 0, 1, {"failed to load or initialise map."}},
      // A network battle of no players.
      {kGameModeLobby, 1, 1, 0, {"army initialisation: failed."}},
      // A region whose configuration names no armies: the realm reader's box, then loading's.
      {kGameModeCampaign,
       0,
       2,
       1,
       {"no army data was found in the realm config file for current region", "army initialisation: failed."}},
      {kGameModeDirect, 0, 1, 1, {"failed to load or initialise map."}},
      {kGameModeDirect, 0, 3, 1, {"failed to load or initialise map."}},
      {kGameModeDirect, 0, 4, 1, {"failed to load or initialise map."}},
  };
  for (const Case& c : cases) {
    std::snprintf(g_realmFile, sizeof g_realmFile, "%s", "realms\\test\\test.cfg");
    g_gameMode = c.gameMode;
    g_networkGame = c.network;
    g_battleSetup = CBattleSetup{c.region, 5, 5, 1, c.players, 0};
    g_screenStack[1] = &caller_;
    g_screenCount = 1;
    g_currentScreen = &caller_;
    testing_support::BoxRecorder boxes;
    EXPECT_FALSE(LoadBattle(battle_)) << c.boxes.back();
    ASSERT_EQ(boxes.Count(), c.boxes.size()) << c.boxes.back();
    for (size_t i = 0; i < c.boxes.size(); ++i) EXPECT_EQ(boxes.Boxes()[i].text, c.boxes[i]);
    EXPECT_EQ(g_screenCount, 0) << c.boxes.back();
    EXPECT_EQ(battle_.loadFailed, 1);
  }
}

// A realm whose file is missing ends the program naming that file, before any of the realm's
// art is looked for.
TEST_F(BattleLoading, AMissingRealmFileIsNamedAndEndsTheProgram) {
  std::snprintf(g_realmFile, sizeof g_realmFile, "%s", "realms\\nowhere\\nowhere.cfg");
  std::snprintf(g_realmName, sizeof g_realmName, "%s", "nowhere");
  g_gameMode = kGameModeDirect;
  g_battleSetup = CBattleSetup{1, 5, 5, 1, 1, 0};
  g_screenStack[1] = &caller_;
  g_screenCount = 1;
  g_currentScreen = &caller_;
  testing_support::BoxRecorder boxes;
  EXPECT_EQ(testing_support::ExitCodeOf([this] { LoadBattle(battle_); }), 1);
  ASSERT_EQ(boxes.Count(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].caption, "FILE LOAD ERROR");
  EXPECT_EQ(boxes.Boxes()[0].text, "Unable to load file: realms\\nowhere\\nowhere.cfg, Exiting Program");
}

// The armies by the kind of battle: an unattended one the default three, a network battle
// one numbered army a player with the set-up's local one, a quick battle the player slots'
// (the player and the computers of the slots taken), any other the realm region's armies.
TEST_F(BattleLoading, TheArmiesAreSetUpByTheKindOfBattle) {
  std::snprintf(g_realmFile, sizeof g_realmFile, "%s", "realms\\test\\test.cfg");
  struct Slots : ICreatureBattle {
    int CampaignRegion() override { return 1; }
    const char* PlayerSlotName(int slot) override { return slot == 0 ? "Aelwen" : slot == 2 ? "Brynn" : "No Player"; }
  } slots;
  HookScope<ICreatureBattle> scope(g_creatureBattle, slots);
  struct Case {
    int gameMode, network, directAI;
    std::vector<std::string> names;
    int local;
  };
  const Case cases[] = {
      {kGameModeDirect, 0, 1, {"WANDERING", "Edric", "secondAI"}, -1},
      {kGameModeLobby, 1, 0, {"net0", "net1", "net2"}, 1},
      {kGameModeQuickBattle, 0, 0, {"Aelwen", "secondAI2"}, 0},
      {kGameModeDirect, 0, 0, {"WANDERING", "Edric"}, -1},
      {kGameModeCampaign, 0, 0, {"WANDERING", "Edric"}, -1},
  };
  for (const Case& c : cases) {
    g_gameMode = c.gameMode;
    g_networkGame = c.network;
    g_directAI = c.directAI;
    g_battleSetup = CBattleSetup{1, 5, 5, 2, 3, 1};
    ASSERT_TRUE(InitBattleArmies()) << c.gameMode;
    std::vector<std::string> names;
    for (const CArmy& army : g_armyTable.armies)
      if (army.inUse) names.push_back(army.name);
    EXPECT_EQ(names, c.names) << c.gameMode;
    EXPECT_EQ(g_localArmy, c.local) << c.gameMode;
  }
}

TEST_F(BattleLoading, TheForgedMoorlandLoadsWithThePlayersWizardInView) {
  std::snprintf(g_realmFile, sizeof g_realmFile, "%s", "realms\\moorland\\moorland.cfg");
  g_gameMode = kGameModeDirect;
  g_battleSetup = CBattleSetup{1, 4242, 4242, 1, 1, 0};
  testing_support::BoxRecorder boxes;
  ASSERT_TRUE(LoadBattle(battle_));
  EXPECT_EQ(boxes.Count(), 0u);
  EXPECT_EQ(g_screenCount, 1);
  EXPECT_STRNE(battle_.mapPath, "");
  EXPECT_TRUE(g_map.HasCells());
  // The realm's armies: the player's side (Edric, army 1) is the local one.
  EXPECT_EQ(g_localArmy, 1);
  EXPECT_EQ(g_wizardSites[1].placed, 1);
  // The loading bar counted its steps.
  EXPECT_GT(g_progressBar.stepsDone, 4);
  // The view goes to the wizard when the interface is set up.
  battle_.SetUpPanels();
  EXPECT_EQ(g_mapView.camCellX, g_wizardSites[1].x);
  EXPECT_EQ(g_mapView.camCellY, g_wizardSites[1].y);
  // The panels know the wizard: its health, mana and spells, and its control limit.
  const int wizard = g_armyTable.armies[1].wizardCreature;
  ASSERT_GE(wizard, 0);
  PanelWizardState state;
  ASSERT_TRUE(g_panelBattle->GetWizard(wizard, state));
  const CCreature* creature = g_creatureArray.At(wizard);
  EXPECT_EQ(state.health, creature->health);
  EXPECT_GT(state.maxHealth, 0);
  EXPECT_EQ(state.mana, creature->mana);
  EXPECT_EQ(state.spellCount, creature->spellCount);
  EXPECT_GT(state.controlLimit, 0);
  EXPECT_EQ(g_controlLimitPanel.Limit(), state.controlLimit);
  EXPECT_FALSE(g_panelBattle->GetWizard(-1, state));
  // A click on the face selects the wizard alone; a second one finds it selected.
  EXPECT_FALSE(g_panelBattle->SelectWizardAlone(wizard));
  EXPECT_TRUE(g_panelBattle->SelectWizardAlone(wizard));
  EXPECT_EQ(g_selectionCount, 1);
}

// An unattended battle: the computer players lead both sides, the player's wizard among them,
// though its army was deployed as a person's before the battle was left to them.
TEST_F(BattleLoading, InAnUnattendedBattleTheComputerPlayersLeadBothWizards) {
  std::snprintf(g_realmFile, sizeof g_realmFile, "%s", "realms\\moorland\\moorland.cfg");
  g_gameMode = kGameModeDirect;
  g_directAI = 1;
  g_battleSetup = CBattleSetup{1, 4242, 4242, 1, 1, 0};
  testing_support::BoxRecorder boxes;
  ASSERT_TRUE(LoadBattle(battle_));
  int wizards = 0;
  for (const CArmy& army : g_armyTable.armies) {
    if (!army.inUse || army.wizardCreature < 0) continue;
    ++wizards;
    EXPECT_EQ(army.human, 0) << "army " << army.index;
    const CCreature& wizard = *g_creatureArray.At(army.wizardCreature);
    EXPECT_NE(wizard.aiGroupNode[CAIController::kUnitMode], nullptr) << "army " << army.index;
    EXPECT_NE(wizard.aiGroupNode[CAIController::kSideMode], nullptr) << "army " << army.index;
  }
  EXPECT_EQ(wizards, 2);
}

// The end flags a battle raised (its last wizards fell, or left the field as its creatures were
// released on leaving): the next battle loaded in the process starts with them lowered, or its
// first frame would end it for the last battle's sake.
TEST_F(BattleLoading, TheNextBattleStartsWithTheEndFlagsTheLastOneRaisedLowered) {
  std::snprintf(g_realmFile, sizeof g_realmFile, "%s", "realms\\moorland\\moorland.cfg");
  g_gameMode = kGameModeDirect;
  g_battleSetup = CBattleSetup{1, 4242, 4242, 1, 1, 0};
  ASSERT_TRUE(LoadBattle(battle_));
  g_creatureBattle->RaiseBattleEndFlags();
  battle_.Exit();
  ASSERT_EQ(g_aiOnlyEnd, 1);
  ASSERT_TRUE(g_aiUnitController.windDown);
  ASSERT_TRUE(LoadBattle(battle_));
  EXPECT_EQ(g_aiOnlyEnd, 0);
  EXPECT_FALSE(g_aiUnitController.windDown);
  EXPECT_FALSE(g_aiSideController.windDown);
  EXPECT_FALSE(UnattendedEndOutcome().decided);
}

}  // namespace
