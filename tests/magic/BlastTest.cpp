// Blasts: the strength a step leaves by its cost, the fall-off and the terrain it crosses;
// the step table's order; propagation inside the map's levels; and what a blast does at the
// cells it reached, with and without effect records to carry it.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "CastWorld.h"
#include "creatures/CreatureHooks.h"
#include "creatures/SpellDefinition.h"
#include "forge/TerrainTypes.h"
#include "magic/Blast.h"
#include "magic/CreatureEffectAnswers.h"
#include "map/Map.h"
#include "map/MapUnits.h"
#include "map/TerrainType.h"

namespace magic_test {
namespace {

constexpr int C = CBlast::kCentre;

// Terrain types of the tests: 1 a wall of solid lines along x only (absorbX 40, absorbY 0),
// 2 an indestructible full block, 3 a full block of strength 10.
enum : int { kEmpty = 0, kXWall = 1, kRockBlock = 2, kWeakBlock = 3, kTypes = 4 };

class BlastStepTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<CTerrainType> types(kTypes);
    for (int y = 0; y < 8; ++y) types[kXWall].solidMask[y] = 0x80;  // x = 0 on the first quarter level
    for (int y = 0; y < 5; ++y) types[kXWall].solidMask[8 + y] = 0x80;
    for (int t : {kRockBlock, kWeakBlock}) std::memset(types[static_cast<size_t>(t)].solidMask, 0xFF, 32);
    types[kRockBlock].damageThreshold = kIndestructible;
    types[kWeakBlock].damageThreshold = 10;
    g_terrainTypes.Assign(types);
    ASSERT_EQ(g_map.Create(48, 44, 8, 1, 1), 1);
    g_blastPool.BuildAbsorptionTable();
  }
  void TearDown() override {
    g_map.Clear();
    g_terrainTypes.Clear();
    g_blastPool.BuildAbsorptionTable();
  }
  // The map cell of a grid cell of a query at (10, 10, 3).
  CMapCell& Grid(int i, int j, int k) { return g_map.CellAt(10 + i - C, 10 + j - C, 3 + k - C); }
  CBlastQuery Query(int falloff, int type = 0) {
    CBlastQuery q;
    q.Init(10, 10, 3, 100, falloff, 0, type);
    return q;
  }
};

TEST_F(BlastStepTest, TheAbsorptionTableCountsTheSolidLinesOfEachAxis) {
  const BlastAbsorption& wall = g_blastPool.AbsorptionOf(kXWall);
  EXPECT_EQ(wall.absorbX, 40);  // 13 lines of 32
  EXPECT_EQ(wall.absorbY, 0);   // 2 lines: below 9 counts as none
  EXPECT_EQ(wall.absorbZ, 0);   // 8 columns of 64: 16 or fewer count as none
  const BlastAbsorption& block = g_blastPool.AbsorptionOf(kRockBlock);
  EXPECT_EQ(block.absorbX, 100);
  EXPECT_EQ(block.absorbY, 100);
  EXPECT_EQ(block.absorbZ, 100);
}

TEST_F(BlastStepTest, AStepCostsByItsDirectionScaledByTheFalloff) {
  // Lost leaving the centre, and what arrives through an empty cell elsewhere, where a
  // step that changes level or goes diagonally splits the strength into two halves.
  struct Case {
    int falloff;
    BlastCell to;
    int lost, elsewhere;
  } cases[] = {
      {4, {C + 1, C, C}, 4, 96},      {4, {C + 1, C + 1, C}, 6, 94},     {4, {C + 1, C, C + 1}, 5, 94},
      {4, {C, C, C + 1}, 2, 98},      {4, {C + 1, C + 1, C - 1}, 7, 92}, {1, {C + 1, C, C}, 1, 99},
      {1, {C, C, C - 1}, 1, 99},                                   // 2 x 1 / 4 = 0, raised to 1
      {0, {C + 1, C + 1, C}, 0, 100}, {0, {C, C, C + 1}, 0, 100},  // no fall-off: nothing lost by distance
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.falloff << " to " << c.to.i << "," << c.to.j << "," << c.to.k);
    EXPECT_EQ(CBlast::StepStrength(Query(c.falloff), {C, C, C}, c.to, 100), 100 - c.lost);
    const BlastCell from{C + 2, C + 2, C};
    const BlastCell to{from.i + c.to.i - C, from.j + c.to.j - C, from.k + c.to.k - C};
    EXPECT_EQ(CBlast::StepStrength(Query(c.falloff), from, to, 100), c.elsewhere);
  }
  // A strength the step's loss uses up arrives as nothing.
  EXPECT_EQ(CBlast::StepStrength(Query(4), {C, C, C}, {C + 1, C + 1, C}, 6), 0);
}

TEST_F(BlastStepTest, TerrainAbsorbsByTheAxisCrossedAndStrongCellsHold) {
  const BlastCell from{C + 1, C, C};
  struct Case {
    const char* what;
    int terrain, type;
    BlastCell to;
    int expected;
  } cases[] = {
      {"along y through an x-wall", kXWall, 0, {C + 1, C + 1, C}, 100},
      {"along x through an x-wall", kXWall, 0, {C + 2, C, C}, 60},
      {"a rock block never breaks", kRockBlock, 0, {C + 2, C, C}, 0},
      {"a weak block gives way to a destructive blast", kWeakBlock, 0, {C + 2, C, C}, 90},
      {"a spell's blast does not break through", kWeakBlock, 2, {C + 2, C, C}, 0},
      {"vertical through an x-wall", kXWall, 0, {C + 1, C, C + 1}, 100},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Grid(from.i, from.j, from.k).terrain = static_cast<uint16_t>(c.terrain);
    EXPECT_EQ(CBlast::StepStrength(Query(0, c.type), from, c.to, 100), c.expected);
  }
  // A cell that stops blasts lets nothing out.
  Grid(from.i, from.j, from.k).terrain = kEmpty;
  Grid(from.i, from.j, from.k).state |= state_bits::kSealed;
  EXPECT_EQ(CBlast::StepStrength(Query(0), from, {C + 2, C, C}, 100), 0);
}

TEST_F(BlastStepTest, TheStepTableRunsOutwardInOneOrder) {
  const std::vector<BlastStep> steps = BuildBlastStepTable();
  ASSERT_EQ(static_cast<int>(steps.size()), CBlast::kCells);
  EXPECT_EQ(steps[0].key, 0);
  EXPECT_EQ(steps[0].cell, (BlastCell{C, C, C}));
  std::vector<int> position(CBlast::kCells, -1);
  for (size_t n = 0; n < steps.size(); ++n)
    position[static_cast<size_t>(CBlast::Index(steps[n].cell.i, steps[n].cell.j, steps[n].cell.k))] =
        static_cast<int>(n);
  for (size_t n = 1; n < steps.size(); ++n) {
    const BlastStep& s = steps[n];
    ASSERT_LE(steps[n - 1].key, s.key);
    // Ties keep grid order; the predecessor is a neighbour met earlier.
    if (steps[n - 1].key == s.key) {
      const BlastCell& a = steps[n - 1].cell;
      EXPECT_LT(CBlast::Index(a.i, a.j, a.k), CBlast::Index(s.cell.i, s.cell.j, s.cell.k));
    }
    EXPECT_LE(std::abs(s.previous.i - s.cell.i), 1);
    EXPECT_LE(std::abs(s.previous.j - s.cell.j), 1);
    EXPECT_LE(std::abs(s.previous.k - s.cell.k), 1);
    EXPECT_LT(position[static_cast<size_t>(CBlast::Index(s.previous.i, s.previous.j, s.previous.k))],
              static_cast<int>(n));
  }
}

TEST_F(BlastStepTest, ABlastAtLevelZeroReachesNoLevelBelowTheMap) {
  CBlast blast;
  blast.Set(10, 10, 0, 200, 4, 1, 0, CEffectParams());
  CBlast::Grid grid;
  blast.Propagate(grid);
  int below = 0, above = 0;
  for (int k = 0; k < CBlast::kSide; ++k)
    for (int j = 0; j < CBlast::kSide; ++j)
      for (int i = 0; i < CBlast::kSide; ++i) {
        const int v = grid[static_cast<size_t>(CBlast::Index(i, j, k))];
        (k < C ? below : above) += v > 0;
      }
  EXPECT_EQ(below, 0);
  EXPECT_GT(above, 0);
  EXPECT_EQ(grid[static_cast<size_t>(CBlast::Index(C, C, C + 1))], 198);
  EXPECT_EQ(grid[static_cast<size_t>(CBlast::Index(C + 2, C, C))], 192);
}

// On the casting field: real creatures and the effect pool.
class BlastApplyTest : public CastWorld {
 protected:
  void SetUp() override {
    CastWorld::SetUp();
    g_blastPool.Clear();
    g_blastPool.BuildAbsorptionTable();
  }
  void TearDown() override {
    g_blastPool.Clear();
    CastWorld::TearDown();
  }
  int ActiveOfKind(int kind) {
    int n = 0;
    for (int i = 0; i < g_effectManager.Count(); ++i) n += Effect(i).active && Effect(i).kind == kind;
    return n;
  }
};

TEST_F(BlastApplyTest, ABlastGoesOffAtItsLastReleaseAsAWaveOfEffects) {
  CBlast* blast = g_blastPool.FindFree();
  ASSERT_NE(blast, nullptr);
  blast->Set(20, 20, 1, 40, 10, 2, 0, CEffectParams());
  blast->Release();
  EXPECT_EQ(ActiveOfKind(44), 0);
  EXPECT_EQ(blast->strength, 40);
  blast->Release();
  EXPECT_GT(ActiveOfKind(44), 0);
  EXPECT_EQ(blast->strength, 0);  // free again
  EXPECT_TRUE(sounds.Heard(1013));
  // Each wave effect carries what reached its cell, the blast's type and a delay by distance.
  for (int i = 0; i < g_effectManager.Count(); ++i) {
    const CEffect& e = Effect(i);
    if (!e.active || e.kind != 44) continue;
    EXPECT_GT(e.params[13], 0);
    EXPECT_LE(e.params[13], 40);
    EXPECT_EQ(e.params[14], 0);
    EXPECT_GE(e.params[15], 1);
  }
}

TEST_F(BlastApplyTest, WithNoFreeRecordTerrainAndCreaturesStillTakeTheDamage) {
  const int victim = Place(4, 1, 21, 20);
  const int health = C(victim).health;
  for (int i = 0; i < g_effectManager.Count(); ++i) Effect(i).active = 1;  // a full pool
  g_map.CellAt(20, 22, 0).terrain = forge::terrain::kStone;
  CBlast* blast = g_blastPool.FindFree();
  blast->Set(20, 20, 0, 200, 4, 1, 0, CEffectParams());
  blast->Release();
  for (int i = 0; i < g_effectManager.Count(); ++i) Effect(i).active = 0;
  EXPECT_LT(C(victim).health, health);
  EXPECT_NE(g_map.CellAt(20, 22, 0).terrain, forge::terrain::kStone);  // broken
}

TEST_F(BlastApplyTest, ACreaturesBurstSetsOffItsBlastAtOnce) {
  ICreatureEffects* saved = g_creatureEffects.Get();
  InstallCreatureEffectAnswers();
  g_creatureEffects->StartBlast(1, 20, 20, 1, 100, 20, 58);
  g_creatureEffects.Install(saved);
  EXPECT_GT(ActiveOfKind(44), 0);
  for (int i = 0; i < g_effectManager.Count(); ++i)
    if (Effect(i).active && Effect(i).kind == 44) {
      EXPECT_EQ(Effect(i).params[effect_word::kSpell], 58);
      EXPECT_EQ(Effect(i).params[14], 1);  // a spawner: its cells catch fire
    }
  EXPECT_EQ(g_blastPool.FindFree(), &g_blastPool.Record(0));  // its record is free again
}

}  // namespace
}  // namespace magic_test
