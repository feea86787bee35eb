// The region-of-power decision on hand-made maps: the regions are scored in turn against the
// nearest enemy cluster within ten tiles (else an empty group at distance 10); a watched
// region, or one another group of the side goes for, is no candidate; near the region the
// weakest fighter (the first of equals) takes it; a walker close to a region its side has just
// taken keeps its way.
#include <gtest/gtest.h>

#include "AIGroupDecisionScene.h"
#include "ai/AIController.h"
#include "ai/AIRegionDecision.h"
#include "creatures/CreatureStrength.h"
#include "map/Map.h"

namespace {

using ai_test::GroupDecisionScene;

constexpr int kTick = 80;
constexpr int kTroop = 2;

class RegionOfPower : public GroupDecisionScene {
 protected:
  void SetUp() override {
    GroupDecisionScene::SetUp();
    LayGrid();
    for (CRegionOfPower& region : g_map.regions) region = CRegionOfPower{};
    WizardOnGrid(1, 0, 0);
  }
  void TearDown() override {
    for (CRegionOfPower& region : g_map.regions) region = CRegionOfPower{};
    for (auto& row : g_map.regionHolders) std::fill(std::begin(row), std::end(row), -1);
    for (auto& row : g_map.regionCounters) std::fill(std::begin(row), std::end(row), 0);
    GroupDecisionScene::TearDown();
  }
  // A region of power on a grid node.
  static void Region(int n, int i, int j) {
    g_map.regions[n] = CRegionOfPower{2 + 4 * i, 2 + 4 * j, 0, 0, GridNode(i, j)};
  }
  CAIGroupNode* Acting(const std::vector<CCreature*>& members) {
    CAIGroupNode* group = Group(members);
    group->kind = 0;
    return group;
  }
  std::vector<int> ScoredRegions(CAIRegionDecision& d, CAIGroupNode* group) {
    d.side = 1;
    d.Prepare(group, sides, kTick);
    std::vector<int> regions;
    CAIBudget budget = Budget(10000);
    float score = 0.0f;
    while (d.Evaluate(&score, budget, kTick)) regions.push_back(d.workRegion);
    return regions;
  }
  static void Runs(CAIGroupNode* group, CAIDecision& d) {
    group->decision = &d;
    for (CAIGroupNode* leaf : group->children) leaf->creature->aiGroupNode[0] = leaf;
  }
  // A kept plan for region 0 of the group.
  void Keep(CAIRegionDecision& d, CAIGroupNode* group) {
    ASSERT_FALSE(ScoredRegions(d, group).empty());
    d.workRegion = 0;
    d.workPlace = {g_map.regions[0].x, g_map.regions[0].y, 0};
    d.KeepBest();
  }
};

TEST_F(RegionOfPower, WithoutRegionsTheDecisionIsPreparedButScoresNothing) {
  CCreature& troop = OnGrid(kTroop, 1, 3, 3);
  CAIRegionDecision d;
  EXPECT_TRUE(ScoredRegions(d, Acting({&troop})).empty());
  EXPECT_EQ(d.prepared, 1);
}

TEST_F(RegionOfPower, AnEnemyElevenTilesOffIsNotNear) {
  Region(0, 5, 2);
  CCreature& troop = OnGrid(kTroop, 1, 3, 3);
  UseArmy(2);
  CCreature& enemy = Place(kTroop, 2, 2 + 4 * 5 + 11, 2 + 4 * 2);
  Remember(1, 0, enemy, kTick);
  CAIRegionDecision d;
  EXPECT_EQ(ScoredRegions(d, Acting({&troop})), std::vector<int>{0});
  EXPECT_EQ(d.nearestEnemies, d.emptyGroup);
  ASSERT_EQ(d.work.vector.size(), 67u + 7u);
  EXPECT_EQ(d.work.vector[68], 10);
  EXPECT_EQ(d.work.vector[69], 0);
}

TEST_F(RegionOfPower, AWatchedRegionOrOneAnotherGroupGoesForIsNoCandidate) {
  Region(0, 5, 2);
  Region(1, 2, 5);
  Region(2, 7, 7);
  CCreature& first = OnGrid(kTroop, 1, 3, 3);
  CCreature& second = OnGrid(kTroop, 1, 4, 4);
  // A friend stands by region 2.
  UseArmy(3);
  g_armyTable.armies[1].SetAlliance(3, 1);
  Place(kTroop, 3, 2 + 4 * 7 + 1, 2 + 4 * 7);
  CAIRegionDecision running;
  CAIGroupNode* firstGroup = Acting({&first});
  EXPECT_EQ(ScoredRegions(running, firstGroup), (std::vector<int>{0, 1}));
  running.workRegion = 1;
  running.KeepBest();
  Runs(firstGroup, running);
  CAIRegionDecision other;
  EXPECT_EQ(ScoredRegions(other, Acting({&second})), std::vector<int>{0});
  CAIRegionDecision again;
  EXPECT_EQ(ScoredRegions(again, firstGroup), std::vector<int>{1}) << "a group tied to its region";
}

TEST_F(RegionOfPower, OfEquallyWeakFightersTheFirstTakesTheRegion) {
  Region(0, 5, 2);
  CCreature& first = OnGrid(kTroop, 1, 4, 2);
  CCreature& second = OnGrid(kTroop, 1, 6, 2);
  UseArmy(2);
  CCreature& enemy = Place(kTroop, 2, 2 + 4 * 5 + 2, 2 + 4 * 2 + 2);
  CAIRegionDecision d;
  CAIGroupNode* group = Acting({&first, &second});
  Keep(d, group);
  ASSERT_EQ(first.strength.total, second.strength.total);
  Remember(1, 0, enemy, kTick + 1);
  CAIBudget budget = Budget(100);
  EXPECT_TRUE(d.Step(sides, kTick + 1, budget));
  COrderReport order;
  first.GetCurrentOrder(order);
  EXPECT_EQ(order.kind, 2);
  EXPECT_EQ(order.x, g_map.regions[0].x);
  second.GetCurrentOrder(order);
  EXPECT_NE(order.x, g_map.regions[0].x);
}

TEST_F(RegionOfPower, AWalkerCloseToARegionItsSideHasJustTakenKeepsItsWay) {
  Region(0, 5, 2);
  const int rx = g_map.regions[0].x, ry = g_map.regions[0].y;
  struct Case {
    int counter;
    int expectedX;
  };
  for (const Case test : {Case{0, rx + 3}, Case{5, rx}}) {
    g_creatureArray.ReleaseAll();
    WizardOnGrid(1, 0, 0);
    CCreature& walker = OnGrid(kTroop, 1, 0, 2);
    CAIRegionDecision d;
    Keep(d, Acting({&walker}));
    g_map.regionHolders[0][1] = 1;
    g_map.regionCounters[0][1] = test.counter;
    walker.WalkTo(rx + 3, ry, 1);
    CAIBudget budget = Budget(100);
    EXPECT_TRUE(d.Step(sides, kTick + 1, budget));
    COrderReport order;
    walker.GetCurrentOrder(order);
    EXPECT_EQ(order.x, test.expectedX) << test.counter;
  }
}

TEST_F(RegionOfPower, TakingTheRegionCreditsTheSidesDecisionThroughTheMap) {
  Region(0, 5, 2);
  CCreature& troop = OnGrid(kTroop, 1, 5, 2);  // on the region
  troop.manaSource = 1;
  CAIRegionDecision d;
  Keep(d, Acting({&troop}));
  InstallAIControllers();
  d.id = 4711;
  g_aiUnitController.active[d.id] = &d;
  g_map.regionCursor = 0;
  g_creatureArray.UpdateRegionsOfPower();
  g_aiUnitController.active.erase(d.id);
  UninstallAIControllers();
  EXPECT_EQ(g_map.regionHolders[0][1], 1);
  EXPECT_GT(d.gain, 0);
}

}  // namespace
