// The mana reserve decision: the score by mana, mana sources, enemies, pressure and balance,
// who may hold mana, and one score a preparation.
#include <gtest/gtest.h>

#include <cmath>

#include "AIField.h"
#include "ai/AIBudget.h"
#include "ai/AIManaReserveDecision.h"
#include "ai/AIMeasureIds.h"
#include "core/Options.h"
#include "creatures/Wizard.h"

namespace {

using ai_test::AIGroups;

class ManaReserve : public AIGroups {
 protected:
  void SetUp() override {
    AIGroups::SetUp();
    g_aiTimeSystem = kAIBudgetSteps;
    wizard = &PlaceWizard(1, 10, 10);
    wizard->SetMaxMana(200);
    wizard->aiWords[wizard_words::kControlLimit] = 0;  // no crowding test
    wizard->aiThreat = 1;                              // balance 2 / 5 = 0.4: no adjustment
    wizard->aiSideStrength = 4;
    node = builder.NewLeafNode(wizard);
    node->kind = 1;
  }
  // The one score of a fresh preparation; NaN when it does not apply.
  float Score() {
    CAIManaReserveDecision d;
    d.Prepare(node, nullptr, 0);
    CAIBudget budget;
    budget.Start(10);
    float score = 0.0f;
    if (!d.Evaluate(&score, budget, 0)) return std::nanf("");
    EXPECT_EQ(budget.steps, 9);
    EXPECT_FALSE(d.Evaluate(&score, budget, 0)) << "a second score before the next Prepare";
    return score;
  }
  CCreature* wizard = nullptr;
  CAIGroupNode* node = nullptr;
};

TEST_F(ManaReserve, TheScoreFallsWithManaAndWithEachManaSource) {
  wizard->mana = 200 << 8;
  EXPECT_NEAR(Score(), 0.2f, 1e-5f);  // (160 - 100 - 50) x 0.02
  wizard->mana = 0;
  EXPECT_FLOAT_EQ(Score(), 1.0f);  // 2.2, clamped
  CCreature& source = Place(1, 1, 12, 12);
  source.manaSource = 1;
  EXPECT_NEAR(Score(), 2.2f - 2.5f, 1e-5f);  // 5 x ManaRecovery x 5 x 0.02 less
  g_manaRecovery = 4;
  EXPECT_NEAR(Score(), 2.2f - 2.0f, 1e-5f);
  source.health = 0;  // a dead source brings nothing
  EXPECT_FLOAT_EQ(Score(), 1.0f);
}

TEST_F(ManaReserve, PressureAndTheBalanceMoveTheScore) {
  wizard->mana = 200 << 8;
  wizard->combat.attacker = 5;  // attacked lately
  EXPECT_NEAR(Score(), -0.3f, 1e-5f);
  wizard->combat.attacker = 0;
  wizard->aiThreat = 0;  // balance 1 / 5 ... below 0.2 needs more strength
  wizard->aiSideStrength = 9;
  EXPECT_NEAR(Score(), 0.3f, 1e-5f);
  wizard->aiSideStrength = 0;  // balance 1: above 0.5
  EXPECT_NEAR(Score(), 0.1f, 1e-5f);
  wizard->aiThreat = 1;
  wizard->aiSideStrength = 4;
  // Few creatures under a wide limit and plenty of mana: keeping it is less wanted.
  wizard->aiWords[wizard_words::kControlLimit] = 10;
  wizard->behaviour.armyCount = 1;  // 1 x 50 / 10 + 20 = 25 < 100
  EXPECT_NEAR(Score(), -0.3f, 1e-5f);
}

TEST_F(ManaReserve, OnlyAWizardWithManaInAnOpenSideGroupHoldsIt) {
  wizard->mana = 200 << 8;
  EXPECT_FALSE(std::isnan(Score()));
  wizard->maxMana = 0;
  EXPECT_TRUE(std::isnan(Score()));
  wizard->maxMana = 200;
  node->kind = 0;
  EXPECT_TRUE(std::isnan(Score()));
  node->kind = 1;
  CAIManaReserveDecision running;
  node->decision = &running;
  EXPECT_TRUE(std::isnan(Score()));
  node->decision = nullptr;
  CAIGroupNode* troop = builder.NewLeafNode(&Place(1, 1, 12, 12));
  troop->kind = 1;
  node = troop;
  EXPECT_TRUE(std::isnan(Score()));
}

}  // namespace
