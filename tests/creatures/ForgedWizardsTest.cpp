// The forged wizard files: every one loads without a box, carries mana enough for its
// spells, and deploys as a wizard creature on the forged ground; the player's is found by
// its name.
#include <gtest/gtest.h>

#include <string>

#include "CreatureWorld.h"
#include "creatures/CreatureHooks.h"
#include "creatures/SpellDefinition.h"
#include "creatures/WizardTable.h"
#include "platform/Files.h"
#include "support/TestSupport.h"

namespace {

class ForgedWizardsTest : public creature_test::WizardWorld {};

TEST_F(ForgedWizardsTest, EveryWizardFileLoadsAndDeploys) {
  const std::vector<std::string> files = platform::ListDirectory("wizards", "*.wzd");
  ASSERT_GE(files.size(), 6u);
  testing_support::BoxRecorder boxes;
  int mapWizards = 0;
  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    const int record = g_wizardTable.FindFree();
    ASSERT_GE(record, 0);
    CWizard& wizard = g_wizardTable.records[record];
    const bool player = file == "_start.wzd";
    ASSERT_EQ(wizard.LoadDefinition(file.c_str(), player ? 0 : 1, -1), 1);
    EXPECT_GT(wizard.spellCount, 0);
    for (int s = 0; s < wizard.spellCount; ++s) EXPECT_GE(wizard.maxMana, g_spellDefs[wizard.spellPool[s]].ManaCost);
    if (!player) {
      ++mapWizards;
      int actions = 0;
      for (const CWizardAction& action : wizard.actions) actions += action.valid;
      EXPECT_GE(actions, 2);
      EXPECT_LE(actions, 4);
      EXPECT_GT(wizard.startObjectCount, 0);
    }
    EXPECT_EQ(wizard.SpawnCreature(player ? 1 : 2, 10 + 8 * (record % 4), 10 + 6 * (record / 4 % 4), 0), 1);
    const int slot = g_armyTable.armies[player ? 1 : 2].wizardCreature;
    ASSERT_GE(slot, 0);
    EXPECT_EQ(C(slot).health, wizard.maxHealth);
    EXPECT_EQ(C(slot).spellCount, wizard.spellCount);
    C(slot).Detach();  // the wizard types are free for the next
  }
  EXPECT_GE(mapWizards, 5);
  EXPECT_EQ(boxes.Count(), 0u);
  CWizard* edric = g_wizardTable.FindByName("Edric");
  ASSERT_NE(edric, nullptr);
  EXPECT_EQ(edric->textBlock.size(), static_cast<size_t>(kWizardTextBlockBytes));
  EXPECT_STREQ(edric->animFile, "wizard1");
}

}  // namespace
