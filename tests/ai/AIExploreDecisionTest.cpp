// The explore decision: a node the side sees, or one another explorer of the side goes to,
// spends a try unscored; an empty network spends the tries without a node; the draws come
// from the computer player's own generator alone; while it runs the members walk to the node.
#include <gtest/gtest.h>

#include <set>

#include "AIGroupDecisionScene.h"
#include "ai/AIExploreDecision.h"
#include "core/Random.h"
#include "creatures/CreatureStrength.h"

namespace {

using ai_test::GroupDecisionScene;

constexpr int kTick = 70;
constexpr int kTroop = 2;

class Explore : public GroupDecisionScene {
 protected:
  void SetUp() override {
    GroupDecisionScene::SetUp();
    // Short sight unless a test lengthens it: no node of the grid is in view.
    for (int type : {0, kTroop}) g_creatureTypes[type].ViewRange = 0;
  }
  CAIGroupNode* Acting(const std::vector<CCreature*>& members) {
    CAIGroupNode* group = Group(members);
    group->kind = 0;
    return group;
  }
  // Runs the decision's evaluation to its end: the nodes it scored, in order.
  std::vector<int> ScoredNodes(CAIExploreDecision& d, CAIGroupNode* group) {
    d.side = 1;
    d.Prepare(group, sides, kTick);
    std::vector<int> scored;
    CAIBudget budget = Budget(10000);
    float score = 0.0f;
    while (d.Evaluate(&score, budget, kTick)) scored.push_back(d.workNode);
    return scored;
  }
  // The group runs the decision at unit level, as the controller leaves it after Execute.
  static void Runs(CAIGroupNode* group, CAIDecision& d) {
    group->decision = &d;
    for (CAIGroupNode* leaf : group->children) leaf->creature->aiGroupNode[0] = leaf;
  }
};

TEST_F(Explore, WithEveryNodeInViewNothingIsScoredAfterFiveTries) {
  LayGrid();
  for (int type : {0, kTroop}) g_creatureTypes[type].ViewRange = 100;
  CCreature& wizard = WizardOnGrid(1, 0, 0);
  CCreature& troop = OnGrid(kTroop, 1, 9, 9);
  CAIExploreDecision d;
  EXPECT_TRUE(ScoredNodes(d, Acting({&wizard, &troop})).empty());
  EXPECT_EQ(d.prepared, 1);
  EXPECT_EQ(d.triesLeft, 0);
}

TEST_F(Explore, UnseenNodesAreScoredOncePerTryAndTheKeptOneIsWalkedTo) {
  LayGrid();
  CCreature& wizard = WizardOnGrid(1, 0, 0);
  CCreature& troop = OnGrid(kTroop, 1, 1, 0);
  CAIExploreDecision d;
  const std::vector<int> scored = ScoredNodes(d, Acting({&wizard, &troop}));
  ASSERT_EQ(scored.size(), static_cast<size_t>(CAIExploreDecision::kTries));
  EXPECT_EQ(d.work.vector.size(), 67u + 4u);
  d.KeepBest();
  EXPECT_EQ(d.keptNode, scored.back());
  EXPECT_EQ(d.keptPlace.x, Node(d.keptNode).x);
  CAIBudget budget = Budget(100);
  EXPECT_TRUE(d.Step(sides, kTick + 1, budget));
  EXPECT_EQ(budget.steps, 100 - CAIGroupDecision::kStepCharge);
  COrderReport order;
  troop.GetCurrentOrder(order);
  EXPECT_EQ(order.kind, 2);
  EXPECT_EQ(order.x, d.keptPlace.x);
  EXPECT_EQ(order.y, d.keptPlace.y);
}

TEST_F(Explore, TwoExplorersOfASideNeverShareANode) {
  // Two nodes only: the second explorer's every try draws one of them.
  const int a = AddNode(2, 2), b = AddNode(6, 2);
  Join(a, b);
  // Nobody stands on a node, where it would see it.
  CCreature& wizard = PlaceWizard(1, 2, 6);
  wizard.nodeRoute.NearestNode() = a;
  CCreature& first = Place(kTroop, 1, 3, 6);
  first.nodeRoute.NearestNode() = a;
  CCreature& second = Place(kTroop, 1, 4, 6);
  second.nodeRoute.NearestNode() = a;
  CAIExploreDecision running;
  CAIGroupNode* firstGroup = Acting({&first});
  ASSERT_FALSE(ScoredNodes(running, firstGroup).empty());
  running.KeepBest();
  Runs(firstGroup, running);
  std::set<int> drawn;
  for (uint32_t seed = 1; seed <= 8; ++seed) {
    g_aiRandom.Seed(seed);
    CAIExploreDecision other;
    for (int node : ScoredNodes(other, Acting({&second}))) {
      EXPECT_NE(node, running.keptNode) << seed;
      drawn.insert(node);
    }
  }
  EXPECT_EQ(drawn.size(), 1u) << "the other node is still explored";
}

TEST_F(Explore, AnEmptyNetworkUsesUpTheTriesWithoutADraw) {
  CCreature& wizard = PlaceWizard(1, 2, 2);
  wizard.nodeRoute.NearestNode() = 0;  // a node the network no longer holds
  CAIExploreDecision d;
  const CRandom before = g_aiRandom;
  EXPECT_TRUE(ScoredNodes(d, Acting({&wizard})).empty());
  EXPECT_EQ(d.triesLeft, 0);
  CRandom after = g_aiRandom, expected = before;
  EXPECT_EQ(after.Next(), expected.Next());
}

TEST_F(Explore, ReseedingTheGamesGeneratorChangesNothing) {
  LayGrid();
  CCreature& wizard = WizardOnGrid(1, 0, 0);
  CCreature& troop = OnGrid(kTroop, 1, 1, 0);
  std::vector<std::vector<int>> runs;
  std::vector<std::vector<int32_t>> vectors;
  for (uint32_t gameSeed : {5u, 977u}) {
    g_random.Seed(gameSeed);
    g_aiRandom.Seed(42);
    CAIExploreDecision d;
    runs.push_back(ScoredNodes(d, Acting({&wizard, &troop})));
    vectors.push_back(d.work.vector);
  }
  EXPECT_EQ(runs[0], runs[1]);
  EXPECT_EQ(vectors[0], vectors[1]);
}

}  // namespace
