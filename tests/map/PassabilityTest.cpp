// Standing, room, water and steps between cells, for each kind of mover.
#include "MapTestSupport.h"

using namespace map_test;

namespace {

CMoveQuery Walker() {
  CMoveQuery query = CMoveQuery::MinimalWalker();
  query.deepWater = 0;
  return query;
}
CMoveQuery Flyer() {
  CMoveQuery query = Walker();
  query.flying = 1;
  return query;
}
CMoveQuery Airborne() {
  CMoveQuery query = Walker();
  query.airborne = 1;
  return query;
}
CMoveQuery WithKind(int kind, int height) {
  CMoveQuery query = Walker();
  query.movementKind = kind;
  query.height = height;
  return query;
}

}  // namespace

class Passability : public MapTest {
 protected:
  // Steps and answers the step kind, or -1 when refused.
  int Step(int x0, int y0, int z0, int x1, int y1, int z1, const CMoveQuery& query) {
    int kind = -7, support = -1;
    int allowed = g_map.CanStepBetween(x0, y0, z0, x1, y1, z1, query, &kind, &support);
    if (!allowed) {
      EXPECT_EQ(kind, kStepRefused);
      return -1;
    }
    return kind;
  }
};

TEST_F(Passability, WalkerIsRefusedAnUnsupportedCellAtOrAboveTheWaterWhileAFlyerTakesOff) {
  FillLevel(0, t::kEarth);
  FillLevel(1, t::kGrass);
  Set(11, 5, 1, 0);  // a hole in the floor: (11, 5, 1) stands on nothing
  struct Case {
    int water;
    int x1, z1;
    int walker, flyer;
  };
  const Case cases[] = {
      {0, 11, 1, -1, kStepTakeOff},  // above the water
      {1, 11, 1, -1, kStepTakeOff},  // at the water
      {0, 11, 2, -1, kStepTakeOff},  // one level up into the air
      {0, 12, 1, kStepGround, kStepGround},
  };
  for (const Case& c : cases) {
    g_map.waterLevel = c.water;
    EXPECT_EQ(Step(10, 5, 1, c.x1, 5, c.z1, Walker()), c.walker) << c.water << " " << c.x1 << "," << c.z1;
    EXPECT_EQ(Step(10, 5, 1, c.x1, 5, c.z1, Flyer()), c.flyer) << c.water << " " << c.x1 << "," << c.z1;
  }
}

TEST_F(Passability, AirborneCreatureRisesOneLevelNotTwoAndLands) {
  FillLevel(0, t::kGrass);
  EXPECT_EQ(Step(10, 5, 0, 11, 5, 1, Airborne()), kStepTakeOff);
  EXPECT_EQ(Step(10, 5, 0, 11, 5, 2, Airborne()), -1);
  EXPECT_EQ(Step(10, 5, 0, 10, 5, 1, Airborne()), kStepTakeOff);  // straight up
  EXPECT_EQ(Step(10, 5, 0, 11, 5, 0, Airborne()), kStepGround);
  EXPECT_EQ(Step(11, 5, 1, 12, 5, 0, Airborne()), kStepLanding);
  EXPECT_EQ(Step(11, 5, 1, 12, 5, 1, Airborne()), kStepFlying);
  EXPECT_EQ(Step(10, 5, 0, 11, 5, 2, Flyer()), kStepTakeOff);
  EXPECT_EQ(Step(11, 5, 2, 12, 5, 2, Walker()), -1);  // a walker in the air goes nowhere
}

TEST_F(Passability, LargeCreatureStandsOnDiagonalSupportsButNotOnTwoSideBySide) {
  CMoveQuery large = Walker();
  large.size = 2;
  struct Case {
    std::vector<std::pair<int, int>> supports;  // columns of (20, 20) with grass at level 1
    int supported;
  };
  const Case cases[] = {
      {{{0, 0}, {1, 1}}, 1},
      {{{1, 0}, {0, 1}}, 1},
      {{{0, 0}, {1, 0}}, 0},
      {{{0, 0}, {0, 1}}, 0},
      {{{0, 0}, {1, 0}, {0, 1}}, 1},
      {{{0, 0}}, 0},
      {{{0, 0}, {1, 0}, {0, 1}, {1, 1}}, 1},
  };
  for (const Case& c : cases) {
    MakeMap(48, 44, 4);
    for (auto [dx, dy] : c.supports) Set(20 + dx, 20 + dy, 1, t::kGrass);
    EXPECT_EQ(g_map.FindGroundSupport(20, 20, 1, large), c.supported) << c.supports.size();
  }
  // Supports found only one level down do not carry it at this level.
  MakeMap(48, 44, 4);
  for (int dy = 0; dy < 2; ++dy)
    for (int dx = 0; dx < 2; ++dx) Set(20 + dx, 20 + dy, 0, t::kGrass);
  EXPECT_EQ(g_map.FindGroundSupport(20, 20, 1, large), 0);
  EXPECT_EQ(g_map.FindGroundSupport(20, 20, 0, large), 1);
  // The footprint wraps at the seam.
  Set(47, 43, 1, t::kGrass);
  Set(0, 0, 1, t::kGrass);
  EXPECT_EQ(g_map.FindGroundSupport(47, 43, 1, large), 1);
}

TEST_F(Passability, WaterForbidsPlacesByMovementKind) {
  g_map.waterLevel = 4;
  Set(30, 30, 3, t::kGrass);  // a supported place at level 3 in column (30, 30)
  struct Case {
    int kind, level;
    int emptyColumn, supportedColumn;
  };
  // Height 2: the surface band is w - h + 1 = 3 .. 4.
  const Case cases[] = {
      {0, 3, 1, 1}, {0, 4, 0, 0},                              // walkers stay out of the water
      {1, 2, 1, 1}, {1, 3, 1, 0}, {1, 4, 0, 0},                // kind 1 wades where it stands
      {2, 1, 1, 1}, {2, 2, 0, 0}, {2, 3, 1, 0}, {2, 4, 0, 0},  // swimmers float at w - h
      {3, 3, 1, 0}, {3, 5, 0, 0}, {7, 0, 0, 0},
  };
  for (const Case& c : cases) {
    CMoveQuery query = WithKind(c.kind, 2);
    EXPECT_EQ(g_map.IsBlockedByWater(10, 10, c.level, query), c.emptyColumn) << c.kind << " at " << c.level;
    EXPECT_EQ(g_map.IsBlockedByWater(30, 30, c.level, query), c.supportedColumn) << c.kind << " at " << c.level;
  }
  // A swimmer at w - h with no room one level up is forbidden.
  Set(10, 10, 4, t::kStone);
  EXPECT_EQ(g_map.IsBlockedByWater(10, 10, 2, WithKind(2, 2)), 1);
}

TEST_F(Passability, CellTestsForDoorsSealsAndDeepWater) {
  FillLevel(0, t::kGrass);
  CMoveQuery walker = Walker();
  CMoveQuery diver = Walker();
  diver.deepWater = 1;
  // Deep water is refused unless the query allows it.
  Cell(3, 3, 0).state |= state_bits::kField20;
  EXPECT_EQ(g_map.CellSupports(3, 3, 0, walker), 0);
  EXPECT_EQ(g_map.CellSupports(3, 3, 0, diver), 1);
  EXPECT_EQ(g_map.CellHasRoom(3, 3, 0, walker), 0);
  EXPECT_EQ(g_map.CellHasRoom(3, 3, 0, diver), 1);
  Cell(3, 3, 0).state |= state_bits::kField10;  // 0x30 is not deep water
  EXPECT_EQ(g_map.CellSupports(3, 3, 0, walker), 1);
  // Sealed cells hold nothing, and carry what stands above them.
  Cell(4, 4, 1).state |= state_bits::kSealed;
  EXPECT_EQ(g_map.CellHasRoom(4, 4, 1, walker), 0);
  EXPECT_EQ(g_map.CellSupports(4, 4, 2, walker), 1);
  // A closed door has no room; an open doorway counts as empty.
  Set(5, 5, 1, t::kDoor);
  Cell(5, 5, 1).state |= state_bits::kClosedDoor;
  EXPECT_EQ(g_map.CellHasRoom(5, 5, 1, walker), 0);
  Cell(5, 5, 1).state = state_bits::kOpenDoorway;
  EXPECT_EQ(g_map.CellHasRoom(5, 5, 0, walker), 1);
  EXPECT_EQ(g_map.CellSupports(5, 5, 1, walker), 0);  // over grass, an open doorway supports nothing
  // Standing in liquid is not possible; on a walkable liquid one level down it is.
  Set(6, 6, 0, t::kFord);
  EXPECT_EQ(g_map.CellSupports(6, 6, 0, walker), 0);
  EXPECT_EQ(g_map.CellSupports(6, 6, 1, walker), 1);
  Set(6, 6, 0, t::kWater);
  EXPECT_EQ(g_map.CellSupports(6, 6, 1, walker), 0);
  EXPECT_EQ(g_map.CellHasRoom(6, 6, 0, walker), 0);
  // A tall block needs a second level of room for a creature one level tall.
  Set(7, 7, 1, t::kEarth);
  Set(7, 7, 2, t::kGrass);
  EXPECT_EQ(g_map.CellHasRoom(7, 7, 1, walker), 0);
  EXPECT_EQ(g_map.CellHasRoom(7, 7, 7, walker), 1);
  CMoveQuery tall = Walker();
  tall.height = 2;
  EXPECT_EQ(g_map.CellHasRoom(7, 7, 7, tall), 0);  // above the top of the map
  // Type 22 stands anywhere that has terrain and never steps; others only on standable ground.
  CMoveQuery special = Walker();
  special.typeIndex = kSpecialCreatureType;
  Set(8, 8, 1, t::kStone);
  EXPECT_EQ(g_map.CellSupports(8, 8, 1, special), 1);
  EXPECT_EQ(g_map.CellSupports(8, 8, 1, walker), 0);  // wall fill
  Set(8, 8, 1, t::kStoneTop);
  EXPECT_EQ(g_map.CellSupports(8, 8, 1, walker), 1);  // the top of a wall
  EXPECT_EQ(Step(1, 1, 0, 2, 1, 0, special), -1);
  // Outside the map there is neither room nor support.
  EXPECT_EQ(g_map.CellHasRoom(48, 0, 0, walker), 0);
  EXPECT_EQ(g_map.CellSupports(0, 0, -1, walker), 0);
}

TEST_F(Passability, HeadroomAndDiagonalRules) {
  FillLevel(0, t::kEarth);
  FillLevel(1, t::kGrass);
  // Off a tall block onto a floor with a roof over it: no room for the head.
  Set(5, 5, 1, t::kTurf);
  Set(6, 5, 2, t::kRoof);
  EXPECT_EQ(Step(5, 5, 1, 6, 5, 1, Walker()), -1);
  Set(6, 5, 2, 0);
  EXPECT_EQ(Step(5, 5, 1, 6, 5, 1, Walker()), kStepGround);

  // A diagonal step past a wall two blocks high is refused: both corners need room.
  for (int z = 1; z <= 2; ++z) {
    Set(21, 20, z, t::kStone);
    Set(20, 21, z, t::kStone);
  }
  EXPECT_EQ(Step(20, 20, 1, 21, 21, 1, Walker()), -1);
  CMoveQuery large = Walker();
  large.size = 2;  // the rule is for one-column creatures only (this one has no room anyway)
  EXPECT_EQ(g_map.HasRoomAt(20, 20, 1, large), 0);
  Set(21, 20, 1, t::kGrass);
  Set(21, 20, 2, 0);
  EXPECT_EQ(Step(20, 20, 1, 21, 21, 1, Walker()), -1);
  Set(20, 21, 1, t::kGrass);
  Set(20, 21, 2, 0);
  EXPECT_EQ(Step(20, 20, 1, 21, 21, 1, Walker()), kStepGround);

  // Steps wrap across the seam.
  EXPECT_EQ(Step(47, 43, 1, 0, 0, 1, Walker()), kStepGround);
  EXPECT_EQ(Step(47, 43, 1, 48, 44, 1, Walker()), kStepGround);
}

TEST_F(Passability, SwimmersSwimBelowTheSurfaceAndClimbOut) {
  FillLevel(0, t::kEarth);
  g_map.waterLevel = 4;
  CMoveQuery swimmer = WithKind(kMovementSwimmer, 1);
  // Free water: swimming at the level where it floats (w - h = 3) and below the surface band.
  EXPECT_EQ(Step(10, 10, 3, 11, 10, 3, swimmer), kStepSwimming);
  EXPECT_EQ(Step(10, 10, 2, 11, 10, 2, swimmer), -1);  // too deep and not rising
  EXPECT_EQ(Step(10, 10, 2, 11, 10, 3, swimmer), kStepSwimming);
  // Onto a bank: supported destination.
  Set(12, 10, 3, t::kGrass);
  EXPECT_EQ(Step(11, 10, 3, 12, 10, 3, swimmer), kStepGround);
  // A walker never enters the water.
  EXPECT_EQ(Step(12, 10, 3, 11, 10, 3, Walker()), -1);
}

TEST_F(Passability, OccupationAndRoomForACreature) {
  FillLevel(0, t::kGrass);
  CMoveQuery walker = Walker();
  EXPECT_EQ(g_map.CanOccupy(3, 3, 0, walker), 1);
  EXPECT_EQ(g_map.CanOccupy(3, 3, 1, walker), 0);  // in the air
  EXPECT_EQ(g_map.CanOccupy(3, 3, 1, Flyer()), 1);
  g_map.waterLevel = 2;
  EXPECT_EQ(g_map.CanOccupy(3, 3, 1, WithKind(kMovementSwimmer, 1)), 1);  // free water
  g_map.waterLevel = 0;

  CMapCell& held = Cell(4, 4, 0);
  held.occupant = 9;
  held.state |= state_bits::kLiquid;
  EXPECT_EQ(g_map.HasRoomForCreature(4, 4, 0, 9, walker), 1);
  EXPECT_EQ(g_map.HasRoomForCreature(4, 4, 0, 3, walker), 0);
  EXPECT_EQ(g_map.HasRoomForCreature(3, 3, 0, 3,
                                     [] {
                                       CMoveQuery q = Walker();
                                       q.size = 2;
                                       return q;
                                     }()),
            0);
  EXPECT_EQ(g_map.ColumnFreeOf(4, 4, 0, 3, 2), 0);
  EXPECT_EQ(g_map.IsColumnBlocked(4, 4, 0, 1, 1, 3), 1);
  EXPECT_EQ(g_map.IsColumnBlocked(3, 3, 0, 1, 1, 3), 0);
  EXPECT_EQ(g_map.IsColumnBlocked(3, 3, 0, 1, 2, 3), 1);  // 2 x 2 reaches (4, 4)
  held.state |= state_bits::kOpenDoorway;
  EXPECT_EQ(g_map.IsColumnBlocked(4, 4, 0, 1, 1, 3), 0);
  EXPECT_EQ(g_map.IsColumnBlocked(3, 3, 7, 2, 1, 3), 1);  // reaches above the map
  EXPECT_EQ(g_map.IsColumnBlocked(3, 3, 8, 1, 1, 3), 1);
  Set(5, 5, 1, t::kStone);
  EXPECT_EQ(g_map.IsColumnBlocked(5, 5, 0, 2, 1, 3), 1);  // solid terrain in the column

  int flags[3];
  g_map.GetCellPassability(3, 3, 0, flags);
  EXPECT_EQ(flags[0], 1);
  EXPECT_EQ(flags[1], 0);
  EXPECT_EQ(flags[2], 0);
  Set(3, 3, 1, t::kGrass);
  g_map.GetCellPassability(3, 3, 0, flags);
  EXPECT_EQ(flags[0], 1);  // grass under grass: there is room in the floor cell
  EXPECT_EQ(flags[2], 1);
}

TEST(ComparePassabilityTable, EveryRow) {
  struct Case {
    int b0, b1, b2, a0, a1, a2, result;
  };
  const Case cases[] = {
      {1, 0, 0, 1, 1, 0, -1}, {1, 0, 0, 1, 0, 1, 0},  {1, 1, 0, 0, 1, 0, 2}, {1, 0, 1, 0, 1, 0, 0},
      {1, 0, 0, 0, 0, 0, 0},  {0, 1, 0, 1, 1, 0, -1}, {0, 1, 0, 0, 1, 1, 0}, {0, 1, 1, 1, 0, 1, 1},
      {0, 1, 0, 0, 0, 1, 0},  {0, 0, 0, 1, 1, 1, 0},  {0, 0, 1, 0, 0, 1, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ComparePassability(c.b0, c.b1, c.b2, c.a0, c.a1, c.a2), c.result)
        << c.b0 << c.b1 << c.b2 << " " << c.a0 << c.a1 << c.a2;
}
