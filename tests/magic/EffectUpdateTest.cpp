// The per-tick update, one family at a time: a missile that hits, a thrown arc that lands, a
// fire that spreads over burnable ground and dies out, a countdown that ends the battle and
// a falling block that hurts what it lands on.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>

#include "MagicTestSupport.h"
#include "core/Random.h"
#include "creatures/SpellDefinition.h"
#include "forge/SpellTable.h"
#include "forge/TerrainTypes.h"
#include "map/LineWalker.h"

namespace magic_test {
namespace {

namespace w = effect_word;
namespace s = effect_state;
namespace t = forge::terrain;

class EffectUpdateTest : public EffectTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(LoadForgedEffectTables());
    EffectTest::SetUp();
    g_battleRandom.Seed(77);
  }
  void TearDown() override {
    for (CSpellDefinition& spell : g_spellDefs) spell = CSpellDefinition{};
    EffectTest::TearDown();
  }
  // Runs the effect until it ends; answers the ticks it took, or -1 past the limit.
  int RunOut(CEffect* e, int limit) {
    for (int tick = 1; tick <= limit; ++tick) {
      e->Update();
      if (!e->active) return tick;
    }
    return -1;
  }
  // Every active effect one frame, as the battle runs them.
  void Frame() {
    for (int i = 0; i < manager.Count(); ++i)
      if (manager.At(i)->active) manager.At(i)->Update();
  }
  int CountActive(int kind) {
    int n = 0;
    for (int i = 0; i < manager.Count(); ++i) n += manager.At(i)->active && manager.At(i)->kind == kind;
    return n;
  }
};

TEST_F(EffectUpdateTest, AStraightMissileReachesItsCreatureAndHandsOver) {
  world.Place(4, 20, 10, 0).army = 1;
  g_spellDefs[8].RangeUnits = 20 * 32;
  g_spellDefs[8].Speed = 12;
  CEffectParams block;
  block.SetPoint(w::kSourceX, 10 * 32 + 16, 10 * 32 + 16, 10);
  block.SetPoint(w::kTargetX, 20 * 32 + 16, 10 * 32 + 16, 10);
  block[w::kSpell] = 8;
  block[w::kSpeed] = 12;
  block[w::kTarget] = 4;
  CEffect* missile = Start(7, block);
  ASSERT_TRUE(missile->active);
  const int ticks = RunOut(missile, 60);
  EXPECT_GT(ticks, 20);  // about 10 tiles at 12 units a tick
  EXPECT_EQ(missile->params[w::kTarget], 4);
  EXPECT_EQ(missile->cellX, 20);
  EXPECT_TRUE(manager.AllocateEffect() != nullptr);
}

TEST_F(EffectUpdateTest, AMissileWithoutATargetEndsOutOfRange) {
  g_spellDefs[8].RangeUnits = 3 * 32;
  CEffectParams block;
  block.SetPoint(w::kSourceX, 10 * 32 + 16, 10 * 32 + 16, 10);
  block.SetPoint(w::kTargetX, 40 * 32 + 16, 10 * 32 + 16, 10);
  block[w::kSpell] = 8;
  block[w::kSpeed] = 8;
  CEffect* missile = Start(7, block);
  EXPECT_GT(RunOut(missile, 60), 0);
  EXPECT_LE(missile->cellX, 15);
}

TEST_F(EffectUpdateTest, TheRicochetHurtsWhatItHitsWithoutDelivery) {
  world.Place(4, 16, 10, 0).army = 1;
  g_spellDefs[73].Damage = 20;
  g_spellDefs[73].Duration = 100;
  g_spellDefs[73].RangeUnits = 12 * 32;
  CEffectParams block;
  block.SetPoint(w::kSourceX, 10 * 32 + 16, 10 * 32 + 16, 10);
  block.SetPoint(w::kTargetX, 16 * 32 + 16, 10 * 32 + 16, 10);
  block[w::kSpell] = 73;
  block[w::kSpeed] = 10;
  block[w::kCreature] = 9;
  block[w::kTarget] = 4;
  block[w::kStartY] = 9;
  block[34] = 1;
  CEffect* bolt = Start(3, block);
  for (int tick = 0; tick < 40 && world.damage.empty(); ++tick) bolt->Update();
  ASSERT_FALSE(world.damage.empty());
  EXPECT_EQ(world.damage[0][0], 4);
  EXPECT_EQ(world.damage[0][1], 20);
  ASSERT_FALSE(world.attacker.empty());
  EXPECT_EQ(world.attacker[0], (std::vector<int>{4, 10, 100}));
  EXPECT_EQ(bolt->params[w::kCreature], 4);  // the one struck is not struck again
}

TEST_F(EffectUpdateTest, AThrownArcLandsNearItsTarget) {
  g_spellDefs[8].RangeUnits = 20 * 32;
  CLineWalker walker;
  CProjectileResult arc;
  const int sx = 10 * 32 + 16, sy = 10 * 32 + 16, sz = 20, tx = 18 * 32 + 16, ty = 10 * 32 + 16, tz = 4;
  ASSERT_TRUE(walker.TraceProjectile(sx, sy, sz, tx, ty, tz, -1, 20, 8, -1, CLineWalker::kFineShot, arc));
  CEffectParams block;
  block.SetPoint(w::kSourceX, sx, sy, sz);
  block.SetPoint(w::kTargetX, tx, ty, tz);
  block.SetPoint(w::kStartX, sx, sy, sz);
  for (int i = 0; i < 3; ++i) block.SetFloat(w::kVelocityX + i, arc.velocity[i]);
  block[w::kTick] = 0;
  block[w::kSpell] = 8;
  CEffect* thrown = Start(6, block);
  int highest = 0;
  for (int tick = 0; tick < 200 && thrown->active; ++tick) {
    thrown->Update();
    highest = std::max(highest, thrown->z);
  }
  EXPECT_FALSE(thrown->active);
  EXPECT_GT(highest, sz);  // it flew an arc
  EXPECT_NEAR(thrown->cellX, 18, 1);
  EXPECT_EQ(thrown->cellY, 10);
  EXPECT_EQ(thrown->cellLevel, 0);
}

TEST_F(EffectUpdateTest, FireSpreadsOverBurnableGroundAndDiesOut) {
  std::vector<CTerrainType> types;
  for (int i = 0; i < g_terrainTypes.Count(); ++i) types.push_back(g_terrainTypes.Get(i));
  CTerrainType heath = types[t::kGrass];
  heath.ignition = 90;
  heath.burnValue = 12;
  heath.supportValue = 5;
  heath.damageThreshold = 10;  // burnt, it is bare sand, which burns no more
  heath.typeFlags &= static_cast<uint8_t>(~0x20);  // the fire does burn it away
  heath.afterDestruction = t::kSand;
  types.push_back(heath);
  const int kHeath = static_cast<int>(types.size()) - 1;
  g_terrainTypes.Assign(types);
  // The heath within a ring of sand, which does not burn.
  for (int y = 19; y < 27; ++y)
    for (int x = 19; x < 27; ++x) Set(x, y, 0, x < 20 || x > 25 || y < 20 || y > 25 ? t::kSand : kHeath);
  g_spellDefs[58].SpellStrength = 2;
  g_spellDefs[58].Damage = 200;  // no delivery while it burns
  CEffectParams block = At(22 * 32 + 16, 22 * 32 + 16, 0);
  block[w::kSpell] = 58;
  ASSERT_TRUE(Start(effect_kind::kFire, block)->active);
  std::set<std::pair<int, int>> burnt;
  int frames = 0;
  for (; frames < 600 && CountActive(effect_kind::kFire) > 0; ++frames) {
    Frame();
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x)
        if (Cell(x, y, 0).state & state_bits::kField10) burnt.insert({x, y});
  }
  EXPECT_GT(burnt.size(), 3u);
  for (const auto& [x, y] : burnt) {
    EXPECT_GE(x, 20);  // the sand does not catch
    EXPECT_LT(x, 26);
  }
  EXPECT_EQ(CountActive(effect_kind::kFire), 0) << "still burning after " << frames;
  for (const auto& [x, y] : burnt) {
    EXPECT_FALSE(Cell(x, y, 0).state & state_bits::kField10);
    EXPECT_EQ(Cell(x, y, 0).terrain, t::kSand);
  }
}

// The forged grass and the forged fireball's fire: it catches, spreads a little over the
// moor and dies out on its own, and the grass is still there after it.
TEST_F(EffectUpdateTest, AFireballsFireOnTheForgedGrassSpreadsALittleAndDiesOut) {
  const forge::SpellRow& fireball = forge::SpellTable()[58];
  g_spellDefs[58].SpellStrength = fireball.SpellStrength;
  g_spellDefs[58].Duration = fireball.Duration;
  g_spellDefs[58].Damage = fireball.Damage;
  size_t most = 0;
  for (uint32_t seed : {1u, 2u, 3u, 4u, 5u, 6u}) {
    SCOPED_TRACE(seed);
    g_battleRandom.Seed(seed);
    CEffectParams block = At(32 * 32 + 16, 32 * 32 + 16, 0);
    block[w::kSpell] = 58;
    ASSERT_TRUE(Start(effect_kind::kFire, block)->active);
    std::set<std::pair<int, int>> burnt;
    int frames = 0;
    for (; frames < 3000 && CountActive(effect_kind::kFire) > 0; ++frames) {
      Frame();
      for (int y = 16; y < 48; ++y)
        for (int x = 16; x < 48; ++x)
          if (Cell(x, y, 0).state & state_bits::kField10) burnt.insert({x, y});
    }
    EXPECT_EQ(CountActive(effect_kind::kFire), 0) << "still burning after " << frames;
    EXPECT_LT(burnt.size(), 100u);
    most = std::max(most, burnt.size());
    for (const auto& [x, y] : burnt) EXPECT_EQ(Cell(x, y, 0).terrain, t::kGrass);
  }
  EXPECT_GT(most, 1u) << "the fire never spread";
}

TEST_F(EffectUpdateTest, TheCountdownEndsTheBattleWithDefeatMessageTwo) {
  CEffectParams block = At(12 * 32 + 16, 12 * 32 + 16, 16);
  block[w::kValue] = 3;
  CEffect* countdown = Start(65, block);
  const int beacon = countdown->params[w::kStartY];
  ASSERT_TRUE(manager.At(beacon)->active);
  EXPECT_EQ(RunOut(countdown, 10), 3);
  EXPECT_EQ(battle.shown, (std::vector<int>{2, 1, 0}));
  EXPECT_EQ(battle.defeats, std::vector<int>{2});
  EXPECT_EQ(battle.removedMarkers.size(), 1u);
  EXPECT_TRUE(sounds.Heard(1042));
  EXPECT_FALSE(manager.At(beacon)->active);
  // Without a time it waits for ever.
  block[w::kValue] = -1;
  CEffect* endless = Start(65, block);
  EXPECT_EQ(RunOut(endless, 50), -1);
}

TEST_F(EffectUpdateTest, ATrapHoldsItsCellThenClosesAndFreesIt) {
  world.Place(2, 15, 15, 0);
  Cell(15, 15, 0).occupant = 2;
  g_spellDefs[33].Data1 = 1000;  // no delivery while it holds
  CEffectParams block = At(15 * 32 + 16, 15 * 32 + 16, 0);
  block[w::kSpell] = 33;
  block[w::kSpeed] = 20;
  CEffect* trap = Start(25, block);
  ASSERT_TRUE(trap->active);
  int frames = 0;
  while (trap->active && trap->kind == 25 && frames < 200) {
    trap->Update();
    ++frames;
  }
  ASSERT_EQ(trap->kind, effect_kind::kTrap);
  const size_t trappedBefore = world.trapped.size();
  while (trap->active && trap->kind == effect_kind::kTrap && frames < 400) {
    trap->Update();
    ++frames;
  }
  EXPECT_GT(world.trapped.size(), trappedBefore + 10);  // held every frame it was open
  EXPECT_EQ(trap->kind, effect_kind::kTrapEnding);
  EXPECT_TRUE(Cell(15, 15, 0).state & state_bits::kField20);
  EXPECT_GT(RunOut(trap, 400), 0);
  EXPECT_FALSE(Cell(15, 15, 0).state & state_bits::kField20);
}

TEST_F(EffectUpdateTest, AFallingBlockHurtsWhatItLandsOn) {
  world.Place(6, 30, 30, 0).army = 1;
  CEffectParams block = At(30 * 32 + 16, 30 * 32 + 16, 6 * 16);
  block[w::kValue] = t::kStone;
  CEffect* rock = Start(effect_kind::kFallingBlock, block);
  ASSERT_EQ(rock->state[s::kMotionMode], 1);
  int speedAtHit = 0;
  for (int tick = 0; tick < 100 && rock->active; ++tick) {
    speedAtHit = rock->state[s::kMotionCounter];
    rock->Update();
  }
  EXPECT_FALSE(rock->active);
  ASSERT_EQ(world.damage.size(), 1u);
  EXPECT_EQ(world.damage[0][0], 6);
  EXPECT_EQ(world.damage[0][1], TerrainOf(t::kStone).CountVoxels() * (speedAtHit / 32 + 1));
}

TEST_F(EffectUpdateTest, ShortLivedLooksRunOnceAndEnd) {
  for (int kind : {13, 36, 37, 19}) {
    CEffectParams block = At(5 * 32 + 16, 5 * 32 + 16, 4);
    block[w::kSpell] = 50;
    CEffect* e = Start(kind, block);
    ASSERT_TRUE(e->active) << kind;
    EXPECT_GT(RunOut(e, 400), 1) << kind;
  }
}

}  // namespace
}  // namespace magic_test
