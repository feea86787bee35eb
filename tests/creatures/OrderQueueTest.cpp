// Queued waypoints: chains of orders, patrols, and the markers that show them.
#include <gtest/gtest.h>

#include <set>

#include "OrdersWorld.h"
#include "creatures/CreatureArray.h"

namespace creature_test {
namespace {

// Effects that hand out waypoint markers and know which are still shown.
struct MarkerEffects : RecordingEffects {
  int next = 0;
  std::set<int> shown;
  // The creature's queued entries without a marker get one (the goal marker is not counted).
  void ShowGoalMarker(int creature) override {
    CCreature* c = g_creatureArray.InUse(creature);
    if (!c) return;
    for (CQueuedOrder& entry : c->queuedOrders.entries) {
      if (entry.markerEffect >= 0) continue;
      shown.insert(next);
      entry.markerEffect = next++;
    }
  }
  void Deactivate(int effect) override { shown.erase(effect); }
};

class OrderQueue : public OrdersWorld {
 protected:
  void SetUp() override {
    OrdersWorld::SetUp();
    walker = Place(kBrownie, 0, 10, 10);
    enemy = Place(kBrownie, 1, 30, 30);
  }
  CCreature& W() { return C(walker); }
  // Where the walker was last sent.
  std::pair<int, int> Goal() { return {W().orderState.goalX, W().orderState.goalY}; }

  MarkerEffects markers;
  HookScope<ICreatureEffects> markerScope{g_creatureEffects, markers};
  int walker = -1, enemy = -1;
};

TEST_F(OrderQueue, TheSixteenthOrderAndARepeatAreIgnored) {
  for (int i = 0; i < 16; ++i) W().AddWaypoint(2, 12 + i, 20, 0, -1);
  EXPECT_EQ(W().queuedOrders.count, 15);
  EXPECT_EQ(W().queuedOrders.entries.size(), 15u);
  EXPECT_EQ(W().queuedOrders.entries.back().x, 26);

  W().ClearPathMarkers();
  EXPECT_EQ(W().queuedOrders.count, 0);
  EXPECT_TRUE(markers.shown.empty());
  W().EndHeldState();
  W().AddWaypoint(2, 14, 14, 0, -1);
  W().AddWaypoint(2, 14, 14, 0, -1);
  W().AddWaypoint(3, 0, 0, 0, enemy);
  W().AddWaypoint(3, 0, 0, 0, enemy);
  EXPECT_EQ(W().queuedOrders.count, 2);
  EXPECT_FALSE(W().queuedOrders.entries.front().loopPoint);
}

TEST_F(OrderQueue, AWalkingCreatureQueuesItsWalkFirst) {
  W().WalkTo(40, 12, 0);
  W().AddWaypoint(2, 20, 20, 0, -1);
  ASSERT_EQ(W().queuedOrders.count, 2);
  EXPECT_EQ(W().queuedOrders.GetFirst()->x, 40);
  EXPECT_EQ(Goal(), std::make_pair(40, 12));  // still on its way
  EXPECT_EQ(W().NextWaypoint(), 1);
  EXPECT_EQ(Goal(), std::make_pair(20, 20));
}

TEST_F(OrderQueue, APatrolRepeatsAndItsAttackRunsOnce) {
  W().AddWaypoint(2, 14, 10, 0, -1);  // A, given at once
  W().AddWaypoint(2, 14, 14, 0, -1);  // B
  W().AddWaypoint(3, 0, 0, 0, enemy);
  W().AddWaypoint(2, 10, 14, 0, -1);  // C
  W().AddWaypoint(2, 14, 10, 0, -1);  // A again: the loop point
  EXPECT_EQ(W().queuedOrders.count, 4);
  EXPECT_EQ(Goal(), std::make_pair(14, 10));

  ASSERT_EQ(W().NextWaypoint(), 1);
  EXPECT_EQ(Goal(), std::make_pair(14, 14));
  ASSERT_EQ(W().NextWaypoint(), 1);
  EXPECT_EQ(W().order, ORDER_ATTACK_CREATURE);
  EXPECT_EQ(W().target, enemy);
  EXPECT_EQ(W().queuedOrders.count, 3);  // dropped once given
  const std::pair<int, int> round[] = {{10, 14}, {14, 10}, {14, 14}, {10, 14}, {14, 10}};
  for (const auto& expected : round) {
    ASSERT_EQ(W().NextWaypoint(), 1);
    EXPECT_EQ(W().order, ORDER_WALK_TO_POS);
    EXPECT_EQ(Goal(), expected);
  }
  EXPECT_EQ(markers.shown.size(), 3u);
}

TEST_F(OrderQueue, AOneEntryQueueEndsAndItsMarkerGoes) {
  W().AddWaypoint(2, 14, 10, 0, -1);
  EXPECT_EQ(markers.shown.size(), 1u);
  EXPECT_EQ(W().NextWaypoint(), 0);
  EXPECT_EQ(W().queuedOrders.count, 0);
  EXPECT_TRUE(W().queuedOrders.entries.empty());
  EXPECT_TRUE(markers.shown.empty());
  EXPECT_EQ(W().NextWaypoint(), 0);
}

TEST_F(OrderQueue, APatrolOfAttacksOnlyEndsCleanly) {
  const int second = Place(kBrownie, 1, 34, 30);
  W().AddWaypoint(3, 0, 0, 0, enemy);  // given at once
  EXPECT_EQ(W().order, ORDER_ATTACK_CREATURE);
  W().AddWaypoint(3, 0, 0, 0, second);
  W().AddWaypoint(3, 0, 0, 0, enemy);  // the loop point
  ASSERT_EQ(W().NextWaypoint(), 1);
  EXPECT_EQ(W().target, second);
  EXPECT_EQ(W().NextWaypoint(), 0);
  EXPECT_TRUE(W().queuedOrders.entries.empty());
  EXPECT_EQ(W().queuedOrders.count, 0);
  EXPECT_EQ(W().queuedOrders.flag, 0);
}

TEST_F(OrderQueue, AHeldCreatureDoesNotAdvance) {
  W().AddWaypoint(2, 14, 10, 0, -1);
  W().AddWaypoint(2, 14, 14, 0, -1);
  W().orderState.panicking = 1;
  EXPECT_EQ(W().NextWaypoint(), 0);
  EXPECT_EQ(W().queuedOrders.count, 2);
}

}  // namespace
}  // namespace creature_test
