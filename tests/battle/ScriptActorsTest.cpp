// The script's characters: deaths, removals and exits, lost key characters, the passage into
// the campaign at the end of a battle, and the area and artefact queries.
#include "ScriptTestWorld.h"
#include "battle/Battle.h"

namespace script_test {
namespace {

struct FakeBattleEnd : IScriptBattleEnd {
  std::string DefeatMessage(int n) override { return n == 1 ? "With %s fell the battle." : ""; }
};

class ScriptActors : public ScriptWorld {
 protected:
  void SetUp() override {
    ScriptWorld::SetUp();
    g_creatureTypes[27].TileSizeXY = g_creatureTypes[27].TileHeight = 1;
    saved_ = g_battle;
    g_battle = &battle;
  }
  void TearDown() override {
    g_battle = saved_;
    ScriptWorld::TearDown();
  }
  // A character bound to a new creature of the army, alive in the battle.
  ScriptActor& Bind(const char* name, int creature) {
    ScriptActor& actor = *g_scriptActors.Register(name);
    actor.creature = creature;
    actor.state = kActorAliveInBattle;
    return actor;
  }

  CBattle battle;
  FakeBattleEnd end;

 private:
  CBattle* saved_ = nullptr;
  HookScope<IScriptBattleEnd> endScope_{g_scriptBattleEnd, end};
};

TEST_F(ScriptActors, AKeyCharacterThatDiesLosesTheBattleWithItsNameAsWritten) {
  const int knight = AddCreature(3, 0, 5, 5);
  Bind("Sir %s%n", knight).keyCharacter = 1;
  EXPECT_EQ(g_script.OnCreatureKilled(knight), 0);
  EXPECT_EQ(battle.criticalActorLost, 1);
  EXPECT_EQ(end.endMessage, "With Sir %s%n fell the battle.");
  EXPECT_EQ(g_scriptActors.FindByName("Sir %s%n")->state, kActorDeadInBattle);
}

TEST_F(ScriptActors, AKeyCharacterThatExitedFirstLosesNothing) {
  const int knight = AddCreature(3, 0, 5, 5), squire = AddCreature(3, 0, 6, 5);
  Bind("Bran", knight).keyCharacter = 1;
  Bind("Owen", squire).keyCharacter = 1;
  ScriptActor* gone = g_scriptActors.MarkGone(knight);
  ASSERT_NE(gone, nullptr);
  EXPECT_EQ(gone->state, kActorExited);
  EXPECT_EQ(gone->lastCell[0], 5);
  g_script.OnCreatureKilled(knight);
  EXPECT_EQ(battle.criticalActorLost, 0);
  // Owen's creature leaves the map alive in the battle: that is a death.
  g_scriptActors.OnCreatureRemoved(squire);
  EXPECT_EQ(battle.criticalActorLost, 1);
  EXPECT_EQ(g_scriptActors.FindByName("Owen")->state, kActorDeadInBattle);
  EXPECT_EQ(g_scriptActors.FindByName("Owen")->creature, -1);
}

TEST_F(ScriptActors, AnExitedBoundCharacterTakesItsDeathOver) {
  const int trapped = AddCreature(3, 0, 5, 5);
  Bind("Bran", trapped).state = kActorExited;  // a portal took it while it is still on the map
  EXPECT_EQ(g_script.OnCreatureKilled(trapped), 1);
  EXPECT_EQ(g_scriptActors.FindByName("Bran")->state, kActorExited);
}

TEST_F(ScriptActors, TheMessengersDeathChangesNoCharacterAndFiresNoEvent) {
  Load(Event(1, "EventType=EXPERIENCE\nTriggerTarget=CREATURE_TYPE\nDeathActivate=True"));
  const int herald = AddCreature(27, 0, 5, 5), goblin = AddCreature(3, 0, 6, 6);
  Bind("Herald", herald);
  EXPECT_EQ(g_script.OnCreatureKilled(herald), 1);
  EXPECT_EQ(C(herald).inUse, 0);  // taken off the map
  EXPECT_TRUE(actions.runs.empty());
  EXPECT_EQ(g_scriptActors.FindByName("Herald")->state, kActorAliveInBattle);
  EXPECT_EQ(g_script.OnCreatureKilled(goblin), 0);
  EXPECT_EQ(actions.runs, std::vector<int>{0});  // an ordinary death fires
}

TEST_F(ScriptActors, TheEndOfABattleCarriesCharactersIntoTheCampaign) {
  for (bool lost : {false, true}) {
    g_scriptActors.Clear();
    Bind("Alive", -1);
    Bind("Dead", -1).state = kActorDeadInBattle;
    Bind("Exited", -1).state = kActorExited;
    Bind("Guest", -1).temporary = 1;
    Bind("Campaign", -1).state = kActorAliveInCampaign;
    Bind("Late", 3).state = kActorDeadInCampaign;
    g_scriptActors.EndBattle(lost, "Moorland", 2);
    EXPECT_EQ(g_scriptActors.FindByName("Guest"), nullptr) << lost;
    EXPECT_EQ(g_scriptActors.FindByName("Late")->creature, -1);
    EXPECT_EQ(g_scriptActors.entries[4].inUse, 1);  // the entries close up after the freed one
    EXPECT_EQ(g_scriptActors.entries[5].inUse, 0);
    const int dead = g_scriptActors.FindByName("Dead")->state;
    EXPECT_EQ(dead, lost ? kActorAliveInCampaign : kActorDeadInCampaign);
    for (const char* name : {"Alive", "Exited", "Campaign"})
      EXPECT_EQ(g_scriptActors.FindByName(name)->state, kActorAliveInCampaign) << name;
    EXPECT_EQ(g_scriptActors.FindByName("Late")->state, lost ? kActorAliveInCampaign : kActorDeadInCampaign);
    EXPECT_EQ(g_scriptActors.RegionSet(2), !lost);
  }
}

TEST_F(ScriptActors, RegionsCountFromTheirRealmsBaseAndNeverPastTheBytes) {
  g_scriptActors.EndBattle(false, "Isles", 3);
  g_scriptActors.EndBattle(false, "kingdom", 5);
  EXPECT_TRUE(g_scriptActors.RegionSet(11));
  EXPECT_TRUE(g_scriptActors.RegionSet(25));
  uint8_t before[44];
  std::memcpy(before, g_scriptActors.regionCompletion, sizeof before);
  const uint8_t flagsBefore = g_scriptActors.flags[0];
  g_scriptActors.EndBattle(false, "kingdom", 24);  // byte 44: past the table
  g_scriptActors.EndBattle(false, nullptr, 1);     // no campaign realm
  EXPECT_EQ(std::memcmp(before, g_scriptActors.regionCompletion, sizeof before), 0);
  EXPECT_EQ(g_scriptActors.flags[0], flagsBefore);
}

TEST_F(ScriptActors, AreasCentreAndHoldAcrossTheMapsEdge) {
  AddArea("Ford", 60, 46, 2, 3, 1, 3);
  int x = 0, y = 0, z = 0;
  ASSERT_TRUE(GetAreaCentreByName("Ford", x, y, z));
  EXPECT_EQ(x, 63);  // (60 + 3 + 64) / 2
  EXPECT_EQ(y, 47);  // (46 + 1 + 48) / 2
  EXPECT_EQ(z, 2);
  EXPECT_FALSE(GetAreaCentreByName("Nowhere", x, y, z));
  EXPECT_TRUE(g_script.IsPointInNamedArea("Ford", 1, 47, 3));
  EXPECT_FALSE(g_script.IsPointInNamedArea("Ford", 4, 47, 3));
  EXPECT_FALSE(g_script.IsPointInNamedArea("Ford", 1, 47, 4));
  // A large creature's footprint reaches into the area from outside it.
  g_creatureTypes[5].TileSizeXY = 2;
  const int large = AddCreature(5, 0, 59, 45, 3);
  EXPECT_TRUE(g_script.IsCreatureInNamedArea("Ford", large));
  C(large).cellY = 43;
  EXPECT_FALSE(g_script.IsCreatureInNamedArea("Ford", large));
}

TEST_F(ScriptActors, ArmiesCarryArtefactsAndScriptsCountTheirExperience) {
  UseArmy(1, "Morvane");
  const int a = AddCreature(3, 1, 2, 2), b = AddCreature(3, 1, 3, 3);
  C(a).events[4] = CCreatureEvent{40, 0, 0, 0, 1, 1};
  C(b).events[0] = CCreatureEvent{40, 0, 0, 0, 1, 1};
  C(b).events[1] = CCreatureEvent{41, 0, 0, 0, 1, 0};  // not active
  EXPECT_TRUE(g_script.ArmyHasArtefact(40, 2, "Morvane"));
  EXPECT_TRUE(g_script.ArmyHasArtefact(40, 0, "Morvane"));
  EXPECT_FALSE(g_script.ArmyHasArtefact(40, 3, "Morvane"));
  EXPECT_FALSE(g_script.ArmyHasArtefact(41, 1, "Morvane"));
  EXPECT_FALSE(g_script.ArmyHasArtefact(40, 1, "Cadoc"));
  g_difficulty = 3;
  Load(Event(1, "EventType=EXPERIENCE\nExperiencePoints=150") + Event(2, "EventType=EXPERIENCE\nExperiencePoints=75") +
       Event(3, "EventType=DEPLOYMENT\nWizard=True\nMaximumDifficulty=2") +
       Event(4, "EventType=DEPLOYMENT\nWizard=True\nMinimumDifficulty=3"));
  EXPECT_EQ(g_script.GetTotalExperience(), 225);
  EXPECT_TRUE(g_script.HasWizardDeployment());
  g_script.Event(3).runState = kScriptRetired;
  EXPECT_FALSE(g_script.HasWizardDeployment());
}

}  // namespace
}  // namespace script_test
