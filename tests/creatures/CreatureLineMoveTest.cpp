// Stepped straight moves on small hand-made maps: a creature thrown along a line walks it
// backwards to its end; the line stops at a wall and after 16 steps; a move started during a
// step waits for the step to end; a levitating creature that cannot fly drifts.
#include <gtest/gtest.h>

#include <string>

#include "WalkWorld.h"
#include "creatures/CreatureRoutes.h"
#include "creatures/SpellDefinition.h"
#include "map/Map.h"

namespace creature_test {
namespace {

using LineMove = WalkWorld;
using namespace route_step;

CLineMoveParams LineTo(int x, int y, int level) {
  CLineMoveParams line;
  line.targetX = x;
  line.targetY = y;
  line.targetLevel = level;
  line.shape[2] = 300;
  line.shape[3] = 3;
  return line;
}

TEST_F(LineMove, ACreatureThrownAlongALineWalksItBackwardsToItsEnd) {
  const int slot = Place(kBrownie, 0, 5, 10, kFloor);
  CCreature& c = C(slot);
  c.SetFacing(6);
  ASSERT_EQ(c.StartLineMove(LineTo(10, 10, kFloor)), 1);
  EXPECT_EQ(c.route.stepCount, 5);
  for (int i = 0; i < c.route.stepCount; ++i) {
    const int32_t* s = c.route.steps[i].words;
    EXPECT_EQ(s[kX], 6 + i);
    EXPECT_EQ(s[kY], 10);
    EXPECT_EQ(s[kFacing], 2);
    EXPECT_EQ(s[kKind], kStepGround);
  }
  EXPECT_EQ(c.order, ORDER_WALK_TO_POS);
  EXPECT_EQ(c.orderState.lineMove, 1);
  EXPECT_EQ(c.mirrored, 1);  // it faces away from where it goes
  EXPECT_EQ(c.midStep, 1);
  // The move is kept in the record as it was given.
  const CLineMoveParams kept = c.StoredLineMove();
  EXPECT_EQ(kept.targetX, 10);
  EXPECT_EQ(kept.shape[2], 300);
  EXPECT_EQ(kept.shape[3], 3);
  // A line move refuses other walk orders until it ends.
  c.WalkTo(5, 20, kFloor);
  EXPECT_EQ(c.orderState.goalY, 10);
  std::string why;
  for (int frame = 0; frame < 300 && !(c.order == ORDER_WAIT && !c.midStep); ++frame) {
    Tick();
    ASSERT_TRUE(OccupancyHolds(why)) << why;
  }
  EXPECT_EQ(c.cellX, 10);
  EXPECT_EQ(c.cellY, 10);
  EXPECT_EQ(c.order, ORDER_WAIT);
  EXPECT_EQ(c.orderState.lineMove, 0);
  EXPECT_EQ(c.mirrored, 0);
}

TEST_F(LineMove, TheLineStopsAtAWallAndAfterSixteenSteps) {
  struct Case {
    const char* name;
    int wallX;  // -1 none
    int targetX;
    int started, steps;
  };
  const Case cases[] = {
      {"far target", -1, 25, 1, 16},          {"across the seam the short way", -1, 40, 1, 13},
      {"wall on the way", 9, 20, 1, 3},       {"wall in the first cell", 6, 20, 0, 0},
      {"at the target already", -1, 5, 0, 0},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    g_creatureArray.ReleaseAll();
    for (int x : {6, 9})
      for (int z = kFloor; z < kFloor + 3; ++z) g_map.CellAt(x, 10, z).terrain = 0;
    if (k.wallX >= 0) Wall(k.wallX, 10, k.wallX, 10);
    CCreature& c = C(Place(kBrownie, 0, 5, 10, kFloor));
    EXPECT_EQ(c.StartLineMove(LineTo(k.targetX, 10, kFloor)), k.started);
    if (k.started) {
      EXPECT_EQ(c.route.stepCount, k.steps);
      const int end = k.targetX == 40 ? 40 : 5 + k.steps;  // westward round the seam from 5 to 40
      EXPECT_EQ(c.orderState.goalX, end);
    } else {
      EXPECT_EQ(c.order, ORDER_WAIT);
      EXPECT_EQ(c.attackApproach, 0);
      EXPECT_EQ(c.orderState.lineMove, 0);
      EXPECT_EQ(c.cellX, 5);
    }
  }
}

TEST_F(LineMove, AMoveGivenDuringAStepStartsWhenTheStepEnds) {
  CCreature& c = C(Place(kBrownie, 0, 5, 10, kFloor));
  c.WalkTo(5, 20, kFloor);
  for (int frame = 0; frame < 100 && !c.midStep; ++frame) Tick();
  ASSERT_EQ(c.midStep, 1);
  EXPECT_EQ(c.StartLineMove(LineTo(12, 11, kFloor)), 1);
  EXPECT_EQ(c.motion.walkRestart, 1);
  EXPECT_EQ(c.pendingOrder, ORDER_WALK_TO_POS);
  EXPECT_EQ(c.orderState.lineMove, 0);  // not yet
  for (int frame = 0; frame < 100 && !c.orderState.lineMove; ++frame) Tick();
  ASSERT_EQ(c.orderState.lineMove, 1);
  EXPECT_EQ(c.cellX, 5);
  EXPECT_EQ(c.cellY, 11);  // the step south ended first
  EXPECT_EQ(c.orderState.goalX, 12);
  EXPECT_EQ(c.orderState.goalY, 11);
  for (int frame = 0; frame < 300 && c.order != ORDER_WAIT; ++frame) Tick();
  EXPECT_EQ(c.cellX, 12);
  EXPECT_EQ(c.cellY, 11);
}

TEST_F(LineMove, ALevitatingCreatureThatCannotFlyDriftsCellByCell) {
  CCreature& c = C(Place(kBrownie, 0, 20, 20, kFloor + 1));
  c.mayFly = 1;
  c.airborne = 400;
  std::string why;
  for (int frame = 0; frame < 200; ++frame) {
    Tick();
    ASSERT_TRUE(OccupancyHolds(why)) << why;
  }
  // Toward the map's direction 0 (y - 1), one cell a move, at its height.
  EXPECT_EQ(c.cellX, 20);
  EXPECT_LT(c.cellY, 17);
  EXPECT_EQ(c.level, kFloor + 1);
  // Ordered walks stay refused while it floats.
  c.WalkTo(30, 30, kFloor);
  EXPECT_NE(c.orderState.goalX, 30);
}

}  // namespace
}  // namespace creature_test
