// The motion primitives: travel along a line, thrown arcs, falling, following creatures,
// settling on the ground, headings, and what an effect does to what it reached.
#include <gtest/gtest.h>

#include <vector>

#include "MagicTestSupport.h"
#include "core/Options.h"
#include "core/Random.h"
#include "forge/TerrainTypes.h"
#include "magic/EffectSpells.h"

namespace magic_test {
namespace {

namespace w = effect_word;
namespace s = effect_state;
namespace t = forge::terrain;

class EffectMotionTest : public EffectTest {
 protected:
  void SetUp() override {
    EffectTest::SetUp();
    for (CSpellDefinition& spell : g_spellDefs) spell = CSpellDefinition{};
  }
  void TearDown() override {
    for (CSpellDefinition& spell : g_spellDefs) spell = CSpellDefinition{};
    EffectTest::TearDown();
  }
  // A kind-1 carrier of a spell flying from source to target at a speed, its line started.
  CEffect* Fly(int x0, int y0, int z0, int x1, int y1, int z1, int speed, int kind = 1, int spell = 10) {
    CEffectParams block;
    block.SetPoint(w::kSourceX, x0, y0, z0);
    block.SetPoint(w::kTargetX, x1, y1, z1);
    block[w::kSpeed] = speed;
    block[w::kSpell] = spell;
    CEffect* e = Start(kind, block);
    e->StartTrajectory(x0, y0, z0, x1, y1, z1);
    return e;
  }
};

TEST_F(EffectMotionTest, TravelMovesAtMostItsSpeedAndLinksEachCell) {
  g_spellDefs[10].RangeUnits = 1000;
  CEffect* e = Fly(100, 100, 40, 1000, 100, 40, 5);
  EXPECT_EQ(e->Travel(1), kMotionGoing);
  EXPECT_EQ(e->x, 105);
  EXPECT_EQ(e->state[s::kLastPosition], 104);
  for (int i = 0; i < 6; ++i) e->Travel(1);
  EXPECT_EQ(e->x, 135);
  EXPECT_EQ(e->cellX, 4);
  EXPECT_EQ(Cell(4, 3, 2).effect, e->index);
  EXPECT_EQ(Cell(3, 3, 2).effect, kNoLink);
  EXPECT_EQ(e->state[s::kPreviousCell], 3);
  // Without the link only the record moves.
  for (int i = 0; i < 6; ++i) e->Travel(0);
  EXPECT_EQ(e->cellX, 5);
  EXPECT_EQ(Cell(5, 3, 2).effect, kNoLink);
  EXPECT_EQ(Cell(4, 3, 2).effect, e->index);
}

TEST_F(EffectMotionTest, TravelEndsOnAShapeAVoxelTheTopOrItsRange) {
  world.Place(7, 10, 3, 1);  // a creature standing on level 1 at cell (10, 3)
  Set(10, 10, 1, t::kTurf);  // a solid block
  g_spellDefs[10].RangeUnits = 500;
  struct Case {
    const char* name;
    int x0, y0, z0, x1, y1, z1;
    int want;
  } cases[] = {
      {"the creature's body", 100, 3 * 32 + 12, 24, 400, 3 * 32 + 12, 24, kMotionHitCreature},
      {"a solid block", 100, 10 * 32 + 16, 24, 800, 10 * 32 + 16, 24, kMotionBlocked},
      {"the top of the map", 100, 600, 100, 100, 600, 400, kMotionLeftMap},
      {"out of range", 100, 1200, 40, 1000, 1200, 40, kMotionOutOfRange},
  };
  for (const Case& c : cases) {
    manager.Reset();
    CEffect* e = Fly(c.x0, c.y0, c.z0, c.x1, c.y1, c.z1, 1000);
    EXPECT_EQ(e->Travel(1), c.want) << c.name;
    if (c.want == kMotionHitCreature) {
      EXPECT_EQ(e->params[w::kTarget], 7);
      EXPECT_EQ(e->creature, 7);
      EXPECT_EQ(e->x, 10 * 32);  // the first unit inside its body
    }
    if (c.want == kMotionBlocked) {
      EXPECT_EQ(e->params[w::kTarget], -1);
      EXPECT_EQ(e->cellX, 10);
    }
    if (c.want == kMotionOutOfRange) EXPECT_EQ(e->x, 100 + 533);  // one unit past range + 32
  }
}

TEST_F(EffectMotionTest, TheCastersOwnBodyIsNoTargetAndSpell68SeesNoCreatures) {
  world.Place(7, 5, 3, 1);
  g_spellDefs[10].RangeUnits = 2000;
  g_spellDefs[68].RangeUnits = 2000;
  CEffect* own = Fly(5 * 32 + 4, 3 * 32 + 12, 24, 800, 3 * 32 + 12, 24, 100);
  own->params[w::kCreature] = 7;
  EXPECT_EQ(own->Travel(1), kMotionGoing);
  CEffect* blind = Fly(100, 3 * 32 + 12, 24, 800, 3 * 32 + 12, 24, 100, 1, 68);
  EXPECT_EQ(blind->Travel(1), kMotionGoing);
  EXPECT_EQ(blind->params[w::kTarget], -1);
}

TEST_F(EffectMotionTest, ALineAcrossTheEdgeTakesTheShortWay) {
  g_spellDefs[10].RangeUnits = 1000;
  CEffect* e = Fly(2040, 300, 40, 8, 300, 40, 20);
  e->Travel(1);
  EXPECT_EQ(e->x, 12);
  EXPECT_EQ(e->cellX, 0);
  EXPECT_EQ(e->state[s::kDistance], 40);
}

TEST_F(EffectMotionTest, ThrownEffectsFlyTheArcUntilSomethingHappens) {
  // Thrown straight up at 4 units a tick: climbs 4, 7 (gravity), then falls back.
  CEffectParams block = At(500, 500, 40);
  block[w::kStartX] = 500;
  block[w::kStartY] = 500;
  block[w::kStartZ] = 40;
  block.SetFloat(w::kVelocityX, 0.0f);
  block.SetFloat(w::kVelocityY, 0.0f);
  block.SetFloat(w::kVelocityZ, 4.0f);
  block[w::kTick] = 0;
  block[w::kSpell] = 10;
  CEffect* e = Start(4, block);
  g_spellDefs[10].RangeUnits = 1000;
  EXPECT_EQ(e->StepBallistic(), kMotionGoing);
  EXPECT_EQ(e->z, 43);                 // 40 + 4 - 0.4845, truncated
  EXPECT_EQ(e->params[w::kValue], 0);  // climbing steeply
  int ticks = 1, result = kMotionGoing;
  while (result == kMotionGoing && ticks < 100) {
    result = e->StepBallistic();
    ++ticks;
  }
  // It lands on the grass floor of level 0 (its top sub-level is solid).
  EXPECT_EQ(result, kMotionBlocked);
  EXPECT_EQ(e->cellLevel, 0);
  EXPECT_EQ(e->params[w::kValue], 4);  // falling steeply

  // Falling below the floor of the map ends the flight.
  Set(40, 40, 0, 0);
  block.SetPoint(w::kSourceX, 40 * 32 + 16, 40 * 32 + 16, 2);
  block[w::kStartX] = 40 * 32 + 16;
  block[w::kStartY] = 40 * 32 + 16;
  block[w::kStartZ] = 2;
  block.SetFloat(w::kVelocityZ, -3.0f);
  CEffect* low = Start(4, block);
  EXPECT_EQ(low->StepBallistic(), kMotionLeftMap);
}

TEST_F(EffectMotionTest, FallingSpeedsUpOneUnitEachTick) {
  CEffect* e = Start(23, At(300, 300, 100));
  e->state[s::kMotionCounter] = 0;
  const int moved[] = {0, 1, 2, 3, 4};
  int z = 100;
  for (int m : moved) {
    EXPECT_EQ(e->Fall(), kMotionGoing);
    z -= m;
    EXPECT_EQ(e->z, z);
  }
  EXPECT_EQ(e->cellLevel, 5);
  // It lands on the grass floor: the first solid sub-voxel.
  int result = kMotionGoing;
  for (int i = 0; i < 20 && result == kMotionGoing; ++i) result = e->Fall();
  EXPECT_EQ(result, kMotionBlocked);
  EXPECT_EQ(e->cellLevel, 0);
  EXPECT_EQ(e->z, 3);
  EXPECT_EQ(Cell(300 / 32, 300 / 32, 0).effect, e->index);
  // A creature below is hit.
  world.Place(3, 20, 20, 1);
  CEffect* onto = Start(23, At(20 * 32 + 12, 20 * 32 + 12, 40));
  onto->state[s::kMotionCounter] = 5;
  EXPECT_EQ(onto->Fall(), kMotionGoing);
  EXPECT_EQ(onto->Fall(), kMotionHitCreature);
  EXPECT_EQ(onto->params[w::kTarget], 3);
}

TEST_F(EffectMotionTest, HeadingsPointFromSourceToTargetTheShortWay) {
  struct Case {
    int x0, y0, x1, y1, heading16, heading8;
  } cases[] = {
      {0, 0, 10, 0, 4, 2},        {0, 0, 0, 10, 8, 4},       {0, 0, -10, 0, 12, 6},
      {0, 0, 0, -10, 0, 0},       {2040, 0, 8, 0, 4, 2},     {100, 100, 110, 90, 2, 1},
      {100, 100, 90, 110, 10, 5}, {100, 100, 90, 90, 14, 7}, {100, 100, 110, 110, 6, 3},
  };
  for (const Case& c : cases) {
    CEffect e;
    e.params.SetPoint(w::kSourceX, c.x0, c.y0, 0);
    e.params.SetPoint(w::kTargetX, c.x1, c.y1, 0);
    e.state[s::kHeading] = -1;
    e.ComputeHeading16();
    EXPECT_EQ(e.state[s::kHeading], c.heading16) << c.x0 << "," << c.y0 << " to " << c.x1 << "," << c.y1;
    EXPECT_EQ(e.ComputeHeading8(), c.heading8) << c.x0 << "," << c.y0 << " to " << c.x1 << "," << c.y1;
  }
  // No distance: the heading stays.
  CEffect still;
  still.params.SetPoint(w::kSourceX, 5, 5, 0);
  still.params.SetPoint(w::kTargetX, 5, 5, 0);
  still.state[s::kHeading] = 9;
  still.ComputeHeading16();
  EXPECT_EQ(still.state[s::kHeading], 9);
  EXPECT_EQ(still.ComputeHeading8(), 0);
}

TEST_F(EffectMotionTest, The8WayHeadingTurnsBetween22And23Degrees) {
  // dx < 0 < dy: the angle from the x axis. tan 22.5 = 0.414.
  struct Case {
    int dx, dy, want;
  } cases[] = {
      {-1000, 404, 6},  // 22.0 degrees: sector 2 -> west
      {-1000, 425, 5},  // 23.0 degrees: sector 1 -> south-west
      {1000, -404, 2},  // toward +x, -y at 22 degrees: east
      {1000, -425, 1},
  };
  for (const Case& c : cases) {
    CEffect e;
    e.params.SetPoint(w::kSourceX, 1000, 1000, 0);
    e.params.SetPoint(w::kTargetX, 1000 + c.dx, 1000 + c.dy, 0);
    EXPECT_EQ(e.ComputeHeading8(), c.want) << c.dx << "," << c.dy;
  }
}

TEST_F(EffectMotionTest, FollowingKeepsTheEffectOnItsCreature) {
  EffectCreature& c = world.Place(6, 63, 10, 2, 2, 3);
  CEffect* e = Start(22, At(0, 0, 0));
  e->FollowCreatureAt(6, 0);
  EXPECT_EQ(e->x, 0);  // 63 x 32 + 32 wraps
  EXPECT_EQ(e->y, 10 * 32 + 32);
  EXPECT_EQ(e->z, 2 * 16 + 48);
  EXPECT_EQ(Cell(0, 11, 5).effect, e->index);
  EXPECT_EQ(Cell(0, 0, 0).effect, kNoLink);
  e->FollowCreatureAt(6, -5);  // never above the top level
  EXPECT_EQ(e->z, 7 * 16);
  c.x = 100;
  c.z = 64;
  e->FollowCreature(6);
  EXPECT_EQ(e->x, 100);
  EXPECT_EQ(e->params[w::kTargetX], 100);
  EXPECT_EQ(e->params[w::kSourceZ], 64);
  e->FollowCreatureTop(6);
  EXPECT_EQ(e->x, 132);
  EXPECT_EQ(e->z, 64);
  e->FollowCreature(-1);
  e->FollowCreature(99);  // no such creature
  EXPECT_EQ(e->x, 132);
}

TEST_F(EffectMotionTest, SettlingDropsOntoTheGroundAndRisingClimbsOutOfBlocks) {
  Set(12, 12, 1, t::kTurf);
  Set(12, 12, 2, t::kTurf);
  CEffect* e = StartAs(17, At(12 * 32 + 16, 12 * 32 + 16, 6 * 16));
  e->SettleOnGround();
  EXPECT_EQ(e->cellLevel, 3);  // above the blocks
  EXPECT_EQ(e->z, 48);
  CEffect* low = StartAs(17, At(5 * 32, 5 * 32, 5 * 16));
  low->SettleOnGround();
  EXPECT_EQ(low->cellLevel, 0);
  EXPECT_EQ(low->z, 4);  // the grass surface
  EXPECT_EQ(Cell(5, 5, 0).effect, low->index);

  CEffect* inside = StartAs(17, At(12 * 32 + 16, 12 * 32 + 16, 16));
  EXPECT_EQ(inside->RiseThroughSolid(), 0);  // into the second block
  EXPECT_EQ(inside->RiseThroughSolid(), 1);
  EXPECT_EQ(inside->cellLevel, 3);
  EXPECT_EQ(low->RiseThroughSolid(), 1);  // grass is no full block
}

TEST_F(EffectMotionTest, ACellCarriesAFireOnlyOnSupportingGroundAboveTheWater) {
  std::vector<CTerrainType> types;
  for (int i = 0; i < g_terrainTypes.Count(); ++i) types.push_back(g_terrainTypes.Get(i));
  types[t::kBridge].supportValue = 5;
  g_terrainTypes.Assign(types);
  Set(8, 8, 0, t::kBridge);
  struct Case {
    const char* name;
    int level;
    int water;
    uint16_t state;
    int want, wantLevel;
  } cases[] = {
      {"drops onto the deck", 3, 0, 0, 1, 0},
      {"already burning", 0, 0, state_bits::kField10, 0, 0},
      {"under the water", 0, 1, 0, 0, 0},
      {"at the top", 7, 0, 0, 0, 7},
  };
  for (const Case& c : cases) {
    g_map.waterLevel = c.water;
    Cell(8, 8, 0).state = c.state;
    CEffect* e = StartAs(14, At(8 * 32 + 16, 8 * 32 + 16, c.level * 16));
    EXPECT_EQ(e->CheckSupport(), c.want) << c.name;
    EXPECT_EQ(e->cellLevel, c.wantLevel) << c.name;
    e->Deactivate();
  }
  Set(2, 2, 0, t::kSand);
  CEffect* sand = StartAs(14, At(2 * 32, 2 * 32, 0));
  EXPECT_EQ(sand->CheckSupport(), 0);  // sand has no support value
  sand->Deactivate();
  g_map.waterLevel = 0;
  CEffect* grass = StartAs(14, At(4 * 32, 4 * 32, 0));
  EXPECT_EQ(grass->CheckSupport(), 1);  // grass carries a fire
}

TEST_F(EffectMotionTest, DamageGoesToTheCreatureHitOrElseTheCell) {
  EffectCreature& target = world.Place(4, 10, 10, 1);
  target.army = 2;
  CEffectParams block = At(10 * 32, 10 * 32, 16);
  block[w::kTarget] = 4;
  block[w::kSpell] = 71;
  CEffect* e = Start(3, block);
  e->state[s::kArmy] = 5;
  e->state[s::kItem0] = 8;
  e->DamageTarget(12);
  ASSERT_EQ(world.damage.size(), 1u);
  EXPECT_EQ(world.damage[0], (std::vector<int>{4, 12, 5, 8, -1}));
  EXPECT_EQ(world.immobilised, (std::vector<std::vector<int>>{{4, 20, 0}}));

  // No creature: the cell's terrain takes it (a block of strength 60 breaks into rubble).
  Set(20, 20, 1, t::kEarth);
  block = At(20 * 32, 20 * 32, 16);
  block[w::kSpell] = 10;
  e = Start(3, block);
  e->DamageTarget(70);
  EXPECT_EQ(Cell(20, 20, 1).terrain, t::kRubble);
  // Spells 34 and 72 leave ordinary terrain alone.
  Set(21, 20, 1, t::kEarth);
  block = At(21 * 32, 20 * 32, 16);
  block[w::kSpell] = 34;
  Start(3, block)->DamageTarget(100);
  EXPECT_EQ(Cell(21, 20, 1).terrain, t::kEarth);
}

TEST_F(EffectMotionTest, SpellChecksRollAgainstTheirShareAndFailWithNothingOnEitherSide) {
  g_spellDefs[20].DoMRCheck = 1;
  CEffectParams block = At(100, 100, 16);
  block[w::kSpell] = 20;
  CEffect* e = Start(3, block);
  g_battleRandom.Seed(99);
  int passed = 0;
  for (int i = 0; i < 1000; ++i) passed += e->PassesSpellChecks(3, 1);
  EXPECT_GT(passed, 700);
  EXPECT_LT(passed, 800);
  EXPECT_EQ(e->PassesSpellChecks(0, 0), 0);
  EXPECT_EQ(e->PassesSpellChecks(0, 5), 0);
  EXPECT_EQ(e->PassesSpellChecks(5, 0), 1);
  block[w::kSpell] = 21;  // no checks: always
  EXPECT_EQ(Start(3, block)->PassesSpellChecks(0, 0), 1);
}

TEST_F(EffectMotionTest, AFizzleRefundsOnlyAPaidCastOfAWizard) {
  g_spellDefs[30].ManaCost = 12;
  world.Place(1, 3, 3, 1).wizardType = true;
  world.Place(2, 6, 6, 1);
  struct Case {
    int caster, mode;
    bool refunded;
  } cases[] = {{1, 1, true}, {1, 2, false}, {2, 1, false}, {-1, 1, false}};
  for (const Case& c : cases) {
    world.mana.clear();
    CEffectParams block = At(100, 100, 16);
    block[w::kSpell] = 30;
    block[w::kCreature] = c.caster;
    block[w::kMode] = c.mode;
    StartAs(41, block)->Fizzle();
    EXPECT_EQ(world.mana.size(), c.refunded ? 1u : 0u) << c.caster << " mode " << c.mode;
    if (c.refunded) EXPECT_EQ(world.mana[0], (std::vector<int>{1, 12 * 256}));
  }
}

TEST_F(EffectMotionTest, RandomRangeDrawsOnlyWhenThereIsARange) {
  g_battleRandom.Seed(5);
  const uint32_t before = g_battleRandom.indexA;
  EXPECT_EQ(RandomRange(7, 7), 7);
  EXPECT_EQ(g_battleRandom.indexA, before);
  for (int i = 0; i < 50; ++i) {
    const int n = RandomRange(10, 3);
    EXPECT_GE(n, 3);
    EXPECT_LT(n, 10);
  }
  EXPECT_EQ(RandomRange(-1, 0), 0);  // a disc of radius 1 picks its one cell
}

}  // namespace
}  // namespace magic_test
