// Wrapping, distances and directions on a small torus map (48 x 44 tiles).
#include <climits>
#include <cmath>

#include "MapTestSupport.h"
#include "map/MapUnits.h"

using namespace map_test;

class MapUnits : public MapTest {};

TEST_F(MapUnits, CoordinatesWrapIntoTheMapWhateverTheOffset) {
  struct Case {
    int value, tileX, tileY, unitsX, unitsY;
  };
  const Case cases[] = {
      {0, 0, 0, 0, 0},
      {-1, 47, 43, 1535, 1407},
      {48, 0, 4, 48, 48},
      {47, 47, 3, 47, 47},
      {-48, 0, 40, 1488, 1360},
      {1536, 0, 40, 0, 128},
      {INT_MAX, INT_MAX % 48, INT_MAX % 44, INT_MAX % 1536, INT_MAX % 1408},
      {INT_MIN, 48 + INT_MIN % 48, 44 + INT_MIN % 44, INT_MIN % 1536 + 1536, INT_MIN % 1408 + 1408},
  };
  for (const Case& c : cases) {
    CWrapCoord coord;
    EXPECT_EQ(coord.SetX(c.value).Get(), c.tileX) << c.value;
    EXPECT_EQ(coord.SetY(c.value).Get(), c.tileY) << c.value;
    EXPECT_EQ(coord.SetUnitsX(c.value).Get(), c.unitsX) << c.value;
    EXPECT_EQ(coord.SetUnitsY(c.value).Get(), c.unitsY) << c.value;
    EXPECT_EQ(CWrapCoord::WrapX(c.value), c.tileX);
    EXPECT_EQ(CWrapCoord::WrapUnitsY(c.value), c.unitsY);
  }
}

TEST_F(MapUnits, DifferencesTakeTheShortWayAcrossTheSeams) {
  struct Case {
    int self, other, deltaX;
  };
  const Case cases[] = {
      {0, 47, 1},   // across the seam
      {47, 0, -1},  //
      {24, 0, 24},  // exactly half the width stays positive
      {0, 24, 24},  // -24 becomes +24
      {5, 5, 0},    //
      {100, 3, 1},  // un-normalised operands are folded first
      {-3, 2, -5},  //
  };
  for (const Case& c : cases) {
    CWrapCoord coord(c.self);
    EXPECT_EQ(coord.DeltaX(c.other), c.deltaX) << c.self << " from " << c.other;
  }
  // y on the 44-high map
  EXPECT_EQ(CWrapCoord(0).DeltaY(43), 1);
  EXPECT_EQ(CWrapCoord(43).DeltaY(0), -1);
  EXPECT_EQ(CWrapCoord(22).DeltaY(0), 22);
  EXPECT_EQ(CWrapCoord(0).DeltaY(22), 22);
  // units: 1535 is one unit west of 0
  EXPECT_EQ(CWrapCoord(0).DeltaUnitsX(1535), 1);
  EXPECT_EQ(CWrapCoord(1535).DeltaUnitsX(0), -1);
  EXPECT_EQ(CWrapCoord(1535).IsBeforeX(0), 1);
  EXPECT_EQ(CWrapCoord(0).IsBeforeX(1535), 0);
  EXPECT_EQ(CWrapCoord(768).DeltaUnitsX(0), 768);
}

TEST_F(MapUnits, DistancesAcrossTheSeams) {
  EXPECT_EQ(MapDistanceApprox(0, 0, 0), 0);
  EXPECT_EQ(MapDistanceApprox(-3, 1, 0), 7);
  EXPECT_EQ(MapDistanceApprox(1, 0, 0), 2);
  EXPECT_EQ(MapDistanceApprox(1, 1, 0), 3);
  EXPECT_EQ(MapDistanceApprox(1, 1, 1), 4);
  EXPECT_EQ(CellDistanceApprox(1, 0, 0), 4);
  EXPECT_EQ(CellDistanceApprox(0, 0, 2), 4);

  struct Case {
    int x1, y1, z1, x2, y2, z2, wrapped;
  };
  const Case cases[] = {
      {47, 0, 0, 0, 43, 0, 3},   // one step diagonally across both seams
      {0, 0, 0, 47, 0, 2, 5},    // (1, 0, 2)
      {2, 2, 1, 46, 42, 1, 12},  // (-4, -4, 0)
      {0, 0, 0, 24, 0, 0, 48},   // half the map: 24 either way
      {10, 10, 0, 13, 11, 0, 7},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MapWrappedDistance(c.x1, c.y1, c.z1, c.x2, c.y2, c.z2), c.wrapped) << c.x1 << "," << c.y1;
    EXPECT_EQ(MapWrappedDistance(c.x2, c.y2, c.z2, c.x1, c.y1, c.z1), c.wrapped);
  }
  EXPECT_EQ(WrappedDistanceSq(47, 0, 0, 1, 0, 0), 4u);              // two tiles across the seam
  EXPECT_EQ(WrappedDistanceSq(0, 0, 0, 0, 0, 2), 1u);               // two levels are one tile
  EXPECT_EQ(WrappedDistanceSqUnits(1530, 0, 0, 4, 0, 3), 100 + 9);  // 10 units across the seam
}

TEST_F(MapUnits, RangeTests) {
  int distance = -1;
  EXPECT_EQ(CellsWithinRange(0, &distance, 3, 3, 1, 3, 3, 1), 1);
  EXPECT_EQ(distance, 0);
  EXPECT_EQ(CellsWithinRange(0, &distance, 3, 3, 1, 3, 3, 2), 1);  // (16²) >> 10 = 0
  EXPECT_EQ(CellsWithinRange(0, &distance, 3, 3, 1, 4, 3, 1), 0);
  EXPECT_EQ(CellsWithinRange(5, &distance, 46, 0, 0, 2, 3, 0), 1);  // (4, 3): 5 tiles across the seam
  EXPECT_EQ(distance, 5);
  EXPECT_EQ(CellsWithinRange(4, nullptr, 46, 0, 0, 2, 3, 0), 0);

  EXPECT_EQ(PointsWithinRange(1535, 10, 0, 0, 10, 0, 2), 1);
  EXPECT_EQ(PointsWithinRange(1535, 10, 0, 0, 10, 0, 1), 0);  // the distance 1 is not below 1
  EXPECT_EQ(PointsWithinRange(0, 0, 0, 3, 4, 0, 6), 1);
  EXPECT_EQ(PointsWithinRange(0, 0, 0, 3, 4, 0, 5), 0);

  EXPECT_EQ(CellsAdjacent(0, 0, 0, 47, 43, 1), 1);
  EXPECT_EQ(CellsAdjacent(5, 5, 2, 5, 5, 2), 1);  // a cell is adjacent to itself
  EXPECT_EQ(CellsAdjacent(0, 0, 0, 46, 0, 0), 0);
  EXPECT_EQ(CellsAdjacent(0, 0, 0, 0, 0, 2), 0);
  EXPECT_EQ(CoordDifference(10, 4), -6);
  EXPECT_EQ(CoordAtOrAfter(10, 10), 1);
}

TEST_F(MapUnits, DirectionsInAllEightSectors) {
  for (int direction = 0; direction < 8; ++direction) {
    const GridStep& step = kDirectionSteps[direction];
    EXPECT_EQ(DirectionFromStep(step.dx, step.dy), direction);
    EXPECT_EQ(DirectionFromVector(static_cast<float>(step.dx), static_cast<float>(step.dy)), direction);
    // A vector turned a little either side of the direction keeps it.
    double angle = direction * M_PI / 4;
    for (double turn : {-0.3, 0.3}) {
      float dx = static_cast<float>(std::sin(angle + turn)), dy = static_cast<float>(-std::cos(angle + turn));
      EXPECT_EQ(DirectionFromVector(dx * 7, dy * 7), direction) << direction << " " << turn;
    }
    EXPECT_EQ(DirectionDifference(direction, direction), 0);
  }
  EXPECT_EQ(DirectionFromStep(0, 0), 0);
  EXPECT_EQ(DirectionFromStep(5, -9), 1);  // taken by sign
  EXPECT_EQ(DirectionFromVector(0.0f, 0.0f), 0);
  EXPECT_EQ(DirectionFromVector(-0.0f, 0.0f), 0);
  EXPECT_EQ(DirectionDifference(7, 0), 1);
  EXPECT_EQ(DirectionDifference(0, 4), 4);
  EXPECT_EQ(DirectionDifference(0, 5), -3);
  EXPECT_EQ(DirectionDifference(6, 1), 3);
}

TEST_F(MapUnits, DrawAnchorTakesTheFacedNeighbourByRotation) {
  struct Case {
    int facing, rotation, x, y, z;
  };
  // A creature at tile (10, 20), level 3.
  const Case cases[] = {
      {2, 0, 11 * 32 + 16, 20 * 32 + 16, 46},  // east, r0 takes a greater x: lowered
      {2, 1, 10 * 32 + 16, 20 * 32 + 16, 48},  // r1 takes only a smaller x
      {4, 1, 10 * 32 + 16, 21 * 32 + 16, 46},  // south, r1 takes a greater y
      {4, 2, 10 * 32 + 16, 20 * 32 + 16, 48}, {7, 2, 9 * 32 + 16, 19 * 32 + 16, 46},  // north-west, r2 takes both
      {7, 0, 10 * 32 + 16, 20 * 32 + 16, 48},
  };
  for (const Case& c : cases) {
    int x = 10 * 32 + 5, y = 20 * 32 + 30, z = 3 * 16 + 4;
    DrawAnchorCreature creature;
    creature.facing = c.facing;
    GetCreatureDrawAnchor(creature, c.rotation, x, y, z);
    EXPECT_EQ(x, c.x) << c.facing << " r" << c.rotation;
    EXPECT_EQ(y, c.y);
    EXPECT_EQ(z, c.z);
  }
  DrawAnchorCreature busy;
  busy.hasPartner = true;
  busy.partnerLevel = 5;
  int x = 40, y = 40, z = 48;
  GetCreatureDrawAnchor(busy, 0, x, y, z);
  EXPECT_EQ(z, 4 * 16 - 2);  // a partner above: one level up, lowered
  busy.partnerLevel = 1;
  z = 48;
  GetCreatureDrawAnchor(busy, 0, x, y, z);
  EXPECT_EQ(z, 48);
}
