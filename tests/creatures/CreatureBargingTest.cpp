// Re-planning and pushing, scene by scene on small hand-made maps: stale requests, a target
// already in contact, the push ranks (a mid-step creature of higher rank is never pushed, an
// idle one always), a pushed creature blocked by its pusher giving up, a blocker with no room
// to step aside, a diagonal step past one creature, and a chain of pushes with falling ranks.
#include <gtest/gtest.h>

#include "WalkWorld.h"
#include "creatures/CreatureArray.h"
#include "map/MapUnits.h"

namespace creature_test {
namespace {

class Barging : public WalkWorld {
 protected:
  int Brownie(int x, int y, int army = 0) { return Place(kBrownie, army, x, y, kFloor); }
  // Gives the creature a route of one step into (x, y) and leaves it standing with a
  // request of a kind, as a refused step does.
  static void NextStepInto(CCreature& c, int x, int y, int request) {
    const int dx = WrapDeltaX(c.cellX, x), dy = WrapDeltaY(c.cellY, y);
    c.route.stepCount = 1;
    c.route.stepIndex = 0;
    int32_t* s = c.route.steps[0].words;
    s[route_step::kX] = x;
    s[route_step::kY] = y;
    s[route_step::kLevel] = kFloor;
    s[route_step::kFacing] = DirectionFromStep(dx, dy);
    s[route_step::kLevelChange] = 0;
    s[route_step::kAirborne] = 0;
    s[route_step::kKind] = 0;
    c.SetAnimState(ANIM_STAND);
    c.orderState.replanRequest = request;
  }
  static int Plan(CCreature& c) {
    int budget = 1000;
    return c.RunPlanningStep(budget);
  }
};

TEST_F(Barging, TheRankIsTheSizeHeightTypeAndSlotAndABargedCreatureKeepsItsOwn) {
  CCreature& c = C(Brownie(5, 5));
  const CCreatureType& t = g_creatureTypes[kBrownie];
  EXPECT_EQ(c.PushRank(), 1120000 * t.TileSizeXY + 280000 * t.TileHeight + 10000 * kBrownie + 100 * c.index);
  CCreature& troll = C(Place(kTroll, 0, 10, 10, kFloor));
  EXPECT_GT(troll.PushRank(), c.PushRank());  // the larger pushes the smaller
  c.motion.pushRank = 7;
  c.order = ORDER_BARGED;
  EXPECT_EQ(c.PushRank(), 7);
}

// Requests that need no plan: a waiting creature's stale one, and one whose target already
// stands in contact.
TEST_F(Barging, AStaleRequestOfAWaitingCreatureAndATargetInContactPlanNothing) {
  CCreature& waiting = C(Brownie(5, 5));
  waiting.SetAnimState(ANIM_STAND);
  waiting.orderState.replanRequest = 1;
  EXPECT_EQ(Plan(waiting), 0);
  EXPECT_EQ(waiting.orderState.replanRequest, 0);
  EXPECT_EQ(waiting.route.stepCount, 0);

  CCreature& attacker = C(Brownie(10, 10));
  const int foe = Brownie(11, 10, 1);
  attacker.sightingCounters[0] = kSightingFull;
  C(foe).sightingCounters[0] = kSightingFull;
  attacker.AttackCreature(foe);
  ASSERT_EQ(attacker.order, ORDER_ATTACK_CREATURE);
  attacker.SetAnimState(ANIM_STAND);
  attacker.orderState.standCountdown = 0;
  attacker.orderState.replanRequest = 1;
  attacker.Walking() = 0;
  attacker.route.stepCount = 0;
  EXPECT_EQ(Plan(attacker), 0);
  EXPECT_EQ(attacker.orderState.replanRequest, 0);
  EXPECT_EQ(attacker.route.stepCount, 0);
}

// Who may push whom: an idle friend is pushed by anyone and takes a rank one below its
// pusher's; a friend mid-step of a higher rank is not pushed.
TEST_F(Barging, AnIdleFriendIsPushedByAnyoneAMidStepOneOfHigherRankByNoOne) {
  CCreature& pusher = C(Brownie(5, 5));
  CCreature& idle = C(Brownie(6, 5));
  pusher.WalkTo(9, 5, kFloor);
  NextStepInto(pusher, 6, 5, 2);
  EXPECT_EQ(pusher.BargeAside(idle.index), 1);
  EXPECT_EQ(idle.order, ORDER_BARGED);
  EXPECT_EQ(idle.motion.pushRank, pusher.PushRank() - 1);
  EXPECT_EQ(idle.motion.pushedBy, pusher.index);
  EXPECT_EQ(idle.motion.returnX, 6);  // a waiting creature comes back to where it stood
  EXPECT_EQ(pusher.orderState.standCountdown, 4);
  EXPECT_EQ(pusher.Walking(), 1);

  CCreature& low = C(Brownie(20, 20));   // lower slot: lower rank
  CCreature& busy = C(Brownie(21, 20));  // mid-step, higher rank
  ASSERT_LT(low.PushRank(), busy.PushRank());
  busy.midStep = 1;
  low.WalkTo(25, 20, kFloor);
  NextStepInto(low, 21, 20, 2);
  EXPECT_EQ(low.BargeAside(busy.index), 0);
  EXPECT_NE(busy.order, ORDER_BARGED);
}

// A creature pushed aside that finds its pusher in the way gives the push up.
TEST_F(Barging, APushedCreatureBlockedByItsPusherGivesUp) {
  CCreature& pusher = C(Brownie(5, 5));
  CCreature& pushed = C(Brownie(6, 5));
  pusher.WalkTo(9, 5, kFloor);
  NextStepInto(pusher, 6, 5, 2);
  ASSERT_EQ(pusher.BargeAside(pushed.index), 1);
  pusher.SetOrder(ORDER_WAIT);
  // On its way back to where it was heading, its pusher stands on that very cell.
  pushed.orderState.goalX = 5;
  pushed.orderState.goalY = 5;
  NextStepInto(pushed, 5, 5, 2);
  pushed.Walking() = 1;
  int budget = 1000;
  EXPECT_EQ(pushed.TryBarge(budget), 1);
  EXPECT_EQ(pushed.order, ORDER_WAIT);
  EXPECT_EQ(pushed.orderState.replanRequest, 0);
}

// A blocker walled in on every side cannot be pushed; the pusher's step goes on to plan a
// route of its own.
TEST_F(Barging, ABlockerWithNoRoomToStepAsideIsNotPushedAndThePusherPlans) {
  // The blocker at (10, 10) in a pocket open only to the west, where the pusher stands.
  Wall(9, 9, 11, 9);
  Wall(9, 11, 11, 11);
  Wall(11, 10, 11, 10);
  CCreature& blocker = C(Brownie(10, 10));
  CCreature& pusher = C(Brownie(9, 10));
  pusher.WalkTo(12, 10, kFloor);
  NextStepInto(pusher, 10, 10, 2);
  EXPECT_EQ(pusher.BargeAside(blocker.index), 0);
  EXPECT_EQ(blocker.order, ORDER_WAIT);
  pusher.Walking() = 0;
  Plan(pusher);
  EXPECT_NE(blocker.order, ORDER_BARGED);
  EXPECT_EQ(pusher.orderState.replanRequest, 0);  // planned (or gave up) in the same step
}

// A diagonal step with a creature beside it on one side only is not blocked by it; with
// creatures on both sides of the corner it is, by the first. Both blocker tests agree.
TEST_F(Barging, ADiagonalStepPastOneCreatureIsNotBlocked) {
  CCreature& c = C(Brownie(10, 10));
  const int east = Brownie(11, 10);
  C(east).midStep = 1;  // a standing obstacle, for the walk's own blocker test
  NextStepInto(c, 11, 9, 2);
  EXPECT_EQ(c.FindBlockingCreature(), 0);
  EXPECT_EQ(c.FindBlocker(), 0);
  const int north = Brownie(10, 9);
  C(north).midStep = 1;
  EXPECT_EQ(c.FindBlockingCreature(), east + 1);
  EXPECT_EQ(c.FindBlocker(), 1);
  EXPECT_EQ(c.motion.blocker, east + 1);
}

// A pushed creature blocked in its turn pushes the next with its inherited rank, one lower
// again; the chain ends where ranks no longer allow a push.
TEST_F(Barging, PushesChainWithFallingRanks) {
  Wall(0, 9, 30, 9);
  Wall(0, 11, 30, 11);
  CCreature& a = C(Brownie(5, 10));
  CCreature& b = C(Brownie(6, 10));
  CCreature& c = C(Brownie(7, 10));
  a.WalkTo(12, 10, kFloor);
  NextStepInto(a, 6, 10, 2);
  ASSERT_EQ(a.BargeAside(b.index), 1);
  EXPECT_EQ(b.motion.pushRank, a.PushRank() - 1);
  NextStepInto(b, 7, 10, 2);
  ASSERT_EQ(b.BargeAside(c.index), 1);
  EXPECT_EQ(c.motion.pushRank, a.PushRank() - 2);
  // c, barged with the lowest rank, cannot push b back.
  NextStepInto(c, 6, 10, 2);
  b.midStep = 1;
  EXPECT_EQ(c.BargeAside(b.index), 0);
}

}  // namespace
}  // namespace creature_test
