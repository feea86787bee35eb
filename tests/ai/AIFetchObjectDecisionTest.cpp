// The fetch decision: every member that is no illusion is a candidate with the item nearest
// to it; one creature of a side goes for one object; while it runs the carrier walks to the
// object and the others follow it, until the object is gone.
#include <gtest/gtest.h>

#include "AIObjectSeekScene.h"
#include "ai/AIFetchObjectDecision.h"
#include "creatures/CreatureStrength.h"

namespace {

using ai_test::ObjectSeekScene;

constexpr int kTick = 30;
constexpr int kTroop = 2;

class FetchObject : public ObjectSeekScene {};

TEST_F(FetchObject, FetchesOnlyKindsZeroToFourAndSix) {
  for (int kind = -1; kind <= 20; ++kind)
    EXPECT_EQ(CAIFetchObjectDecision::Fetches(kind), (kind >= 0 && kind <= 4) || kind == 6) << kind;
}

TEST_F(FetchObject, AnIllusionNeverFetches) {
  WizardOnGrid(1, 0, 0);
  CCreature& illusion = OnGrid(kTroop, 1, 2, 2);
  illusion.illusion = 1;
  CCreature& troop = OnGrid(kTroop, 1, 6, 6);
  Lay(0, 3, 3, 2);
  CAIFetchObjectDecision d;
  EXPECT_EQ(Carriers(d, Acting({&illusion, &troop}), kTick), std::vector<int>{troop.index});
  EXPECT_EQ(d.work.vector.size(), 67u + 7u);
  EXPECT_EQ(d.work.vector[68], troop.health);
  CAIFetchObjectDecision onlyIllusions;
  onlyIllusions.side = 1;
  onlyIllusions.Prepare(Acting({&illusion}), sides, kTick);
  EXPECT_EQ(onlyIllusions.prepared, 0);
}

TEST_F(FetchObject, NeverTwoFetchersOfASideOnOneObject) {
  WizardOnGrid(1, 0, 0);
  CCreature& first = OnGrid(kTroop, 1, 3, 3);
  CCreature& second = OnGrid(kTroop, 1, 5, 5);
  Lay(4, 1, 4, 4);
  CAIFetchObjectDecision running;
  CAIGroupNode* firstGroup = Acting({&first});
  ASSERT_EQ(Carriers(running, firstGroup, kTick).size(), 1u);
  running.KeepBest();
  EXPECT_EQ(running.keptObject, 4);
  Runs(firstGroup, running);
  // Another group of the side leaves the object alone; the fetcher's own group keeps it.
  CAIFetchObjectDecision other;
  EXPECT_TRUE(Carriers(other, Acting({&second}), kTick).empty());
  CAIFetchObjectDecision again;
  EXPECT_EQ(Carriers(again, firstGroup, kTick), std::vector<int>{first.index});
}

// An evaluation waits in a member's route search for the next frame; meanwhile the member dies
// and the controller frees its leaf. The resumed evaluation passes it over without reading it.
TEST_F(FetchObject, ACandidateWhoseLeafWasFreedBetweenFramesIsPassedOverUnread) {
  WizardOnGrid(1, 0, 0);
  CCreature& far = OnGrid(kTroop, 1, 5, 5);
  CCreature& near = OnGrid(kTroop, 1, 0, 1);
  Lay(0, 0, 1, 0);
  CAIFetchObjectDecision d;
  d.side = 1;
  CAIGroupNode* group = Acting({&far, &near});
  d.Prepare(group, sides, kTick);
  float score = 0.0f;
  CAIBudget little = Budget(1);
  ASSERT_FALSE(d.Evaluate(&score, little, kTick));
  CAIGroupNode* leaf = group->children[0];
  ASSERT_EQ(d.currentCandidate, leaf);  // still searching from the far member
  group->RemoveChild(leaf);
  std::erase(nodes, leaf);
  delete leaf;
  CAIBudget plenty = Budget(10000);
  ASSERT_TRUE(d.Evaluate(&score, plenty, kTick));
  EXPECT_EQ(d.work.candidate->creature, &near);
}

TEST_F(FetchObject, TheCarrierWalksToTheObjectTheOthersFollowUntilItIsGone) {
  WizardOnGrid(1, 0, 0);
  CCreature& carrier = OnGrid(kTroop, 1, 3, 3);
  CCreature& follower = OnGrid(kTroop, 1, 8, 8);
  Lay(2, 0, 4, 3);
  CAIFetchObjectDecision d;
  d.side = 1;
  d.Prepare(Acting({&carrier, &follower}), sides, kTick);
  CAIBudget budget = Budget(1000);
  float score = 0.0f;
  ASSERT_TRUE(d.Evaluate(&score, budget, kTick));
  ASSERT_EQ(d.work.candidate->creature, &carrier);
  d.KeepBest();
  EXPECT_TRUE(d.Step(sides, kTick + 1, budget));
  COrderReport order;
  carrier.GetCurrentOrder(order);
  EXPECT_EQ(order.x, 2 + 4 * 4);
  follower.GetCurrentOrder(order);
  EXPECT_EQ(order.kind, 2);
  EXPECT_EQ(order.x, carrier.cellX);
  // The slot now holds another kind of object: the item is gone, and so is the plan.
  Lay(2, 19, 4, 3);
  EXPECT_FALSE(d.Step(sides, kTick + 2, budget));
}

}  // namespace
