// The forged campaign script of the moorland's region 1: every event type, read back as the
// forge wrote it, every place it names on the forged map with its trigger cells marked, and a
// battle of the region loaded in-process whose ticks fire the script's opening in order
// through its flag chain, and whose player's wizard at the gate sets off its trigger.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <set>
#include <vector>

#include "PanelTestSupport.h"
#include "battle/Battle.h"
#include "battle/BattleArmies.h"
#include "battle/BattleSystems.h"
#include "battle/Script.h"
#include "battle/ScriptActors.h"
#include "core/GameSettings.h"
#include "core/Options.h"
#include "creatures/Armies.h"
#include "creatures/CreatureAnims.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureType.h"
#include "creatures/Mapelem.h"
#include "forge/ScriptWriter.h"
#include "graphics/BattleFacing.h"
#include "map/Map.h"
#include "map/MapView.h"
#include "platform/Files.h"
#include "platform/Profile.h"
#include "support/TestSupport.h"
#include "ui/Screen.h"

using namespace panel_test;

namespace {

// The actions re-arm as the neutral ones do, and say which event ran at which tick.
struct TickedActions : IScriptActions {
  std::vector<std::pair<int, int>> runs;  // record, tick
  void RunAction(CScript& script, int record, int) override {
    runs.push_back({record, BattleState().gameTick});
    script.RearmEvent(record);
  }
  void FinishSpeech() override {}
};

// The place names of an event: its locations of every kind.
std::vector<const char*> PlacesOf(const CScriptEvent& e) {
  std::vector<const char*> names = {e.dependentLocation, e.artefactLocation, e.changedLocation, e.triggerLocation};
  switch (e.type) {
    case kScriptCommand:
      names.insert(names.end(), {e.command.destinationLocation, e.command.targetLocation});
      break;
    case kScriptDialogue:
      names.push_back(e.dialogue.speechLocation);
      break;
    case kScriptDeployment:
      names.push_back(e.deployment.deploymentLocation);
      break;
    case kScriptPortal:
      names.push_back(e.portal.portalLocation);
      break;
    case kScriptTrap:
      names.insert(names.end(), {e.trap.trapTargetLocation, e.trap.sourceLocation});
      break;
    case kScriptExperience:
      names.push_back(e.experience.experienceLocation);
      break;
    default:
      break;
  }
  return names;
}

TEST(ScriptCampaign, TheForgedScriptHoldsEveryTypeAndReadsBackAsWritten) {
  CScript script;
  LoadScriptEventsFrom(script, testing_support::ForgedDataDir() + "/realms/moorland/moorlandScript1.cfg");
  const std::vector<forge::ScriptEventKeys> written = forge::MoorlandCastleScript();
  ASSERT_EQ(script.eventCount, static_cast<int>(written.size()));
  std::set<int> types;
  for (const forge::ScriptEventKeys& event : written) {
    const CScriptEvent& e = script.Event(event.Section() - 1);
    EXPECT_EQ(e.inUse, 1) << event.Section();
    EXPECT_EQ(e.type, event.Type()) << event.Section();
    types.insert(e.type);
  }
  EXPECT_EQ(types, (std::set<int>{0, 1, 2, 3, 4, 5, 6, 8, 9}));
  EXPECT_FLOAT_EQ(script.Event(15).command.threshold, 0.6f);
  EXPECT_EQ(script.Event(11).trap.trapSpell, 71);
  EXPECT_EQ(script.Event(11).triggerTarget, 6);
  EXPECT_EQ(script.Event(2).deployment.creatureType, 25);
  EXPECT_EQ(script.Event(5).deployment.keyCharacter, 1);
  EXPECT_EQ(script.Event(16).dependentCharacterStatus, 2);
  EXPECT_STREQ(script.Event(12).diplomacy.friendlyArmy, "WANDERING");
}

struct CallerScreen : CScreen {
  void Update() override {}
  int OnMessage(platform::WindowHandle, unsigned, uintptr_t, intptr_t) override { return 0; }
};

class CastleBattle : public PanelDisplay {
 protected:
  void SetUp() override {
    PanelDisplay::SetUp();
    data_ = std::make_unique<testing_support::ForgedDataCopy>();
    std::memcpy(savedFile_, g_realmFile, sizeof savedFile_);
    std::memcpy(savedName_, g_realmName, sizeof savedName_);
    std::snprintf(g_realmFile, sizeof g_realmFile, "%s", "realms\\moorland\\moorland.cfg");
    std::snprintf(g_realmName, sizeof g_realmName, "%s", "Moorland");
    ResetScreenStack();
    g_screenStack[1] = &caller_;
    g_screenCount = 1;
    g_currentScreen = &caller_;
    InstallBattle();
    platform::FlushProfileCache();
    g_scriptActors.Clear();
    g_gameMode = kGameModeCampaign;
    g_battleSetup = CBattleSetup{1, 777, 777, 1, 1, 0};
    // The creature types and the wizard's look, as the front end has them before a battle.
    ASSERT_EQ(ReadCreatureConfig("cfg/creature.cfg", "cfg/hth.cfg", g_creatureTypes), 1);
    std::snprintf(g_wizardAnimFileName, sizeof g_wizardAnimFileName, "%s", g_wizardAnimFiles[0][1]);
  }
  void TearDown() override {
    battle_.Exit();
    UninstallBattle();
    g_progressBar.Release();
    g_mapView.SetMap(nullptr);
    g_map.Clear();
    g_armyTable.ResetAll();
    ClearWizardSites();
    ResetScreenStack();
    g_script.Clear();
    g_scriptActors.Clear();
    for (auto& set : g_creatureTypeAnims) set.reset();
    for (CCreatureType& type : g_creatureTypes) type = CCreatureType{};
    g_wizardAnimFileName[0] = '\0';
    std::memcpy(g_realmFile, savedFile_, sizeof savedFile_);
    std::memcpy(g_realmName, savedName_, sizeof savedName_);
    g_gameMode = 0;
    g_battleSetup = CBattleSetup{};
    BattleState().gameTick = 0;
    data_.reset();
    PanelDisplay::TearDown();
  }
  void Tick() {
    ++BattleState().gameTick;
    BattleSystems().ScriptTick();
  }

  CallerScreen caller_;
  CBattle battle_;
  TickedActions actions_;
  std::unique_ptr<testing_support::ForgedDataCopy> data_;
  char savedFile_[256] = {}, savedName_[256] = {};

 private:
  HookScope<IScriptActions> actionsScope_{g_scriptActions, actions_};
};

TEST_F(CastleBattle, TheScriptNamesOnlyPlacesOfTheMapAndMarksItsTriggerCells) {
  testing_support::BoxRecorder boxes;
  ASSERT_TRUE(LoadBattle(battle_));
  EXPECT_EQ(boxes.Count(), 0u);
  ASSERT_GT(g_script.eventCount, 0);
  int places = 0;
  for (int r = 0; r < g_script.eventCount; ++r)
    for (const char* place : PlacesOf(g_script.Event(r))) {
      if (!*place) continue;
      ++places;
      int x, y, z;
      EXPECT_TRUE(GetAreaCentreByName(place, x, y, z)) << place;
    }
  EXPECT_GE(places, 10);
  for (const char* trigger : {"Moor Road", "Standing Stones", "Castle Gate"}) {
    int cells = 0, marked = 0;
    ForEachNamedAreaCell(trigger, [&](int x, int y, int z) {
      ++cells;
      marked += (g_map.CellAt(x, y, z).shape & shape_bits::kScriptTrigger) != 0;
      return true;
    });
    EXPECT_GT(cells, 0) << trigger;
    EXPECT_EQ(marked, cells) << trigger;
  }
  // The player's wizard is the character named like its army.
  const ScriptActor* edric = g_scriptActors.FindByName("Edric");
  ASSERT_NE(edric, nullptr);
  EXPECT_EQ(edric->state, kActorAliveInBattle);
  EXPECT_EQ(edric->creature, g_armyTable.FindByName("Edric")->wizardCreature);
  EXPECT_EQ(g_scriptActors.FindByName("Ysbail")->state, kActorAliveInCampaign);
}

TEST_F(CastleBattle, TheForgedScriptPassesTheValidator) {
  ASSERT_TRUE(LoadBattle(battle_));
  ASSERT_GT(g_script.eventCount, 20);
  // The script speaks of the realm's armies of its region.
  const std::string realm = platform::CurrentDirectory() + "/realms/moorland/moorland.cfg";
  ASSERT_TRUE(g_armyTable.InitFromRealmFile(realm.c_str(), 1));
  testing_support::BoxRecorder boxes;
  ValidateScriptEvents(g_script);
  for (const platform::MessageBoxCall& box : boxes.Boxes()) ADD_FAILURE() << box.caption << ": " << box.text;
}

TEST_F(CastleBattle, TheOpeningFiresInOrderThroughItsFlagChain) {
  ASSERT_TRUE(LoadBattle(battle_));
  Tick();
  // The opening words, then Ysbail, her two guards and the captain, in one tick.
  EXPECT_EQ(actions_.runs, (std::vector<std::pair<int, int>>{{0, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}}));
  EXPECT_TRUE(g_scriptActors.FlagSet(1));
  EXPECT_TRUE(g_scriptActors.FlagSet(2));
  EXPECT_FALSE(g_scriptActors.FlagSet(3));
  while (BattleState().gameTick < 150) Tick();
  // The wall falls when the pre-pause of flag 3 is over; the chain ends with flag 5.
  ASSERT_EQ(actions_.runs.size(), 6u);
  EXPECT_EQ(actions_.runs.back(), (std::pair<int, int>{9, 101}));
  EXPECT_TRUE(g_scriptActors.FlagSet(3));
  EXPECT_FALSE(g_scriptActors.FlagSet(4));
  EXPECT_TRUE(g_scriptActors.FlagSet(5));
  // Ysbail was never brought in (no actions yet): no portal, no command, no speech of the dead.
  EXPECT_EQ(g_script.Event(16).runState, kScriptArmed);
  EXPECT_EQ(g_script.Event(15).runState, kScriptArmed);
}

TEST_F(CastleBattle, ThePlayersWizardAtTheGateSetsOffItsTrigger) {
  ASSERT_TRUE(LoadBattle(battle_));
  CCreature* wizard = g_creatureArray.InUse(g_armyTable.FindByName("Edric")->wizardCreature);
  ASSERT_NE(wizard, nullptr);
  wizard->OfferTriggerCell();
  EXPECT_EQ(g_script.Event(19).runState, kScriptArmed);  // not at the gate
  int x, y, z;
  ASSERT_TRUE(GetAreaCentreByName("Castle Gate", x, y, z));
  wizard->cellX = x, wizard->cellY = y, wizard->level = z;
  wizard->OfferTriggerCell();
  EXPECT_EQ(g_script.Event(19).runState, kScriptRetired);
}

}  // namespace
