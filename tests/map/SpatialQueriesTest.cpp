// Free places, greedy and straight walks, goals, points in solids and rays, mana sprites.
#include <cstdlib>

#include "MapTestSupport.h"
#include "map/MapUnits.h"

using namespace map_test;

class SpatialQueries : public MapTest {
 protected:
  void SetUp() override {
    MapTest::SetUp();
    FillLevel(0, t::kGrass);
  }
  // Marks a cell as held by another creature.
  void Occupy(int x, int y, int level, int creature = 50) {
    CMapCell& cell = *g_map.CellAtWrapped(x, y, level);
    cell.occupant = static_cast<uint16_t>(creature);
    cell.state |= state_bits::kLiquid;
  }
  void Wall(int x, int y) {
    for (int z = 0; z <= 2; ++z) Set(x, y, z, t::kStone);
  }
  static int Ring(int x0, int y0, int x1, int y1) {
    return std::max(std::abs(WrapDeltaX(x0, x1)), std::abs(WrapDeltaY(y0, y1)));
  }
};

TEST_F(SpatialQueries, FreePlacesAreFoundInRingsAndTheSameOnEveryCall) {
  const CMoveQuery walker = CMoveQuery::MinimalWalker();
  int x = 10, y = 10, level = 0;
  ASSERT_EQ(g_map.FindFreePositionNear(1, walker, x, y, level), 1);
  EXPECT_EQ(x, 10);  // the cell itself is free
  EXPECT_EQ(y, 10);

  // A full cell and a full first ring: the place lies in the second ring.
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx) Occupy(10 + dx, 10 + dy, 0);
  int firstX = 10, firstY = 10, firstLevel = 0;
  ASSERT_EQ(g_map.FindFreePositionNear(1, walker, firstX, firstY, firstLevel), 1);
  EXPECT_EQ(Ring(10, 10, firstX, firstY), 2);
  EXPECT_EQ(firstLevel, 0);
  for (int i = 0; i < 3; ++i) {  // the order depends only on the start cell
    int again = 10, againY = 10, againLevel = 0;
    g_map.FindFreePositionNear(1, walker, again, againY, againLevel);
    EXPECT_EQ(again, firstX);
    EXPECT_EQ(againY, firstY);
  }
  // A creature may take the cell it holds itself.
  x = 10, y = 10, level = 0;
  ASSERT_EQ(g_map.FindFreePositionNear(50, walker, x, y, level), 1);
  EXPECT_EQ(x, 10);

  // A walker asked for a place in the air comes down to the ground.
  x = 30, y = 30, level = 2;
  ASSERT_EQ(g_map.FindFreePositionNear(1, walker, x, y, level), 1);
  EXPECT_EQ(level, 0);

  // Rings 0 to 5 all full: nothing, and the position stays.
  for (int dy = -5; dy <= 5; ++dy)
    for (int dx = -5; dx <= 5; ++dx) Occupy(46 + dx, 40 + dy, 0);
  x = 46, y = 40, level = 0;
  EXPECT_EQ(g_map.FindFreePositionNear(1, walker, x, y, level), 0);
  EXPECT_EQ(x, 46);
  EXPECT_EQ(y, 40);
  EXPECT_EQ(level, 0);
}

TEST_F(SpatialQueries, GreedyAndStraightWalks) {
  const CMoveQuery walker = CMoveQuery::MinimalWalker();
  EXPECT_EQ(g_map.GreedyWalk(5, 5, 0, 5, 5, 0, walker), 1);  // standing on the goal
  EXPECT_EQ(g_map.GreedyWalk(5, 5, 0, 12, 8, 0, walker), 1);
  EXPECT_EQ(g_map.GreedyWalk(46, 42, 0, 2, 1, 0, walker), 1);  // across the seams
  EXPECT_EQ(g_map.TraceReach(5, 5, 0, 12, 8, 0, walker), 1);
  // A wall straight across the way: the straight walk stops, the greedy one too (it never
  // steps away from the goal).
  for (int y = 0; y < 44; ++y) Wall(9, y);
  EXPECT_EQ(g_map.TraceReach(5, 5, 0, 12, 8, 0, walker), 0);
  EXPECT_EQ(g_map.GreedyWalk(5, 5, 0, 12, 8, 0, walker), 0);
  CMoveQuery flyer = walker;
  flyer.flying = 1;
  EXPECT_EQ(g_map.GreedyWalk(5, 5, 3, 12, 8, 3, flyer), 1);  // above the wall
  EXPECT_EQ(g_map.GreedyWalk(5, 5, 3, 12, 8, 3, walker), 0);

  CLineMoveParams line;
  line.targetX = 8;
  line.targetY = 20;
  line.targetLevel = 0;
  int x = 5, y = 20, level = 0, kind = -1;
  EXPECT_EQ(g_map.TraceStepLine(line, walker, x, y, level, &kind), 1);
  EXPECT_EQ(x, 6);
  EXPECT_EQ(kind, kStepGround);
  x = 10, y = 20, level = 0;  // beyond the wall: one step to 9 is refused
  line.targetX = 8;
  EXPECT_EQ(g_map.TraceStepLine(line, walker, x, y, level, &kind), 0);
  EXPECT_EQ(x, 10);
  x = 8;
  EXPECT_EQ(g_map.TraceStepLine(line, walker, x, y, level, &kind), 0);  // at the target
}

TEST_F(SpatialQueries, RouteGoalsComeDownAndMoveToWhereTheCreatureFits) {
  const CMoveQuery walker = CMoveQuery::MinimalWalker();
  Set(20, 20, 2, t::kGrass);
  int x = 20, y = 20, level = 6;
  EXPECT_EQ(g_map.AdjustRouteGoal(walker, x, y, level), 1);
  EXPECT_EQ(level, 2);        // the first cell with terrain below
  x = 25, y = 25, level = 5;  // over the floor: lowered to level 1, then into the floor below
  EXPECT_EQ(g_map.AdjustRouteGoal(walker, x, y, level), 1);
  EXPECT_EQ(level, 0);
  EXPECT_EQ(x, 25);
  Set(26, 26, 0, 0);  // no floor at all: the lowering stops at level 1
  for (const GridStep& step : kNeighbours26) Set(26 + step.dx, 26 + step.dy, 0, 0);
  x = 26, y = 26, level = 5;
  EXPECT_EQ(g_map.AdjustRouteGoal(walker, x, y, level), 1);
  EXPECT_EQ(level, 1);
  x = 25, y = 25, level = 0;  // standing ground already: unchanged
  EXPECT_EQ(g_map.AdjustRouteGoal(walker, x, y, level), 0);
  EXPECT_EQ(level, 0);
  // A goal in a wall moves to a neighbour the creature can stand in.
  Wall(30, 30);
  x = 30, y = 30, level = 1;
  g_map.AdjustRouteGoal(walker, x, y, level);
  EXPECT_TRUE(g_map.CanOccupy(x, y, level, walker)) << x << "," << y << "," << level;
  // A swimmer's goal under water floats up to its height below the surface.
  g_map.waterLevel = 5;
  CMoveQuery swimmer = walker;
  swimmer.movementKind = kMovementSwimmer;
  swimmer.height = 2;
  x = 35, y = 35, level = 1;
  g_map.AdjustRouteGoal(swimmer, x, y, level);
  EXPECT_EQ(level, 3);
}

TEST_F(SpatialQueries, AttackPositionsAlongTheLineAndWithinTheDirection) {
  FakeHooks hooks;
  hooks.creatures.Add(1, 5, 10, 0);
  hooks.creatures.Add(2, 9, 10, 0);
  int x = -1, y = -1, level = -1;
  ASSERT_EQ(g_map.FindAttackPosition(1, 2, 10, 1, 0, 0, x, y, level), 1);
  EXPECT_EQ(x, 6);
  EXPECT_EQ(y, 10);
  EXPECT_EQ(g_map.FindAttackPosition(1, 2, 10, -1, 0, 0, x, y, level), 0);  // facing away
  EXPECT_EQ(g_map.FindAttackPosition(1, 2, 10, 1, 3, 0, x, y, level), 0);   // beyond 60 degrees
  EXPECT_EQ(g_map.FindAttackPosition(1, 2, 3, 1, 0, 0, x, y, level), 0);    // out of range
  EXPECT_EQ(g_map.FindAttackPosition(1, 1, 10, 1, 0, 0, x, y, level), 0);   // itself
  Set(7, 10, 0, t::kWater);                                                 // open water on the line
  EXPECT_EQ(g_map.FindAttackPosition(1, 2, 10, 1, 0, 0, x, y, level), 0);
}

TEST_F(SpatialQueries, PointsInSolidsAndRays) {
  FakeHooks hooks;
  Wall(10, 10);
  EXPECT_EQ(g_map.PointHitsSolid(10 * 32 + 5, 10 * 32 + 5, 20), 1);
  EXPECT_EQ(g_map.PointHitsSolid(11 * 32 + 5, 10 * 32 + 5, 20), 0);
  EXPECT_EQ(g_map.PointHitsSolid(11 * 32 + 5, 10 * 32 + 5, 2), 1);  // in the grass floor
  EXPECT_EQ(g_map.PointHitsSolid(11 * 32 + 5, 10 * 32 + 5, 9999), 0);
  Cell(12, 10, 1).state |= state_bits::kField20;
  EXPECT_EQ(g_map.PointHitsSolid(12 * 32 + 5, 10 * 32 + 5, 20), 1);
  hooks.creatures.Add(3, 14, 10, 1);
  EXPECT_EQ(g_map.PointHitsSolid(14 * 32 + 16, 10 * 32 + 16, 20), 1);  // in its body
  EXPECT_EQ(g_map.PointHitsSolid(14 * 32 + 1, 10 * 32 + 1, 20), 0);    // beside its rounded shape

  // A ray from x 176 eastwards stops before the wall at x 320.
  float fx = 100, fy = 0, fz = 0;
  ASSERT_EQ(g_map.TraceProjectileRay(5 * 32 + 16, 10 * 32 + 16, 20, 1.0f, fx, fy, fz), 1);
  EXPECT_GE(fx, 320 - 176 - 4);
  EXPECT_LT(fx, 320 - 176);
  EXPECT_EQ(fy, 0);
  EXPECT_EQ(fz, 0);
  // Started inside the wall it backs out first.
  fx = 100, fy = 0, fz = 0;
  ASSERT_EQ(g_map.TraceProjectileRay(10 * 32 + 16, 10 * 32 + 16, 20, 1.0f, fx, fy, fz), 1);
  EXPECT_LT(fx, -16);
  float zero = 0;
  EXPECT_EQ(g_map.TraceProjectileRay(0, 0, 20, 1.0f, zero, zero, zero), 0);
  fx = 0, fy = 0, fz = 50;  // up and out of the map: nothing written
  EXPECT_EQ(g_map.TraceProjectileRay(5 * 32, 5 * 32, 20, 1.0f, fx, fy, fz), 0);
  EXPECT_EQ(fz, 50);
}

TEST_F(SpatialQueries, ManaSpritesAppearAtFreeSites) {
  FakeHooks hooks;
  EXPECT_EQ(g_map.RegenerateManaSprites(), 0);  // no sites
  g_map.maxManaSprites = 2;
  g_map.manaSpriteSites = {{4, 4, 0}, {6, 6, 0}};
  EXPECT_EQ(g_map.RegenerateManaSprites(), 1);
  EXPECT_EQ(g_map.RegenerateManaSprites(), 1);
  EXPECT_EQ(g_map.RegenerateManaSprites(), 0);  // as many as allowed
  EXPECT_EQ(g_map.manaSpriteCount, 2);
  ASSERT_EQ(hooks.objects.kinds.size(), 2u);
  EXPECT_EQ(hooks.objects.kinds[0][1], 19);
  g_map.manaSpriteCount = 0;
  Occupy(4, 4, 0);
  Set(6, 6, 0, t::kWater);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(g_map.RegenerateManaSprites(), 0);
}

// Every machine of a network battle must pick the same site: without a battle of its own
// installed, the map draws from the game's battle generator, g_battleRandom.
TEST_F(SpatialQueries, ManaSpriteSitesAreDrawnFromTheBattleGenerator) {
  FakeObjects objects;
  MapHooks hooks = DefaultMapHooks();
  hooks.objects = &objects;
  MapHooksScope scope(hooks);
  g_map.maxManaSprites = 8;
  g_map.manaSpriteSites = {{2, 2, 0}, {4, 4, 0}, {6, 6, 0}, {8, 8, 0}, {10, 10, 0}};
  auto sitesPicked = [&](uint32_t seed) {
    g_battleRandom.Seed(seed);
    objects.placed.clear();
    g_map.manaSpriteCount = 0;
    for (int i = 0; i < 6; ++i) g_map.RegenerateManaSprites();
    return objects.placed;
  };
  const auto first = sitesPicked(77);
  CRandom expected(77);
  for (const std::vector<int>& place : first)
    EXPECT_EQ(place[1], 2 + 2 * static_cast<int>((expected.Next() & 0x7FFFFFFF) % 5u));
  EXPECT_EQ(sitesPicked(77), first);
  EXPECT_NE(sitesPicked(78), first);
  g_battleRandom.Seed(CRandom::kDefaultSeed);
}
