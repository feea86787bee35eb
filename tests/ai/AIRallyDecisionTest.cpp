// The rally decision: the rally node is the cheapest node open to the sky as the first member
// sees it (its own when it qualifies), ties go to the successor drawn first, and one allowance
// of 50 steps serves every member's search; while it runs the members walk to the node.
#include <gtest/gtest.h>

#include <set>

#include "AIGroupDecisionScene.h"
#include "ai/AIQueries.h"
#include "ai/AIRallyDecision.h"
#include "core/Random.h"

namespace {

using ai_test::GroupDecisionScene;

constexpr int kTick = 50;
constexpr int kTroop = 2;

class Rally : public GroupDecisionScene {
 protected:
  // An enemy that side 1 sees.
  void SeenEnemy(int x, int y) {
    UseArmy(2);
    CCreature& enemy = Place(kTroop, 2, x, y);
    enemy.sightingCounters[1] = kSightingFull;
  }
  CAIGroupNode* Acting(const std::vector<CCreature*>& members) {
    CAIGroupNode* group = Group(members);
    group->kind = 0;
    return group;
  }
  bool Score(CAIRallyDecision& d, CAIGroupNode* group, int steps = 1000) {
    d.side = 1;
    d.Prepare(group, sides, kTick);
    CAIBudget budget = Budget(steps);
    float score = 0.0f;
    return d.Evaluate(&score, budget, kTick);
  }
};

TEST_F(Rally, AFirstMemberOnAQualifyingNodeRalliesThereAtNoCost) {
  LayGrid();
  CCreature& wizard = WizardOnGrid(1, 3, 3);
  CCreature& troop = OnGrid(kTroop, 1, 6, 3);
  SeenEnemy(40, 40);
  ASSERT_TRUE(NodeOpenAbove(GridNode(3, 3)));
  CAIRallyDecision d;
  ASSERT_TRUE(Score(d, Acting({&wizard, &troop})));
  EXPECT_EQ(d.rallyNode, GridNode(3, 3));
  EXPECT_EQ(d.nodeSearch.bestCost, 0);
  EXPECT_EQ(d.nodeSearch.closed.size(), 1u);  // nothing expanded
  ASSERT_EQ(d.work.vector.size(), 71u);
  EXPECT_EQ(d.work.vector[67], 0);
  d.KeepBest();
  EXPECT_EQ(d.keptPlace.x, wizard.cellX);
  EXPECT_EQ(d.keptPlace.y, wizard.cellY);

  // While it runs, the troop walks to the wizard's node.
  CAIBudget budget = Budget(100);
  EXPECT_TRUE(d.Step(sides, kTick + 1, budget));
  EXPECT_EQ(troop.GetCurrentOrder(), ORDER_WALK_TO_POS);
  EXPECT_EQ(troop.orderState.goalX, wizard.cellX);
  // One scored plan per preparation.
  float score = 0.0f;
  EXPECT_FALSE(d.Evaluate(&score, budget, kTick));
}

TEST_F(Rally, OfEquallyCheapQualifyingNodesTheOneDrawnFirstWins) {
  LayGrid();
  // The first member's own node is out of use, so it does not qualify; its four neighbours
  // do, all at the same cost.
  const int start = GridNode(4, 4);
  Node(start).inUse = 0;
  std::set<int> winners;
  for (uint32_t seed = 1; seed <= 12; ++seed) {
    g_creatureArray.ReleaseAll();
    CCreature& wizard = WizardOnGrid(1, 4, 4);
    SeenEnemy(40, 40);
    CAIGroupNode* group = Acting({&wizard});
    g_aiRandom.Seed(seed);
    CRandom copy = g_aiRandom;
    std::vector<int> neighbours;
    for (const CPathLink& link : Node(start).links)
      if (link.Exists()) neighbours.push_back(link.target);
    const int expected = neighbours[(copy.Next() & 0x7fffffffu) % neighbours.size()];
    CAIRallyDecision d;
    ASSERT_TRUE(Score(d, group)) << seed;
    EXPECT_EQ(d.rallyNode, expected) << seed;
    winners.insert(d.rallyNode);
  }
  EXPECT_GE(winners.size(), 2u);
}

TEST_F(Rally, OneAllowanceOfFiftyStepsServesEveryMembersSearch) {
  // A single winding way of 80 links from the troops' node to the wizard's: each troop's
  // search takes some 18 of the 50 steps. The allowance left after two troops cannot route a
  // third, though each alone would fit in 20 steps.
  std::vector<int> snake;
  for (int j = 0; j < 9; ++j)
    for (int k = 0; k < kGridSide; ++k) {
      const int i = j % 2 == 0 ? k : kGridSide - 1 - k;
      snake.push_back(AddNode(2 + 4 * i, 2 + 4 * j));
    }
  for (size_t n = 1; n < snake.size(); ++n) Join(snake[n - 1], snake[n]);
  const int rallyEnd = snake.front(), far = snake[80];
  struct Case {
    int troops;
    bool scored;
  };
  for (const Case test : {Case{2, true}, Case{3, false}}) {
    g_creatureArray.ReleaseAll();
    CCreature& wizard = PlaceWizard(1, Node(rallyEnd).x, Node(rallyEnd).y);
    wizard.nodeRoute.NearestNode() = rallyEnd;
    std::vector<CCreature*> members{&wizard};
    for (int t = 0; t < test.troops; ++t) {
      CCreature& troop = Place(kTroop, 1, Node(far).x + t, Node(far).y);
      troop.nodeRoute.NearestNode() = far;
      members.push_back(&troop);
    }
    SeenEnemy(40, 40);
    CAIRallyDecision d;
    EXPECT_EQ(Score(d, Acting(members)), test.scored) << test.troops;
    if (!test.scored) EXPECT_EQ(d.stage, 0) << "a failed search starts over from the first member";
  }
}

TEST_F(Rally, ARatedNodeOnTheWayAboveTheCeilingHaltsTheGroup) {
  LayGrid();
  CCreature& wizard = WizardOnGrid(1, 3, 3);
  CCreature& troop = OnGrid(kTroop, 1, 6, 3);
  SeenEnemy(40, 40);
  CAIRallyDecision d;
  ASSERT_TRUE(Score(d, Acting({&wizard, &troop})));
  d.KeepBest();
  Rate(GridNode(6, 3), 1, d.kept.resultA + 1);
  CAIBudget budget = Budget(100);
  EXPECT_FALSE(d.Step(sides, kTick + 1, budget));
}

}  // namespace
