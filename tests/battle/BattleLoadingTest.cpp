// Failed loads: a region without a map folder, armies that cannot be set up and a map that
// cannot be built each show their box, pop the screen that asked for the battle and stop the
// loading; and a whole load of the forged moorland, whose wizard site the view starts on.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "PanelTestSupport.h"
#include "battle/Battle.h"
#include "battle/BattleArmies.h"
#include "core/GameSettings.h"
#include "core/Options.h"
#include "creatures/CreatureArray.h"
#include "map/Map.h"
#include "map/MapView.h"
#include "support/TestSupport.h"
#include "ui/Screen.h"

using namespace panel_test;

namespace {

// Region 0 has no map folder; region 1 asks for a grid that its one section cannot fill.
constexpr const char* kTestRealm =
    "[Region0]\nSectionPreFix=SEC\n"
    "[Region1]\nSectionPreFix=SEC\nMapSize=3,3\nMaxWaterLevel=5\nMinWaterLevel=1\nWaterLevel=3\n"
    "RedFactor=1.00\nGreenFactor=0.95\nBlueFactor=0.90\nMaxRegionofPower=3\nMaxManaSprites=4\n"
    "ManaSpriteRegenRate=3000\nNumFlagLevels=2\nStartLevel=4\nWindDirection=NORTHEAST\nAvLandHeight=3\n"
    "Random=(1,1)\nPath=maps\\moorland\n";

struct CallerScreen : CScreen {
  void Update() override {}
  int OnMessage(platform::WindowHandle, unsigned, uintptr_t, intptr_t) override { return 0; }
};

class BattleLoading : public PanelDisplay {
 protected:
  void SetUp() override {
    PanelDisplay::SetUp();
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
    g_battleSetup = CBattleSetup{};
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
    const char* realm;
    int gameMode, region, armies;
    const char* box;
  };
  const Case cases[] = {
      {"realms\\test\\test.cfg", kGameModeDirect, 0, 1, "failed to load or initialise map."},
      {"realms\\test\\test.cfg", kGameModeQuickBattle, 1, 0, "army initialisation: failed."},
      {"realms\\test\\test.cfg", kGameModeDirect, 1, 1, "failed to load or initialise map."},
  };
  for (const Case& c : cases) {
    std::snprintf(g_realmFile, sizeof g_realmFile, "%s", c.realm);
    g_gameMode = c.gameMode;
    g_battleSetup = CBattleSetup{c.region, 5, 5, c.armies, 1, 0};
    g_screenStack[1] = &caller_;
    g_screenCount = 1;
    g_currentScreen = &caller_;
    testing_support::BoxRecorder boxes;
    EXPECT_FALSE(LoadBattle(battle_)) << c.box;
    ASSERT_EQ(boxes.Count(), 1u) << c.box;
    EXPECT_EQ(boxes.Boxes()[0].text, c.box);
    EXPECT_EQ(g_screenCount, 0) << c.box;
    EXPECT_EQ(battle_.loadFailed, 1);
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
  EXPECT_EQ(g_localArmy, 0);
  EXPECT_EQ(g_wizardSites[0].placed, 1);
  // The loading bar counted its steps.
  EXPECT_GT(g_progressBar.stepsDone, 4);
  // The view goes to the wizard when the interface is set up.
  battle_.SetUpPanels();
  EXPECT_EQ(g_mapView.camCellX, g_wizardSites[0].x);
  EXPECT_EQ(g_mapView.camCellY, g_wizardSites[0].y);
}

}  // namespace
