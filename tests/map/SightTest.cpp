// Lines of sight, of fire and of cells, and lobbed shots.
#include <cmath>

#include "MapTestSupport.h"
#include "map/LineWalker.h"
#include "map/MapUnits.h"

using namespace map_test;

namespace {

constexpr int kRow = 10 * 32 + 16;  // y of every line below: the middle of row 10
int Centre(int tile) { return tile * 32 + 16; }

}  // namespace

class Sight : public MapTest {
 protected:
  void SetUp() override {
    MapTest::SetUp();
    FillLevel(0, t::kGrass);  // solid up to 4 units above the floor
  }
  CLineWalker walker;
  int SightAt(int z, int limit = 10000) { return walker.TraceSight(Centre(5), kRow, z, Centre(15), kRow, z, limit, 0); }
  int Fire(int x0, int x1, int z = 8, int shooter = 1, int limit = 10000) {
    return walker.TraceFire(x0, kRow, z, x1, kRow, z, limit, shooter, -1);
  }
};

TEST_F(Sight, WallsBlockSightLowWallsAndCreaturesDoNot) {
  EXPECT_EQ(SightAt(8), 1);
  Set(10, 10, 0, t::kStone);
  EXPECT_EQ(SightAt(8), 0);
  Set(10, 10, 0, t::kRubble);  // solid up to 8 units
  EXPECT_EQ(SightAt(8), 1);    // the line at 8 passes over it
  EXPECT_EQ(SightAt(6), 0);
  Set(10, 10, 0, t::kGrass);
  FakeHooks hooks;
  hooks.creatures.Add(2, 10, 10, 0);
  EXPECT_EQ(SightAt(8), 1);                               // creatures never block sight
  EXPECT_EQ(Fire(Centre(5), Centre(15)), kFireCreature);  // ... but they stop a shot

  // Within one voxel sight is always clear; a limit of 0 or 1 sees nothing further.
  Set(5, 10, 0, t::kStone);
  EXPECT_EQ(walker.TraceSight(Centre(5), kRow, 8, Centre(5) + 1, kRow + 2, 9, 10000, 0), 1);
  EXPECT_EQ(walker.TraceSight(Centre(20), kRow, 8, Centre(21), kRow, 8, 1, 0), 0);
  EXPECT_EQ(walker.TraceSight(Centre(20), kRow, 8, Centre(21), kRow, 8, 0, 0), 0);
  // The limit is in units: half of it in the sight grain.
  EXPECT_EQ(walker.TraceSight(Centre(20), kRow, 8, Centre(22), kRow, 8, 64, 0), 1);
  EXPECT_EQ(walker.TraceSight(Centre(20), kRow, 8, Centre(22), kRow, 8, 60, 0), 0);
}

TEST_F(Sight, SightAcrossTheSeamAndThroughTheOverlay) {
  FakeHooks hooks;
  EXPECT_EQ(walker.TraceSight(Centre(46), kRow, 8, Centre(2), kRow, 8, 10000, 0), 1);
  Set(0, 10, 0, t::kStone);
  EXPECT_EQ(walker.TraceSight(Centre(46), kRow, 8, Centre(2), kRow, 8, 10000, 0), 0);
  // Cells under the overlay cost their obscuring value.
  hooks.effects.obscuringCost = 5000;
  g_tileSpans.MarkColumn(25, 10, 0, 20);
  EXPECT_EQ(walker.TraceSight(Centre(20), kRow, 8, Centre(30), kRow, 8, 10000, 0), 0);
  EXPECT_EQ(walker.TraceSight(Centre(20), kRow, 8, Centre(30), kRow, 8, 10000, 1), 1);
}

TEST_F(Sight, LinesOfFire) {
  FakeHooks hooks;
  hooks.creatures.Add(1, 5, 10, 0, 1, 1, 0);  // the shooter
  EXPECT_EQ(walker.TraceFire(Centre(5), kRow, 8, Centre(5), kRow, 8, 10000, 1, -1), kFireReached);
  EXPECT_EQ(Fire(Centre(5), Centre(15)), kFireReached);
  EXPECT_EQ(Fire(Centre(5), Centre(15), 8, 1, 0), kFireObscured);  // a limit below 1
  EXPECT_EQ(walker.stopX, Centre(5));

  // An enemy or a friend in the way.
  hooks.creatures.Add(2, 10, 10, 0, 1, 1, 1);
  EXPECT_EQ(Fire(Centre(5), Centre(15)), kFireEnemy);
  EXPECT_EQ(walker.stopX / 32, 10);
  hooks.creatures.creatures[2].army = 0;
  EXPECT_EQ(Fire(Centre(5), Centre(15)), kFireCreature);
  EXPECT_EQ(walker.TraceFire(Centre(5), kRow, 8, Centre(15), kRow, 8, 10000, 1, 2), kFireReached);  // ignored

  // The creature beside the shooter is its target: reached, the shooter is never hit.
  EXPECT_EQ(walker.TraceFire(Centre(9), kRow, 8, Centre(10), kRow, 8, 10000, 2, -1), kFireReached);
  // A creature's body crossed within the first 31 tested steps is not hit: here the line
  // runs along its shape's narrow top row (units 12-19 of its tile).
  hooks.creatures.Add(3, 21, 10, 0);
  EXPECT_EQ(walker.TraceFire(21 * 32 + 4, 10 * 32 + 1, 8, 25 * 32, 10 * 32 + 1, 8, 10000, 1, -1), kFireReached);
  EXPECT_EQ(walker.TraceFire(19 * 32, 10 * 32 + 1, 8, 25 * 32, 10 * 32 + 1, 8, 10000, 1, -1), kFireCreature);

  // Terrain, the top of the map, and obscuring effects.
  Set(30, 10, 0, t::kStone);
  EXPECT_EQ(Fire(Centre(25), Centre(35)), kFireTerrain);
  EXPECT_EQ(walker.stopX / 32, 30);
  EXPECT_EQ(walker.TraceFire(Centre(25), kRow, 100, Centre(35), kRow, 200, 10000, 1, -1), kFireAboveMap);
  EXPECT_EQ(walker.stopZ / 16, 8);
  // The limit is in units walked; an obscuring effect on the way adds its cost.
  hooks.effects.obscuringCost = 200;
  hooks.effects.kinds[7] = 10;
  EXPECT_EQ(walker.TraceFire(Centre(36), kRow, 20, Centre(44), kRow, 20, 300, 1, -1), kFireReached);
  Cell(40, 10, 1).effect = 7;
  EXPECT_EQ(walker.TraceFire(Centre(36), kRow, 20, Centre(44), kRow, 20, 300, 1, -1), kFireObscured);
  EXPECT_EQ(walker.TraceFire(Centre(36), kRow, 20, Centre(44), kRow, 20, 200, 1, -1), kFireObscured);
  // The shooter's own cell is where the walk starts, not a cell it enters: its effects
  // obscure nothing, even at a cost of 300.
  Cell(40, 10, 1).effect = kNoLink;
  hooks.effects.obscuringCost = 300;
  Cell(36, 10, 1).effect = 7;
  EXPECT_EQ(walker.TraceFire(Centre(36), kRow, 20, Centre(44), kRow, 20, 300, 1, -1), kFireReached);
  EXPECT_LT(walker.total, 2 * 8 * 32);  // only the length walked
  Cell(37, 10, 1).effect = 7;           // the next cell's do
  EXPECT_EQ(walker.TraceFire(Centre(36), kRow, 20, Centre(44), kRow, 20, 300, 1, -1), kFireObscured);
}

TEST_F(Sight, CellTraces) {
  EXPECT_EQ(walker.TraceCells(5, 10, 1, 6, 10, 1, 1000), kCellsReached);
  Set(5, 10, 1, t::kStone);  // the start and end are not tested
  Set(6, 10, 1, t::kStone);
  EXPECT_EQ(walker.TraceCells(5, 10, 1, 6, 10, 1, 1000), kCellsReached);
  EXPECT_EQ(walker.TraceCells(4, 10, 1, 6, 10, 1, 1000), kCellsBlocked);
  Cell(5, 10, 1).state |= state_bits::kOpenDoorway;
  EXPECT_EQ(walker.TraceCells(4, 10, 1, 6, 10, 1, 1000), kCellsReached);
  Cell(45, 3, 1).state |= state_bits::kField20;  // deep water, across the seam
  EXPECT_EQ(walker.TraceCells(43, 3, 1, 2, 3, 1, 1000), kCellsBlocked);
  EXPECT_EQ(walker.TraceCells(40, 20, 1, 47, 20, 1, 1000), kCellsReached);
  EXPECT_EQ(walker.TraceCells(40, 20, 1, 47, 20, 1, 5 * 32), kCellsTooFar);
}

TEST_F(Sight, LobbedShotsClearAWallOrKeepTheHighestArc) {
  FakeHooks hooks;
  for (int z = 0; z <= 2; ++z) Set(10, 10, z, t::kStone);  // a wall 48 units high
  CProjectileResult result;
  const int x0 = Centre(5), x1 = Centre(15);
  ASSERT_EQ(walker.TraceProjectile(x0, kRow, 8, x1, kRow, 8, 1, 20, 0, -1, CLineWalker::kFineShot, result), 1);
  // The arc passes over the wall's column (units 320 to 351) above its top and margin.
  const float g = 0.25f;
  for (int x = 320; x <= 352; x += 8) {
    float t = (x - x0) / result.velocity[0];
    float z = 8 + result.velocity[2] * t - g * t * t / 2;
    EXPECT_GT(z, 48.0f) << x;
  }
  EXPECT_GT(result.apexHeight, 48);
  EXPECT_NEAR(result.velocity[1], 0.0f, 1e-4);
  float speed = std::sqrt(result.velocity[0] * result.velocity[0] + result.velocity[2] * result.velocity[2]);
  EXPECT_LE(speed, 20.0f + 1e-3f);

  // With no wall the arc is lower.
  CProjectileResult open;
  for (int z = 0; z <= 2; ++z) Set(10, 10, z, t::kGrass);
  ASSERT_EQ(walker.TraceProjectile(x0, kRow, 8, x1, kRow, 8, 1, 20, 0, -1, CLineWalker::kFineShot, open), 1);
  EXPECT_LT(open.apexHeight, result.apexHeight);

  // A wall to the top of the map: no clear arc; the highest the speed reaches is kept.
  for (int z = 0; z < 8; ++z) Set(10, 10, z, t::kStone);
  CProjectileResult blocked;
  EXPECT_EQ(walker.TraceProjectile(x0, kRow, 8, x1, kRow, 8, 1, 20, 0, -1, CLineWalker::kFineShot, blocked), 0);
  EXPECT_EQ(blocked.apexHeight, 8 * 16 - 1);
  // No speed at all: launched at 45 degrees.
  EXPECT_EQ(walker.TraceProjectile(x0, kRow, 8, x1, kRow, 8, 1, 0, 0, -1, 0, blocked), 0);
  EXPECT_EQ(blocked.apexHeight, -1);

  // A creature in the way is an obstacle; the target is not.
  Set(10, 10, 0, t::kGrass);
  for (int z = 1; z < 8; ++z) Set(10, 10, z, 0);
  hooks.creatures.Add(4, 10, 10, 1, 3);  // three levels tall
  CProjectileResult overCreature;
  ASSERT_EQ(walker.TraceProjectile(x0, kRow, 8, x1, kRow, 8, 1, 20, 0, -1, CLineWalker::kFineShot, overCreature), 1);
  EXPECT_GT(overCreature.apexHeight, 64);
  CProjectileResult atCreature;
  ASSERT_EQ(walker.TraceProjectile(x0, kRow, 8, x1, kRow, 8, 1, 20, 0, 4, CLineWalker::kFineShot, atCreature), 1);
  EXPECT_LT(atCreature.apexHeight, overCreature.apexHeight);
}

TEST_F(Sight, CoarseShotsTreatWholeCellsAsSolid) {
  // The floor cells count whole: a shot from inside one must rise above the next cells,
  // but the shooter's and the target's own cells are their ground, not obstacles.
  CProjectileResult coarse, fine;
  ASSERT_EQ(walker.TraceProjectile(Centre(5), kRow, 8, Centre(15), kRow, 8, 1, 40, 0, -1, 0, coarse), 1);
  ASSERT_EQ(walker.TraceProjectile(Centre(5), kRow, 8, Centre(15), kRow, 8, 1, 40, 0, -1, CLineWalker::kFineShot, fine),
            1);
  EXPECT_GT(coarse.apexHeight, 19);
  EXPECT_LT(fine.apexHeight, coarse.apexHeight);
}

TEST_F(Sight, VerticalShotsAndAimingAhead) {
  FakeHooks hooks;
  CProjectileResult result;
  EXPECT_EQ(walker.TraceProjectile(Centre(5), kRow, 8, Centre(5) + 3, kRow, 100, 1, 20, 0, -1, 0, result), 1);
  EXPECT_FLOAT_EQ(result.velocity[2], 20.0f);
  EXPECT_EQ(walker.TraceProjectile(Centre(5), kRow, 8, Centre(5), kRow, 100, 1, 5, 0, -1, 0, result), 0);  // too slow
  Set(5, 10, 3, t::kStone);
  EXPECT_EQ(walker.TraceProjectile(Centre(5), kRow, 8, Centre(5), kRow, 100, 1, 20, 0, -1, 0, result), 0);
  // A moving target is aimed ahead of.
  hooks.creatures.Add(6, 20, 10, 0);
  hooks.creatures.leads[6] = CreatureLead{Centre(21), kRow, 0, 1};
  walker.TraceProjectile(Centre(5), kRow, 8, Centre(20), kRow, 8, 1, 20, 0, 6, 0, result);
  EXPECT_EQ(result.aim[0], Centre(21));
}
