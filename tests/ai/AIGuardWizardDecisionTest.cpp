// The guard decision: one group of a side guards its wizard at a time (the guarding group may
// be prepared again); without a cluster within ten tiles of the wizard the plan is scored with
// the distance 10 and the spread 0 and the guards close in; a dead wizard ends it at once.
#include <gtest/gtest.h>

#include "AIGroupDecisionScene.h"
#include "ai/AIGuardWizardDecision.h"
#include "creatures/CreatureStrength.h"

namespace {

using ai_test::GroupDecisionScene;

constexpr int kTick = 60;
constexpr int kTroop = 2;

class GuardWizard : public GroupDecisionScene {
 protected:
  void SetUp() override {
    GroupDecisionScene::SetUp();
    LayGrid();
    wizard = &WizardOnGrid(1, 2, 2);
  }
  CAIGroupNode* Acting(const std::vector<CCreature*>& members) {
    CAIGroupNode* group = Group(members);
    group->kind = 0;
    return group;
  }
  bool Prepared(CAIGroupNode* group) {
    CAIGuardWizardDecision d;
    d.side = 1;
    d.Prepare(group, sides, kTick);
    return d.prepared != 0;
  }
  static void Runs(CAIGroupNode* group, CAIDecision& d) {
    group->decision = &d;
    for (CAIGroupNode* leaf : group->children) leaf->creature->aiGroupNode[0] = leaf;
  }

  CCreature* wizard = nullptr;
};

TEST_F(GuardWizard, OneGroupOfASideGuardsAtATime) {
  CCreature& a = OnGrid(kTroop, 1, 5, 5);
  CCreature& b = OnGrid(kTroop, 1, 6, 6);
  CAIGroupNode* guarding = Acting({&a});
  EXPECT_TRUE(Prepared(guarding));
  EXPECT_FALSE(Prepared(Acting({wizard, &b}))) << "a group with the wizard";
  CAIGuardWizardDecision running;
  running.side = 1;
  Runs(guarding, running);
  EXPECT_FALSE(Prepared(Acting({&b})));
  EXPECT_TRUE(Prepared(guarding));
}

TEST_F(GuardWizard, WithoutANearThreatTheInputsAreTenAndZeroAndTheGuardsCloseIn) {
  CCreature& guard = OnGrid(kTroop, 1, 8, 8);
  UseArmy(2);
  CCreature& enemy = OnGrid(kTroop, 2, 2, 5);  // 12 tiles from the wizard
  Remember(1, 0, enemy, kTick);
  CAIGuardWizardDecision d;
  d.side = 1;
  d.Prepare(Acting({&guard}), sides, kTick);
  ASSERT_EQ(d.prepared, 1);
  CAIBudget budget = Budget(1000);
  float score = 0.0f;
  ASSERT_TRUE(d.Evaluate(&score, budget, kTick));
  EXPECT_EQ(d.nearestThreat, d.emptyGroup);
  ASSERT_EQ(d.work.vector.size(), 67u + 7u);
  EXPECT_EQ(d.work.vector[68], 10);
  EXPECT_EQ(d.work.vector[69], 0);
  EXPECT_FALSE(d.Evaluate(&score, budget, kTick)) << "the wizard is the one candidate";
  d.KeepBest();
  EXPECT_TRUE(d.Step(sides, kTick + 1, budget));
  COrderReport order;
  guard.GetCurrentOrder(order);
  EXPECT_EQ(order.kind, 2);
  EXPECT_EQ(order.x, wizard->cellX);
  EXPECT_EQ(order.y, wizard->cellY);
}

TEST_F(GuardWizard, ADeadWizardEndsTheGuardAtOnce) {
  CCreature& guard = OnGrid(kTroop, 1, 4, 4);
  CAIGuardWizardDecision d;
  d.side = 1;
  d.Prepare(Acting({&guard}), sides, kTick);
  CAIBudget budget = Budget(1000);
  float score = 0.0f;
  ASSERT_TRUE(d.Evaluate(&score, budget, kTick));
  d.KeepBest();
  EXPECT_TRUE(d.Step(sides, kTick + 1, budget));
  wizard->health = 0;
  EXPECT_FALSE(d.Step(sides, kTick + 2, budget));
}

}  // namespace
