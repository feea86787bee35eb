// The decision protocol's base, the default decision and the prototype table.
#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "ai/AIBudget.h"
#include "ai/AIDefaultDecision.h"
#include "ai/AIGroupNode.h"
#include "ai/AIPrototypes.h"

namespace {

TEST(AIPrototypesTest, TheTableHoldsTypes5To59OnceEachInItsOrder) {
  const int expected[] = {5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 52, 22,
                          23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41,
                          42, 43, 44, 45, 46, 53, 54, 47, 48, 51, 57, 49, 50, 55, 56, 58, 59};
  std::set<int> seen;
  int count = 0;
  for (; g_aiPrototypes[count]; ++count) {
    ASSERT_LT(count, kAIPrototypeCount);
    EXPECT_EQ(g_aiPrototypes[count]->type, expected[count]) << "entry " << count;
    seen.insert(g_aiPrototypes[count]->type);
  }
  EXPECT_EQ(count, kAIPrototypeCount);
  EXPECT_EQ(seen.size(), 55u);
  EXPECT_EQ(g_aiPrototypes[-1], nullptr);
}

TEST(AIPrototypesTest, FreshInstancesStartClean) {
  for (int i = 0; g_aiPrototypes[i]; ++i) {
    std::unique_ptr<CAIDecision> fresh(g_aiPrototypes[i]->NewInstance());
    ASSERT_NE(fresh, nullptr);
    EXPECT_NE(fresh.get(), g_aiPrototypes[i]);
    EXPECT_EQ(fresh->type, g_aiPrototypes[i]->type);
    EXPECT_EQ(fresh->experienceIndex, -1);
    EXPECT_TRUE(fresh->groups.empty());
    EXPECT_EQ(fresh->search.restart, 1);
    EXPECT_EQ(fresh->routeSearch.restart, 1);
    EXPECT_TRUE(fresh->search.open.empty());
    EXPECT_TRUE(fresh->search.closed.empty());
  }
}

TEST(AIPrototypesTest, PlaceholdersNeverOfferACandidate) {
  CAIGroupNode group;
  CAIBudget budget;
  budget.steps = budget.total = 100;
  for (int i = 0; g_aiPrototypes[i]; ++i) {
    std::unique_ptr<CAIDecision> fresh(g_aiPrototypes[i]->NewInstance());
    fresh->Prepare(&group, nullptr, 0);
    float score = 0.0f;
    EXPECT_FALSE(fresh->Evaluate(&score, budget, 0)) << "type " << fresh->type;
  }
}

// A decision that keeps every base behaviour.
class BaseBehaviour final : public CAIDecisionOf<BaseBehaviour> {
 public:
  BaseBehaviour() : CAIDecisionOf<BaseBehaviour>(30) {}
  void Prepare(CAIGroupNode*, CAIPlayerMemory*, int) override {}
  bool Evaluate(float*, CAIBudget&, int) override { return false; }
  int Execute() override { return 3; }
};

TEST(AIDecisionTest, BaseOperationsAndGroupRelease) {
  BaseBehaviour decision;
  CAIBudget budget;
  for (int tick = 0; tick < 5; ++tick) EXPECT_TRUE(decision.Step(nullptr, tick, budget));
  decision.KeepBest();  // the empty operation changes nothing
  EXPECT_EQ(decision.type, 30);
  EXPECT_EQ(decision.experienceIndex, -1);
  // Owned trees are released, null entries skipped, children detached from the freed nodes.
  CAIGroupNode outside;
  auto* owned = new CAIGroupNode();
  owned->AddChild(&outside);
  decision.groups = {nullptr, owned, nullptr};
  decision.FreeGroups();
  EXPECT_TRUE(decision.groups.empty());
  EXPECT_EQ(outside.parent, nullptr);
}

TEST(AIDecisionTest, DefaultDecisionOffersOneCandidateToATopLevelGroup) {
  CAIDefaultDecision decision;
  CAIGroupNode top, child;
  top.AddChild(&child);
  CAIBudget budget;
  float score = 0.0f;
  EXPECT_FALSE(decision.Evaluate(&score, budget, 0));  // not prepared
  decision.Prepare(&top, nullptr, 0);
  ASSERT_TRUE(decision.Evaluate(&score, budget, 0));
  EXPECT_EQ(score, -1.0f);
  EXPECT_FALSE(decision.Evaluate(&score, budget, 0));
  EXPECT_EQ(decision.Execute(), 8);
  decision.Prepare(&child, nullptr, 0);
  EXPECT_FALSE(decision.Evaluate(&score, budget, 0));
  std::unique_ptr<CAIDecision> fresh(decision.NewInstance());
  EXPECT_EQ(fresh->type, kAIDefaultDecisionType);
}

}  // namespace
