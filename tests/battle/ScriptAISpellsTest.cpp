// What the computer wizards' scripted spells read of the battle script: the command events of
// a wizard's actor that name a spell, their target, their value and whether they force the
// cast.
#include "ScriptTestWorld.h"
#include "ai/AIScriptSpellDecision.h"
#include "battle/ScriptActions.h"

namespace script_test {
namespace {

class ScriptAISpells : public ScriptWorld {
 protected:
  void SetUp() override {
    ScriptWorld::SetUp();
    InstallScriptAISpells();
  }
  void TearDown() override {
    g_aiScriptSpells.Install(nullptr);
    ScriptWorld::TearDown();
  }
};

TEST_F(ScriptAISpells, TheCommandEventsOfTheWizardsActorOfferTheirSpells) {
  const int wizard = AddCreature(24, 1, 5, 5);
  UseArmy(1, "Morvane", wizard);
  AddArea("Pyre", 10, 10, 0, 12, 12, 0);
  Load(Event(1,
             "EventType=COMMAND\nCommandCharacter=Morvane\nSpellToCast=71\nSpellTarget=LOCATION\n"
             "TargetLocation=Pyre\nManaBoost=True\nRating=75") +
       Event(2, "EventType=COMMAND\nCommandCharacter=Morvane\nSpellToCast=71\nSpellTarget=SELF\nPrePause=30") +
       Event(3, "EventType=COMMAND\nCommandCharacter=Morvane\nDestinationType=LOCATION\nDestinationLocation=Pyre"));
  ASSERT_EQ(g_aiScriptSpells->EventCount(), 3);
  CAIScriptSpell offer;
  ASSERT_TRUE(g_aiScriptSpells->OfferedSpell(0, C(wizard), offer));
  EXPECT_EQ(offer.record, 0);
  EXPECT_EQ(offer.spell, 71);
  EXPECT_EQ(offer.targetKind, 2);
  EXPECT_EQ(offer.targetX, 11);
  EXPECT_EQ(offer.targetY, 11);
  EXPECT_TRUE(offer.forced);
  EXPECT_FLOAT_EQ(offer.value, 0.5f);
  EXPECT_EQ(offer.recordedWait, 0);
  ASSERT_TRUE(g_aiScriptSpells->OfferedSpell(1, C(wizard), offer));
  EXPECT_EQ(offer.targetKind, 3);
  EXPECT_FALSE(offer.forced);
  // The event's own wait is its pre-pause as the script gives it, however much of it a
  // firing has counted down.
  g_script.Event(1).prePauseLeft = 4;
  ASSERT_TRUE(g_aiScriptSpells->OfferedSpell(1, C(wizard), offer));
  EXPECT_EQ(offer.recordedWait, 30);
  // No spell named: nothing offered; nor to another creature; nor once retired.
  EXPECT_FALSE(g_aiScriptSpells->OfferedSpell(2, C(wizard), offer));
  const int other = AddCreature(24, 2, 20, 20);
  EXPECT_FALSE(g_aiScriptSpells->OfferedSpell(1, C(other), offer));
  g_script.Event(1).runState = kScriptRetired;
  EXPECT_FALSE(g_aiScriptSpells->OfferedSpell(1, C(wizard), offer));
  EXPECT_FALSE(g_aiScriptSpells->OfferedSpell(7, C(wizard), offer));  // no such record
}

}  // namespace
}  // namespace script_test
