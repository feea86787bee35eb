// A quick battle's figures: the player's creatures, ordered by frame commands, kill a rival's
// wizard; the kill, the death and the score reach the player slots of the two armies (the
// slot named like the army, else the slot of its number), and the results rank them.
#include <gtest/gtest.h>

#include <cstring>

#include "BattleFrameWorld.h"
#include "battle/BattleArmies.h"
#include "battle/QuickBattleEndScreen.h"
#include "core/PlayerSlot.h"

namespace {

constexpr int kOrderFrame = 3;

class PlayerFigures : public BattleFrameWorld {
 protected:
  void SetUp() override {
    BattleFrameWorld::SetUp();
    runCreatures_ = true;
    ResetPlayerSlots();
    g_playerSlots[0].SetName("Player");
    g_playerSlots[1].SetName("Morgana");
    g_playerSlots[2].SetName("Tam");
    for (CPlayerSlot& slot : g_playerSlots) slot.lives = 1;
  }
  void TearDown() override {
    ResetPlayerSlots();
    BattleFrameWorld::TearDown();
  }
};

TEST(PlayerSlotsOfArmies, ByNameFirstElseByNumber) {
  ResetPlayerSlots();
  g_armyTable.ResetAll();
  g_playerSlots[0].SetName("Player");
  g_playerSlots[1].SetName("Morgana");
  std::strcpy(g_armyTable.armies[0].name, "Morgana");
  std::strcpy(g_armyTable.armies[1].name, "secondAI");
  std::strcpy(g_armyTable.armies[2].name, "Player");
  EXPECT_EQ(PlayerSlotOfArmy(0), 1);   // by name
  EXPECT_EQ(PlayerSlotOfArmy(1), 1);   // by number
  EXPECT_EQ(PlayerSlotOfArmy(2), 0);   // by name
  EXPECT_EQ(PlayerSlotOfArmy(3), -1);  // nobody sits in slot 3
  EXPECT_EQ(PlayerSlotOfArmy(8), -1);
  g_armyTable.ResetAll();
  ResetPlayerSlots();
}

TEST_F(PlayerFigures, TheKillOfARivalWizardReachesTheSlotsAndTheResultsRankIt) {
  g_gameMode = kGameModeQuickBattle;
  BuildWorld(7);
  // The rival's wizard stands beside the player's wizard, weak enough to fall to its blows;
  // Tam (slot 2, no army here) scored before, so the ranking has something to sort.
  const int rival = Place(0, 1, 11, 10);
  g_armyTable.armies[1].wizardCreature = rival;
  C(rival).ownMaxHealth = 30;
  C(rival).health = 30;
  for (int army = 0; army < 8; ++army) C(rival).sightingCounters[army] = 30;
  g_playerSlots[2].score = 10;
  const int maxHealth = C(rival).GetMaxHealth();

  inputs_ = {{kOrderFrame, MakeCreatureCommand(MSG_CREATURE_ATTACK, wizard_, rival)}};
  int n = 0;
  for (; n < 600 && C(rival).health > 0; ++n) Frame(n);
  ASSERT_LE(C(rival).health, 0) << "the rival wizard still stands after " << n << " frames";

  const CPlayerSlot& player = g_playerSlots[0];
  const CPlayerSlot& morgana = g_playerSlots[1];
  EXPECT_EQ(player.kills, 1);
  EXPECT_EQ(player.deaths, 0);
  // Every blow's harm to the wizard (the last may be more than it had left), then its whole
  // health for the kill.
  EXPECT_GE(player.score, 30 + maxHealth);
  EXPECT_EQ(morgana.kills, 0);
  EXPECT_EQ(morgana.deaths, 1);
  EXPECT_EQ(morgana.score, 0);
  EXPECT_EQ(morgana.lives, 0);

  ResultsRow rows[kPlayerSlotCount];
  ASSERT_EQ(RankPlayerSlots(g_playerSlots, rows), 3);
  EXPECT_EQ(rows[0].name, "Player");
  EXPECT_EQ(rows[0].kills, 1);
  EXPECT_EQ(rows[1].name, "Tam");
  EXPECT_EQ(rows[2].name, "Morgana");
  EXPECT_EQ(rows[2].deaths, 1);

  // A new battle starts the figures again.
  ClearPlayerSlotFigures();
  EXPECT_EQ(g_playerSlots[0].kills + g_playerSlots[0].score + g_playerSlots[1].deaths, 0);
}

// Outside quick and network battles nobody keeps figures.
TEST_F(PlayerFigures, ACampaignBattleKeepsNoFigures) {
  g_gameMode = kGameModeCampaign;
  BuildWorld(7);
  const int rival = Place(0, 1, 11, 10);
  g_armyTable.armies[1].wizardCreature = rival;
  C(rival).AdjustHealth(-100000, 0, nullptr, 1);
  EXPECT_LE(C(rival).health, 0);
  EXPECT_EQ(g_playerSlots[0].kills, 0);
  EXPECT_EQ(g_playerSlots[1].deaths, 0);
}

}  // namespace
