// The group decision frame and the engage decisions: when a group may engage at all, how a
// candidate's evaluation pauses and resumes with the budget, how cautious routes go round a
// dangerous node, what Execute records, and how Step spaces the group, chooses targets and
// gives up on dangerous ground.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "AIGroupDecisionScene.h"
#include "ai/AIEngageGroupDecision.h"
#include "ai/AIPrototypes.h"
#include "creatures/Wizard.h"
#include "map/MapUnits.h"
#include "platform/Files.h"
#include "support/TestSupport.h"

namespace {

using ai_test::GroupDecisionScene;

constexpr int kTick = 100;
constexpr int kTroop = 2;  // a creature type of threat class 1

class EngageGroup : public GroupDecisionScene {
 protected:
  void SetUp() override {
    GroupDecisionScene::SetUp();
    LayGrid();
  }
  // Side 1: its wizard and a troop near the top-left; side 2: its wizard and a troop, which
  // side 1 remembers, near the bottom-right.
  void MakeScene() {
    wizard = &WizardOnGrid(1, 0, 0);
    troop = &OnGrid(kTroop, 1, 2, 0);
    enemyWizard = &WizardOnGrid(2, 8, 8);
    enemy = &OnGrid(kTroop, 2, 7, 8);
    Remember(1, 0, *enemyWizard, kTick);
    Remember(1, 1, *enemy, kTick);
  }
  CAIGroupNode* Acting(const std::vector<CCreature*>& members) {
    CAIGroupNode* group = Group(members);
    group->kind = 0;
    return group;
  }
  void PrepareFor(CAIGroupDecision& d, CAIGroupNode* group) {
    d.side = 1;
    d.Prepare(group, sides, kTick);
  }

  CCreature* wizard = nullptr;
  CCreature* troop = nullptr;
  CCreature* enemyWizard = nullptr;
  CCreature* enemy = nullptr;
};

TEST_F(EngageGroup, PrepareAppliesOnlyToAFreeTopGroupOfASideWithAWizardThatRemembersEnemies) {
  struct Case {
    const char* what;
    std::function<CAIGroupNode*(EngageGroup&)> scene;
    bool prepared;
  };
  const Case cases[] = {
      {"a group with its wizard",
       [this](EngageGroup&) {
         return this->Acting({this->wizard, this->troop});
       },
       true},
      {"troops without the wizard", [this](EngageGroup&) { return this->Acting({this->troop}); }, true},
      {"the wizard's percentage 0",
       [this](EngageGroup&) {
         this->WizardRecord(1).weights[0] = 0;
         return this->Acting({this->wizard, this->troop});
       },
       false},
      {"a group with a parent",
       [this](EngageGroup&) {
         CAIGroupNode* group = this->Acting({this->troop});
         CAIGroupBuilder::Attach(this->builder.NewGroupNode(), group);
         return group;
       },
       false},
      {"a group of the wizards' controller",
       [this](EngageGroup&) {
         CAIGroupNode* group = this->Acting({this->troop});
         group->kind = 1;
         return group;
       },
       false},
      {"a member off the network",
       [this](EngageGroup&) {
         this->troop->nodeRoute.NearestNode() = -1;
         return this->Acting({this->wizard, this->troop});
       },
       false},
      {"a bound member without the wizard",
       [this](EngageGroup&) {
         this->troop->earthBind = 1;
         return this->Acting({this->troop});
       },
       false},
      {"a bound member beside the wizard",
       [this](EngageGroup&) {
         this->troop->earthBind = 1;
         return this->Acting({this->wizard, this->troop});
       },
       true},
      {"a side without a wizard",
       [this](EngageGroup&) {
         g_armyTable.armies[1].wizardCreature = -1;
         return this->Acting({this->troop});
       },
       false},
      {"no enemy remembered",
       [this](EngageGroup&) {
         this->sides[1].enemies.clear();
         return this->Acting({this->troop});
       },
       false},
  };
  for (const Case& test : cases) {
    for (CAIPlayerMemory& side : sides) side.Clear();
    g_creatureArray.ReleaseAll();
    g_armyTable.ResetAll();
    WizardRecord(1).weights[0] = 100;
    MakeScene();
    CAIEngageGroupDecision d;
    PrepareFor(d, test.scene(*this));
    EXPECT_EQ(d.prepared, test.prepared ? 1 : 0) << test.what;
    CAIBudget budget = Budget(1000);
    float score = 0.0f;
    EXPECT_EQ(d.Evaluate(&score, budget, kTick), test.prepared) << test.what;
  }
}

TEST_F(EngageGroup, AnEvaluationWithoutStepsWaitsInItsSearchAndGoesOnLater) {
  MakeScene();
  CAIEngageGroupDecision d;
  PrepareFor(d, Acting({wizard, troop}));
  ASSERT_EQ(d.prepared, 1);
  float score = 5.0f;
  CAIBudget empty = Budget(0);
  EXPECT_FALSE(d.Evaluate(&score, empty, kTick));
  EXPECT_EQ(d.stage, 1);
  EXPECT_EQ(d.memberStage, 1);
  EXPECT_EQ(empty.steps, 0);
  EXPECT_FALSE(d.route.NewSearchPending());

  CAIBudget budget = Budget(1000);
  ASSERT_TRUE(d.Evaluate(&score, budget, kTick));
  EXPECT_FLOAT_EQ(score, 0.0f);  // an empty learning store has no opinion
  ASSERT_EQ(d.work.vector.size(), 73u);
  EXPECT_EQ(d.work.vector[67], 0);  // the group holds its wizard
  EXPECT_EQ(d.work.vector[69], d.longestTravel);
  EXPECT_GE(d.work.delay, 600 + d.longestTravel);
  // Past its end tick an evaluation scores nothing more.
  EXPECT_FALSE(d.Evaluate(&score, budget, d.evaluationEndTick + 1));
}

TEST_F(EngageGroup, TheCautiousEngagementGoesRoundARatedNodeThatThePlainOneCrosses) {
  // The troop two nodes left of the enemy on the top row; the node between rated 5.
  troop = &OnGrid(kTroop, 1, 2, 0);
  wizard = &WizardOnGrid(1, 0, 5);
  enemy = &OnGrid(kTroop, 2, 4, 0);
  Remember(1, 1, *enemy, kTick);
  Rate(GridNode(3, 0), 1, 5);
  struct Case {
    CAIGroupDecision* decision;
    int danger;
  };
  CAIEngageGroupDecision plain;
  CAIEngageGroupSafelyDecision cautious;
  for (const Case& test : {Case{&plain, 5}, Case{&cautious, 0}}) {
    PrepareFor(*test.decision, Acting({troop}));
    CAIBudget budget = Budget(1000);
    float score = 0.0f;
    ASSERT_TRUE(test.decision->Evaluate(&score, budget, kTick)) << test.decision->type;
    EXPECT_EQ(test.decision->work.resultA, test.danger) << test.decision->type;
    EXPECT_EQ(test.decision->route.ReachedNode(), GridNode(4, 0));
    EXPECT_EQ(test.decision->route.Found().size(), test.danger ? 3u : 5u) << test.decision->type;
  }
}

TEST_F(EngageGroup, ExecuteWithAFullExperienceBufferRecordsNothingAndStillAnswersTheDelay) {
  testing_support::TempDir dir(true);
  dir.Write("AI", "a file where the experience folder should be");  // the buffer cannot be flushed
  for (int i = 0; i < 100; ++i) g_brain.CompleteExperience(g_brain.AddExperience(6, {i}), 1);
  CAIEngageGroupDecision d;
  d.kept.vector = {1, 2, 3};
  d.kept.delay = 321;
  EXPECT_EQ(d.Execute(), 321);
  EXPECT_EQ(d.experienceIndex, -1);
}

TEST_F(EngageGroup, ThePrototypeTableHoldsTheEngageAndRallyClasses) {
  for (int i = 0; i < kAIPrototypeCount; ++i) {
    const int type = kAIPrototypeOrder[i];
    if (type != 6 && type != 7 && type != 10) continue;
    CAIDecision* fresh = g_aiPrototypes[i]->NewInstance();
    EXPECT_NE(dynamic_cast<CAIGroupDecision*>(fresh), nullptr) << type;
    EXPECT_EQ(fresh->type, type);
    delete fresh;
  }
}

// --- Step -----------------------------------------------------------------------------------

TEST_F(EngageGroup, SpacingRadiiFollowTheSpreadOfTheGroup) {
  struct Case {
    std::vector<int64_t> all, closeFighters, troops;
    int64_t r1, r2, r3;
  };
  const Case cases[] = {
      {{16, 100}, {}, {}, 49, 0, 0},  // 10 - 4 = 6 tiles apart: (4 + 10)² / 4
      {{16, 49}, {}, {}, 0, 0, 0},    // 3 tiles apart is close enough
      {{16, 100}, {16, 100}, {16}, 49, 49, 49},
      {{4, 25}, {}, {25}, 0, 0, 64},  // the wizard keeps (5 + 3) tiles behind
      {{}, {}, {}, 0, 0, 0},
  };
  for (const Case& test : cases) {
    const auto spacing = CAIEngageGroupDecision::SpacingFor(test.all, test.closeFighters, test.troops);
    EXPECT_EQ(spacing.r1, test.r1);
    EXPECT_EQ(spacing.r2, test.r2);
    EXPECT_EQ(spacing.r3, test.r3);
  }
}

TEST_F(EngageGroup, TargetValuesWeighWizardsUndeadAndWhatIsAlreadySent) {
  MakeScene();
  enemy->strength.total = enemyWizard->strength.total = 500;
  enemy->health = enemyWizard->health = 10;
  const int64_t plain = 500 * 1000 / 100;
  struct Case {
    const char* what;
    std::function<void(EngageGroup&)> change;
    bool againstWizard;
    int64_t assigned;
    int64_t value;
  };
  const Case cases[] = {
      {"a troop", [](EngageGroup&) {}, false, 0, plain},
      {"a wizard, by a free member of threat class 1", [](EngageGroup&) {}, true, 0, 8 * plain},
      {"a wizard, by an engaged member", [this](EngageGroup&) { this->troop->tracking = 1; }, true, 0, 4 * plain},
      {"half matched", [](EngageGroup&) {}, false, 250, plain / 2},
      {"exactly matched", [](EngageGroup&) {}, false, 500, 0},
      {"over-matched ranks last, never wraps", [](EngageGroup&) {}, false, 501, 0},
      {"an undead troop", [this](EngageGroup&) { this->enemy->undead = 1; }, false, 0, plain / 2},
  };
  for (const Case& test : cases) {
    troop->tracking = 0;
    enemy->undead = 0;
    test.change(*this);
    const CCreature& target = test.againstWizard ? *enemyWizard : *enemy;
    EXPECT_EQ(CAIEngageGroupDecision::TargetValue(*troop, target, test.assigned, 1), test.value) << test.what;
  }
}

class EngageStep : public EngageGroup {
 protected:
  // The kept enemy group of a decision prepared for the group: the cluster of the first
  // remembered enemy.
  void Adopt(CAIEngageGroupDecision& d, CAIGroupNode* group, int ceiling) {
    PrepareFor(d, group);
    ASSERT_EQ(d.prepared, 1);
    d.kept.candidate = d.candidateRoot->children.front();
    d.kept.resultA = ceiling;
  }
  static bool WalksNear(const CCreature& c, int x, int y, int tiles) {
    return c.GetCurrentOrder() == ORDER_WALK_TO_POS && WithinTiles(c.orderState.goalX, c.orderState.goalY, x, y, tiles);
  }
  // Waits where it stands, or walks no further than the cell beside it.
  static bool Holds(const CCreature& c) {
    return c.GetCurrentOrder() == ORDER_WAIT || WalksNear(c, c.cellX, c.cellY, 1);
  }
  static bool WithinTiles(int x1, int y1, int x2, int y2, int tiles) {
    return std::abs(WrapDeltaX(x1, x2)) <= tiles && std::abs(WrapDeltaY(y1, y2)) <= tiles;
  }
};

TEST_F(EngageStep, WithNoTargetLeftTheNearMemberWaitsWhileTheFarOneCloses) {
  struct Case {
    int nearX, farX;  // on the enemy's row, left of it at (30, 30)
    bool nearHolds;
  };
  for (const Case test : {Case{26, 20, true}, Case{26, 23, false}}) {
    g_creatureArray.ReleaseAll();
    g_armyTable.ResetAll();
    for (CAIPlayerMemory& side : sides) side.Clear();
    wizard = &WizardOnGrid(1, 0, 0);
    CCreature& nearer = Place(kTroop, 1, test.nearX, 30);
    CCreature& farther = Place(kTroop, 1, test.farX, 30);
    nearer.nodeRoute.NearestNode() = farther.nodeRoute.NearestNode() = GridNode(5, 7);
    enemy = &Place(kTroop, 2, 30, 30);
    enemy->nodeRoute.NearestNode() = GridNode(7, 7);
    Remember(1, 1, *enemy, kTick);
    CAIEngageGroupDecision d;
    Adopt(d, Acting({&nearer, &farther}), 0);
    // The enemy is not confirmed at the next tick: nothing is left to attack.
    CAIBudget budget = Budget(100);
    EXPECT_TRUE(d.Step(sides, kTick + 1, budget));
    EXPECT_EQ(budget.steps, 100 - CAIGroupDecision::kStepCharge);
    EXPECT_TRUE(WalksNear(farther, 30, 30, 2)) << test.farX;
    EXPECT_EQ(WalksNear(nearer, 30, 30, 2), !test.nearHolds) << test.farX;
    if (test.nearHolds) EXPECT_TRUE(Holds(nearer));
  }
}

TEST_F(EngageStep, AttackersSpreadOverTheEnemiesAndAnOverMatchedOneRanksLast) {
  wizard = &WizardOnGrid(1, 0, 0);
  UseArmy(2);
  CCreature& first = OnGrid(kTroop, 1, 5, 5);
  CCreature& second = OnGrid(kTroop, 1, 5, 6);
  first.strength.total = second.strength.total = 400;
  CCreature& weak = OnGrid(kTroop, 2, 6, 5);
  CCreature& strong = Place(kTroop, 2, 27, 23);  // beside it: one cluster
  strong.nodeRoute.NearestNode() = GridNode(6, 5);
  weak.health = strong.health = 10;
  weak.strength.total = 300;    // 3000: the better target until it is matched
  strong.strength.total = 200;  // 2000
  Remember(1, 0, weak, kTick);
  Remember(1, 1, strong, kTick);
  CAIEngageGroupDecision d;
  Adopt(d, Acting({&first, &second}), 0);
  CAIBudget budget = Budget(100);
  ASSERT_TRUE(d.Step(sides, kTick, budget));
  EXPECT_EQ(first.GetCurrentOrder(), ORDER_ATTACK_CREATURE);
  EXPECT_EQ(first.target, weak.index);
  EXPECT_EQ(second.GetCurrentOrder(), ORDER_ATTACK_CREATURE);
  EXPECT_EQ(second.target, strong.index);
}

TEST_F(EngageStep, OneMemberAboveTheDangerCeilingHaltsTheGroupAndEndsTheDecision) {
  struct Case {
    int rating;
    bool goesOn;
  };
  for (const Case test : {Case{3, true}, Case{4, false}}) {
    g_creatureArray.ReleaseAll();
    g_armyTable.ResetAll();
    for (CAIPlayerMemory& side : sides) side.Clear();
    MakeScene();
    Rate(GridNode(2, 0), 1, test.rating);
    CAIEngageGroupDecision d;
    Adopt(d, Acting({wizard, troop}), 3);
    CAIBudget budget = Budget(100);
    EXPECT_EQ(d.Step(sides, kTick, budget), test.goesOn) << test.rating;
    if (!test.goesOn) EXPECT_TRUE(Holds(*wizard));
  }
}

}  // namespace
