// The evade decision: only a group under attack evades; it goes to the cheapest node its
// first member rates 0; one allowance of 50 steps serves the whole evaluation however large
// the group; while it runs the members take cautious routes to the node.
#include <gtest/gtest.h>

#include "AIGroupDecisionScene.h"
#include "ai/AIEvadeDecision.h"
#include "creatures/CreatureStrength.h"

namespace {

using ai_test::GroupDecisionScene;

constexpr int kTick = 90;
constexpr int kTroop = 2;

class Evade : public GroupDecisionScene {
 protected:
  void SetUp() override {
    GroupDecisionScene::SetUp();
    LayGrid();
  }
  CAIGroupNode* Acting(const std::vector<CCreature*>& members) {
    CAIGroupNode* group = Group(members);
    group->kind = 0;
    return group;
  }
  // An enemy attacking the creature.
  CCreature& AttackerOf(const CCreature& victim) {
    UseArmy(2);
    CCreature& enemy = Place(kTroop, 2, 40, 40);
    enemy.order = ORDER_ATTACK_CREATURE;
    enemy.target = victim.index;
    return enemy;
  }
  // Every node the side rates 1 but one.
  static void RateAllBut(int quiet) {
    for (int n = 0; n < kGridSide * kGridSide; ++n) Rate(n, 1, n == quiet ? 0 : 1);
  }
};

TEST_F(Evade, AGroupNobodyAttacksIsNotPrepared) {
  CCreature& wizard = WizardOnGrid(1, 0, 0);
  CAIEvadeDecision d;
  d.side = 1;
  d.Prepare(Acting({&wizard}), sides, kTick);
  EXPECT_EQ(d.prepared, 0);
  AttackerOf(wizard);
  CAIEvadeDecision attacked;
  attacked.side = 1;
  attacked.Prepare(Acting({&wizard}), sides, kTick);
  EXPECT_EQ(attacked.prepared, 1);
}

TEST_F(Evade, TheGroupGoesToTheCheapestQuietNodeOnCautiousRoutes) {
  CCreature& wizard = WizardOnGrid(1, 2, 2);
  CCreature& troop = OnGrid(kTroop, 1, 3, 2);
  AttackerOf(troop);
  RateAllBut(GridNode(5, 2));
  CAIEvadeDecision d;
  d.side = 1;
  d.Prepare(Acting({&wizard, &troop}), sides, kTick);
  CAIBudget budget = Budget(1000);
  float score = 0.0f;
  ASSERT_TRUE(d.Evaluate(&score, budget, kTick));
  EXPECT_EQ(d.quietNode, GridNode(5, 2));
  EXPECT_EQ(d.work.resultA, 1);
  ASSERT_EQ(d.work.vector.size(), 67u + 5u);
  EXPECT_FALSE(d.Evaluate(&score, budget, kTick)) << "one plan a preparation";
  d.KeepBest();
  CAIBudget stepBudget = Budget(100);
  EXPECT_TRUE(d.Step(sides, kTick + 1, stepBudget));
  EXPECT_EQ(troop.aiDangerRoute, 1);
  COrderReport order;
  troop.GetCurrentOrder(order);
  EXPECT_EQ(order.x, Node(GridNode(5, 2)).x);
  // Ground more dangerous than the plan accepted ends it.
  Rate(GridNode(3, 2), 1, 2);
  EXPECT_FALSE(d.Step(sides, kTick + 2, stepBudget));
}

TEST_F(Evade, OneEvaluationSpendsAtMostFiftyStepsAtAnyGroupSize) {
  RateAllBut(GridNode(9, 9));
  for (int size : {1, 2, 4, 8}) {
    g_creatureArray.ReleaseAll();
    std::vector<CCreature*> members{&WizardOnGrid(1, 0, 0)};
    for (int m = 1; m < size; ++m) members.push_back(&OnGrid(kTroop, 1, m % 3, m / 3));
    AttackerOf(*members.front());
    CAIEvadeDecision d;
    d.side = 1;
    d.Prepare(Acting(members), sides, kTick);
    ASSERT_EQ(d.prepared, 1) << size;
    CAIBudget budget = Budget(1000);
    float score = 0.0f;
    for (int call = 0; call < 5; ++call) d.Evaluate(&score, budget, kTick);
    EXPECT_LE(1000 - budget.steps, CAIEvadeDecision::kGroupAllowance) << size;
  }
}

}  // namespace
