// Routes and steps of single creatures on small hand-made maps: the straight route and its
// limit, the way round the seam, one search carried over frames, blockers that wait on each
// other, the pace of haste and slow, turns that keep or lose the pace, burning cells and
// following another creature.
#include <gtest/gtest.h>

#include <vector>

#include "WalkWorld.h"
#include "core/Random.h"
#include "creatures/CreatureArray.h"
#include "creatures/SpellDefinition.h"
#include "map/CellRouteSearch.h"
#include "map/MapUnits.h"

namespace creature_test {
namespace {

class CreatureRoutes : public WalkWorld {
 protected:
  int Brownie(int x, int y, int army = 0) { return Place(kBrownie, army, x, y, kFloor); }
};

TEST_F(CreatureRoutes, SixteenStraightStepsSucceedAndSeventeenFallBackToTheSearch) {
  CCreature& c = C(Brownie(5, 5));
  CCreatureRoute out;
  EXPECT_EQ(c.BuildStraightRoute(21, 5, kFloor, out), 1);
  EXPECT_EQ(out.stepCount, 16);
  EXPECT_EQ(out.steps[15].words[route_step::kX], 21);
  EXPECT_EQ(c.BuildStraightRoute(22, 5, kFloor, out), 0);
  // With the avoid flag the straight route is tried first; past 16 steps the search plans.
  int budget = 1000;
  EXPECT_EQ(c.PlanRoute(21, 5, kFloor, 1, 0, budget), 1);
  EXPECT_EQ(budget, 1000);  // no search ran
  EXPECT_EQ(c.PlanRoute(22, 5, kFloor, 1, 0, budget), 1);
  EXPECT_LT(budget, 1000);
  EXPECT_EQ(c.route.stepCount, 16);
  EXPECT_EQ(c.Walking(), 1);
}

TEST_F(CreatureRoutes, AGoalPastHalfTheMapIsPlannedAcrossTheSeam) {
  CCreature& c = C(Brownie(2, 5));
  ASSERT_EQ(c.PlanCellRoute(45, 5, kFloor), 1);
  EXPECT_EQ(c.route.steps[0].words[route_step::kX], 1);
  EXPECT_EQ(c.route.steps[c.route.stepCount - 1].words[route_step::kX], 45);
  CCreatureRoute out;
  ASSERT_EQ(c.BuildStraightRoute(45, 5, kFloor, out), 1);
  EXPECT_EQ(out.stepCount, 5);
  EXPECT_EQ(out.steps[1].words[route_step::kX], 0);
  EXPECT_EQ(out.steps[2].words[route_step::kX], 47);
}

// Calls with a small budget until the plan is taken: the number of calls.
int CallsUntilPlanned(CCreature& c, int x, int y, int perCall) {
  for (int call = 1; call < 100; ++call) {
    int budget = perCall;
    if (c.PlanRoute(x, y, kFloor, 0, 0, budget) != 2) return call;
  }
  return -1;
}

TEST_F(CreatureRoutes, ASpentBudgetLeavesTheRequestPendingAndTheNextFrameGoesOn) {
  Wall(12, 4, 12, 6);
  CCreature& a = C(Brownie(5, 5));
  CCreature& b = C(Brownie(5, 20));
  int budget = 3;
  ASSERT_EQ(a.PlanRoute(20, 5, kFloor, 0, 0, budget), 2);
  EXPECT_EQ(budget, 0);
  EXPECT_EQ(g_creatureArray.searchPending, 1);
  EXPECT_EQ(a.route.stepCount, 0);  // nothing changes in the record
  const int calls = CallsUntilPlanned(a, 20, 5, 3) + 1;
  EXPECT_GT(calls, 2);
  EXPECT_EQ(g_creatureArray.searchPending, 0);
  ASSERT_GT(a.route.stepCount, 0);
  const CCreatureRoute planned = a.route;

  // Again, with another creature's request between: it restarts the search.
  budget = 3;
  ASSERT_EQ(a.PlanRoute(20, 5, kFloor, 0, 0, budget), 2);
  budget = 3;
  ASSERT_EQ(b.PlanRoute(20, 20, kFloor, 0, 0, budget), 2);
  const int afterRestart = CallsUntilPlanned(a, 20, 5, 3);
  EXPECT_EQ(afterRestart, calls);  // the whole search again
  EXPECT_EQ(a.route.stepCount, planned.stepCount);
}

// The network route toward a goal is kept when it has at least three nodes; when its first two
// links add up below 180 the creature skips the first node, and with only three nodes it
// then walks on the cells alone.
TEST_F(CreatureRoutes, AThreeNodeRouteWhoseFirstLinksAddUpBelow180IsDropped) {
  BuildPathNetwork();
  CCreature& c = C(Brownie(5, 5));
  const auto plan = [&](int gx) {
    c.nodeRoute.header[1] = 0;
    int budget = 100000;
    c.PlanRoute(gx, 5, kFloor, 0, 1, budget);
  };
  int goal = -1;
  for (int gx = 8; gx < 40 && goal < 0; ++gx) {
    plan(gx);
    const int32_t* nodes = c.nodeRoute.nodes;
    if (nodes[0] >= 0 && nodes[1] >= 0 && nodes[2] >= 0 && nodes[3] < 0) goal = gx;
  }
  ASSERT_GE(goal, 0) << "no goal with a route of three nodes";
  const int n0 = c.nodeRoute.nodes[0], n1 = c.nodeRoute.nodes[1], n2 = c.nodeRoute.nodes[2];
  const auto setCost = [](int a, int b, int cost) {
    for (int from : {a, b})
      for (CPathLink& link : g_pathNetwork.nodes[static_cast<size_t>(from)].links)
        if (link.Exists() && link.target == (from == a ? b : a)) link.cost = cost;
  };
  struct Case {
    int first, second;
    bool kept;
  };
  for (const Case& k : {Case{100, 80, true}, Case{100, 79, false}, Case{20, 20, false}}) {
    setCost(n0, n1, k.first);
    setCost(n1, n2, k.second);
    plan(goal);
    EXPECT_EQ(c.nodeRoute.header[1] != 0, k.kept) << k.first << " + " << k.second;
    if (k.kept) EXPECT_EQ(c.nodeRoute.position, 1);
    EXPECT_GT(c.route.stepCount, 0);  // the cells lead on either way
  }
}

TEST_F(CreatureRoutes, BlockersWaitingOnEachOtherAreNoObstacleButAChainOfElevenIs) {
  std::vector<int> row;
  for (int i = 0; i < 12; ++i) row.push_back(Brownie(5 + i, 5));
  // Two creatures each blocking the other.
  C(row[0]).motion.blocker = row[1] + 1;
  C(row[1]).motion.blocker = row[0] + 1;
  EXPECT_EQ(C(row[1]).IsStandingObstacle(row[0]), 0);
  EXPECT_EQ(C(row[0]).IsStandingObstacle(row[1]), 0);
  EXPECT_EQ(C(row[1]).IsStandingObstacle(-1), 1);
  // Ten blocked creatures leading back to the asker: no obstacle; eleven: an obstacle.
  const int asker = row[0];
  auto chain = [&](int length) {
    for (int i = 1; i <= length; ++i) C(row[i]).motion.blocker = (i == length ? asker : row[i + 1]) + 1;
    return C(row[1]).IsStandingObstacle(asker);
  };
  EXPECT_EQ(chain(10), 0);
  EXPECT_EQ(chain(11), 1);
  // A creature without a blocker is none; one in the middle of a step always is.
  C(row[5]).motion.blocker = 0;
  EXPECT_EQ(C(row[5]).IsStandingObstacle(asker), 0);
  C(row[5]).midStep = 1;
  EXPECT_EQ(C(row[5]).IsStandingObstacle(asker), 1);
  C(row[5]).midStep = 0;
}

TEST_F(CreatureRoutes, HasteDoublesTheAnimationFramesOfAGameFrameAndSlowHalvesThem) {
  // At a steady pace the accumulator gains speed / step cost animation frames a game frame.
  struct Case {
    int haste, slow;
    int framesTimesTwo;  // animation frames per game frame, times two
  };
  for (const Case& k : {Case{0, 0, 2}, Case{50, 0, 4}, Case{0, 50, 1}}) {
    const int slot = Brownie(5, 5 + 3 * k.framesTimesTwo);
    CCreature& c = C(slot);
    c.haste = k.haste;
    c.slow = k.slow;
    c.WalkTo(c.cellX + 15, c.cellY, kFloor);
    for (int frame = 0; frame < 40; ++frame) Tick();
    ASSERT_TRUE(c.midStep) << k.haste << " " << k.slow << " at " << c.cellX << " state " << c.animState;
    EXPECT_EQ(2 * c.stepSpeed, k.framesTimesTwo * c.motion.stepCost) << k.haste << " " << k.slow;
  }
}

TEST_F(CreatureRoutes, ATurnOfFortyFiveDegreesAfterARePlanKeepsThePaceAndNinetyLosesIt) {
  auto speedAfterTurn = [&](int y, int dx, int dy) {
    CCreature& c = C(Brownie(10, y));
    c.SetFacing(2);  // east
    c.stepSpeed = 300;
    c.motion.continuing = 1;
    c.StandFor(0);
    c.route.stepCount = 1;
    c.route.stepIndex = 0;
    int32_t* s = c.route.steps[0].words;
    s[route_step::kX] = c.cellX + dx;
    s[route_step::kY] = c.cellY + dy;
    s[route_step::kLevel] = kFloor;
    s[route_step::kFacing] = DirectionFromStep(dx, dy);
    s[route_step::kLevelChange] = 0;
    s[route_step::kAirborne] = 0;
    s[route_step::kKind] = 0;
    c.Walking() = 1;
    EXPECT_EQ(c.StartStep(), 1);
    return c.stepSpeed;
  };
  const int straight = speedAfterTurn(5, 1, 0);
  const int diagonal = speedAfterTurn(10, 1, -1);
  const int square = speedAfterTurn(15, 0, -1);
  EXPECT_LT(square, straight);  // from a standing start
  EXPECT_LT(square, diagonal);
  EXPECT_GT(diagonal, 250);
}

TEST_F(CreatureRoutes, ACreatureThatBurnsWaitsInFrontOfABurningCellAndGoesOnWhenItIsOut) {
  g_creatureTypes[kBrownie].BurnDamage = 5;
  CCreature& c = C(Brownie(5, 5));
  g_map.CellAt(9, 5, kFloor).state |= state_bits::kField10;
  c.WalkTo(12, 5, kFloor);
  bool waited = false;
  for (int frame = 0; frame < 200; ++frame) {
    Tick();
    ASSERT_NE(c.cellX, 9) << "stepped into fire in frame " << frame;
    if (c.cellX == 8 && c.animState == ANIM_STAND && c.orderState.standCountdown >= 1) waited = true;
  }
  EXPECT_TRUE(waited);
  EXPECT_EQ(c.order, ORDER_WALK_TO_POS);
  g_map.CellAt(9, 5, kFloor).state &= static_cast<uint16_t>(~state_bits::kField10);
  for (int frame = 0; frame < 200 && c.order == ORDER_WALK_TO_POS; ++frame) Tick();
  EXPECT_EQ(c.cellX, 12);
}

// The map data marks shallow water with the bit that marks fire elsewhere: a ford is no fire.
TEST_F(CreatureRoutes, ACreatureThatBurnsWadesThroughAFord) {
  g_creatureTypes[kBrownie].BurnDamage = 5;
  CCreature& c = C(Brownie(5, 5));
  for (int y = 0; y < g_map.height; ++y) {
    g_map.CellAt(9, y, kFloor).terrain = forge::terrain::kFord;
    g_map.CellAt(9, y, kFloor).state |= state_bits::kField10;
  }
  EXPECT_FALSE(CellBurns(9, 5, kFloor));
  EXPECT_FALSE(CellBurns(9, 5, kFloor + 1));
  c.WalkTo(12, 5, kFloor);
  for (int frame = 0; frame < 300 && c.order == ORDER_WALK_TO_POS; ++frame) Tick();
  EXPECT_EQ(c.cellX, 12);
  // Standing in the marked water itself sets nothing alight either; fire on dry ground does.
  CMapCell& own = g_map.CellAt(c.cellX, c.cellY, c.level);
  const CMapCell kept = own;
  own.terrain = forge::terrain::kFord;
  own.state |= state_bits::kField10;
  c.ApplyCellEffects();
  EXPECT_EQ(c.orderState.burnTimer, 0);
  own.terrain = 0;
  g_map.waterLevel = c.level + 1;
  c.ApplyCellEffects();
  EXPECT_EQ(c.orderState.burnTimer, 0);
  g_map.waterLevel = 0;
  c.ApplyCellEffects();
  EXPECT_EQ(c.orderState.burnTimer, c.type->BurnTime);
  EXPECT_GT(c.orderState.burnTimer, 0);
  c.orderState.burnTimer = 0;
  own = kept;
  g_map.CellAt(9, 6, kFloor).terrain = forge::terrain::kGrass;
  EXPECT_TRUE(CellBurns(9, 6, kFloor + 1));  // fire on the ground below
  // Under the water level the mark is shallow water, whatever lies in the cell.
  g_map.waterLevel = kFloor;  // the floor at the water's surface: fire
  EXPECT_TRUE(CellBurns(9, 6, kFloor));
  g_map.waterLevel = kFloor + 1;
  EXPECT_FALSE(CellBurns(9, 6, kFloor));
  EXPECT_FALSE(CellBurns(9, 6, kFloor + 1));
  g_map.waterLevel = 0;
}

// Down from a ledge and up again, straight and diagonally: the creature passes the corner
// through the air beside its step, where nothing carries it.
TEST_F(CreatureRoutes, AWalkerStepsDownALedgeAndUpAgainSideways) {
  for (int y = 0; y < g_map.height; ++y)
    for (int x = 0; x <= 8; ++x) {
      g_map.CellAt(x, y, kFloor).terrain = forge::terrain::kRock;
      g_map.CellAt(x, y, kFloor + 1).terrain = forge::terrain::kGrass;
    }
  CCreature& c = C(Place(kBrownie, 0, 6, 5, kFloor + 1));
  int kind = 0;
  EXPECT_EQ(c.CanMoveStraightTo(8, 5, kFloor + 1, 9, 5, kFloor, &kind, 0), 1);
  EXPECT_EQ(c.CanMoveStraightTo(8, 5, kFloor + 1, 9, 6, kFloor, &kind, 0), 1);
  EXPECT_EQ(c.CanMoveStraightTo(9, 5, kFloor, 8, 4, kFloor + 1, &kind, 0), 1);
  c.WalkTo(12, 9, kFloor);
  for (int frame = 0; frame < 400 && c.order == ORDER_WALK_TO_POS; ++frame) Tick();
  EXPECT_EQ(c.cellX, 12);
  EXPECT_EQ(c.cellY, 9);
  EXPECT_EQ(c.level, kFloor);
  c.WalkTo(4, 4, kFloor + 1);
  for (int frame = 0; frame < 400 && c.order == ORDER_WALK_TO_POS; ++frame) Tick();
  EXPECT_EQ(c.cellX, 4);
  EXPECT_EQ(c.level, kFloor + 1);
}

// Equal steps in a row play one continuous walk cycle: the animation is not started again at
// each step, so it restarts only when its sequence is through, each time after the same
// distance, which spans more than a step.
TEST_F(CreatureRoutes, EqualStepsInARowPlayOneContinuousWalkCycle) {
  CCreature& c = C(Brownie(5, 5));
  c.WalkTo(20, 5, kFloor);
  std::vector<int> restartUnits;
  int lastCount = 0;
  for (int frame = 0; frame < 400 && c.order == ORDER_WALK_TO_POS; ++frame) {
    Tick();
    if (c.animState == ANIM_WALK && c.motion.frameCount < lastCount) restartUnits.push_back(c.unitX);
    lastCount = c.animState == ANIM_WALK ? c.motion.frameCount : 0;
  }
  EXPECT_EQ(c.cellX, 20);
  ASSERT_GE(restartUnits.size(), 4u);
  const int cycle = restartUnits[1] - restartUnits[0];
  EXPECT_GT(cycle, kUnitsPerTile);
  for (size_t i = 2; i < restartUnits.size(); ++i) EXPECT_EQ(restartUnits[i] - restartUnits[i - 1], cycle) << i;
}

// A landing takes the fall damage of spell 44; type 15 dies of it; a creature held in stone
// shatters. Each is brought down next to its goal, as a forced landing leaves it.
TEST_F(CreatureRoutes, ALandingHurtsKillsType15AndShattersAStoneCreature) {
  struct Case {
    int type, heldKind;
    bool survives;
  };
  const int fall = g_spellDefs[44].Damage;
  ASSERT_GT(fall, 0);
  int y = 4;
  for (const Case& k : {Case{kBrownie, 0, true}, Case{15, 0, false}, Case{kBrownie, 1, false}}) {
    CCreature& c = C(Place(k.type, 0, 10, y, kFloor));
    y += 4;
    const int health = c.health;
    c.WalkTo(11, c.cellY, kFloor);
    c.orderState.replanRequest = 0;  // next to its goal with no leg left to plan
    c.falling = 1;
    c.heldKind = k.heldKind;
    for (int frame = 0; frame < 5 && c.inUse && c.order == ORDER_WALK_TO_POS; ++frame) Tick();
    EXPECT_EQ(c.inUse && c.IsAlive(), k.survives) << k.type << " held " << k.heldKind;
    if (!k.survives) continue;
    EXPECT_EQ(c.health, health - fall);
    EXPECT_EQ(c.falling, 0);
    EXPECT_EQ(c.order, ORDER_WAIT);
  }
}

// A push from in front with a draw of 51: the creature backs off one cell, walking backwards
// so that it still faces its foe, and takes up its order again.
TEST_F(CreatureRoutes, APushedCreatureBacksOffACellFacingItsFoe) {
  const int me = Brownie(10, 10);
  const int foe = Brownie(10, 9, 1);
  C(me).SetFacing(0);
  for (uint32_t seed = 1;; ++seed) {  // a seed whose first draw gives r mod 100 = 51
    CRandom random;
    random.Seed(seed);
    if ((random.Next() & 0x7FFFFFFF) % 100 != 51) continue;
    g_battleRandom.Seed(seed);
    break;
  }
  ASSERT_EQ(C(me).TryPushBack(0, C(foe)), 1);
  C(me).pendingOrder = C(me).order;
  C(me).SetOrder(ORDER_RETREAT);
  EXPECT_TRUE(C(me).midStep);
  EXPECT_EQ(C(me).mirrored, 1);
  for (int frame = 0; frame < 200 && C(me).order == ORDER_RETREAT; ++frame) Frame();
  EXPECT_EQ(C(me).cellX, 10);
  EXPECT_EQ(C(me).cellY, 11);
  EXPECT_EQ(C(me).facing, 0);
  EXPECT_EQ(C(me).mirrored, 0);
  EXPECT_EQ(C(me).order, ORDER_WAIT);
}

TEST_F(CreatureRoutes, AFollowerStaysPutWithinTwoCellsAndWalksAfterItsLeaderOtherwise) {
  CCreature& leader = C(Brownie(10, 10));
  CCreature& follower = C(Brownie(8, 12));
  follower.followed = leader.index;
  EXPECT_EQ(follower.FollowLeader(), 0);
  leader.SetPosition(14, 10, kFloor, leader.typeNumber);
  EXPECT_EQ(follower.FollowLeader(), 1);
  EXPECT_EQ(follower.order, ORDER_WALK_TO_POS);
  EXPECT_LE(std::abs(follower.orderState.goalX - 14), 2);
  follower.followed = -1;
  EXPECT_EQ(follower.FollowLeader(), 0);
}

}  // namespace
}  // namespace creature_test
