// The terrain-shaping effects on the forged field: totems finding their site, growing,
// acting on creatures and collapsing; walls with their side walls; the sinking column; the
// earthquake's corner columns; and effects hopping to a standable cell.
#include <gtest/gtest.h>

#include <set>
#include <tuple>
#include <vector>

#include "CastWorld.h"
#include "core/Options.h"
#include "creatures/SpellDefinition.h"
#include "forge/TerrainTypes.h"
#include "magic/EffectManager.h"
#include "map/Map.h"
#include "map/MapUnits.h"
#include "map/TerrainType.h"

namespace {

namespace w = effect_word;
namespace s = effect_state;
namespace t = forge::terrain;

std::vector<std::tuple<int, int, int>> g_heard;  // cells the path network heard of
void Hear(int x, int y, int level, int) { g_heard.emplace_back(x, y, level); }

class TerrainShapingTest : public magic_test::CastWorld {
 protected:
  void SetUp() override {
    CastWorld::SetUp();
    g_heard.clear();
    savedListener_ = g_pathCellChanged;
    g_pathCellChanged = Hear;
    savedNodeMap_ = g_useNodeMap;
    g_useNodeMap = 1;
    for (int spell : {35, 65, 69, 70, 75, 91, 92}) saved_.push_back(g_spellDefs[spell]);
  }
  void TearDown() override {
    int i = 0;
    for (int spell : {35, 65, 69, 70, 75, 91, 92}) g_spellDefs[spell] = saved_[static_cast<size_t>(i++)];
    g_pathCellChanged = savedListener_;
    g_useNodeMap = savedNodeMap_;
    CastWorld::TearDown();
  }
  int Terrain(int x, int y, int level) { return g_map.CellAt(x, y, level).terrain; }
  // A totem grown to its full height: its effect stands on its top tile as kind 33.
  CEffect& GrowTotemAt(int x, int y, int spell, int army = 0) {
    CEffect& e = EffectAt(x, y, 0, spell);
    EXPECT_EQ(e.FindTotemSite(), 1);
    e.state[s::kArmy] = army;
    e.SetKind(32);
    for (int frame = 0; frame < 10 && e.kind == 32; ++frame) EXPECT_EQ(e.GrowTotem(), 1);
    EXPECT_EQ(e.kind, effect_kind::kAffectsTile);
    return e;
  }
  std::vector<CEffect*> OfKind(int kind) {
    std::vector<CEffect*> found;
    for (int i = CEffectManager::kReserved; i < g_effectManager.Count(); ++i)
      if (Effect(i).active && Effect(i).kind == kind) found.push_back(&Effect(i));
    return found;
  }

 private:
  void (*savedListener_)(int, int, int, int) = nullptr;
  int savedNodeMap_ = 0;
  std::vector<CSpellDefinition> saved_;
};

TEST_F(TerrainShapingTest, ATotemBesideAnotherMovesAwayBeforeItGrows) {
  for (int level = 0; level < 6; ++level) g_map.CellAt(11, 10, level).terrain = static_cast<uint16_t>(333 + level);
  CEffect& e = EffectAt(10, 10, 0, 65);
  ASSERT_EQ(e.FindTotemSite(), 1);
  EXPECT_FALSE(e.cellX == 10 && e.cellY == 10);
  EXPECT_FALSE(e.cellX == 11 && e.cellY == 10);
  EXPECT_EQ(e.cellLevel, 0);  // dropped onto the grass
  EXPECT_EQ(e.x, e.cellX * 32 + 16);
  // Hemmed in by totems on every side at its level it gives up.
  g_map.CellAt(11, 10, 0).terrain = 0;
  CEffect& boxed = EffectAt(30, 30, 0, 65);
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx)
      if (dx || dy) g_map.CellAt(30 + dx, 30 + dy, 0).terrain = 333;
  EXPECT_EQ(boxed.FindTotemSite(), 0);
}

TEST_F(TerrainShapingTest, ATotemNeedsOneMoreFreeCellThanItsTiles) {
  g_map.CellAt(5, 5, 0).terrain = t::kTurf;  // a full block: the effect stands above it
  struct Case {
    int spell, level;
    int want;
  } cases[] = {{65, 0, 1}, {65, 1, 0}, {69, 1, 1}, {91, 1, 1}, {70, 1, 0}, {92, 2, 0}};
  for (const Case& c : cases) {
    const int x = c.level == 0 ? 6 : 5;
    CEffect& e = EffectAt(x, 5, c.level, c.spell);
    EXPECT_EQ(e.CanGrowTotem(), c.want) << "spell " << c.spell << " level " << c.level;
  }
  const int standing = Place(1, 1, 7, 5);
  CEffect& blocked = EffectAt(7, 5, 0, 69);
  EXPECT_EQ(blocked.CanGrowTotem(), 0);
  (void)standing;
  g_map.CellAt(8, 5, 1).terrain = 339;  // standing on another totem
  EXPECT_EQ(EffectAt(8, 5, 2, 69).CanGrowTotem(), 0);
}

TEST_F(TerrainShapingTest, ATotemGrowsItsTilesLevelByLevel) {
  CEffect& e = GrowTotemAt(20, 20, 70);
  for (int level = 0; level < 7; ++level) EXPECT_EQ(Terrain(20, 20, level), 345 + level) << level;
  EXPECT_EQ(Terrain(20, 20, 7), 0);
  EXPECT_EQ(e.cellLevel, 6);
  EXPECT_EQ(g_map.CellAt(20, 20, 3).shape & 0x0203, 0x0200);
  EXPECT_TRUE(sounds.Heard(727));
  EXPECT_FALSE(g_heard.empty());
  // A creature in the way stops the growth.
  CEffect& other = EffectAt(25, 25, 0, 65);
  ASSERT_EQ(other.FindTotemSite(), 1);
  other.SetKind(32);
  EXPECT_EQ(other.GrowTotem(), 1);
  Place(1, 1, other.cellX, other.cellY, other.cellLevel);
  EXPECT_EQ(other.GrowTotem(), 0);
}

TEST_F(TerrainShapingTest, AHitOnAnyTotemTileRemovesThatTotemAndNothingElse) {
  for (int spell : {34, 72}) {
    CEffect& totem = GrowTotemAt(20, 20, 91);
    CEffect& neighbour = GrowTotemAt(22, 20, 69);
    g_heard.clear();
    CEffect& hit = EffectAt(20, 20, 2, spell);  // a middle tile
    hit.params[w::kTarget] = -1;
    hit.DamageTarget(50);
    for (int level = 0; level < 6; ++level) EXPECT_EQ(Terrain(20, 20, level), 0) << "spell " << spell;
    EXPECT_FALSE(totem.active);
    EXPECT_TRUE(neighbour.active);
    for (int level = 0; level < 6; ++level) EXPECT_EQ(Terrain(22, 20, level), 339 + level);
    EXPECT_EQ(Terrain(21, 20, 0), t::kGrass);
    EXPECT_EQ(OfKind(13).size(), 6u);  // dust where each tile stood
    std::set<std::tuple<int, int, int>> heard(g_heard.begin(), g_heard.end());
    for (int level = 0; level < 6; ++level) EXPECT_TRUE(heard.count({20, 20, level})) << level;
    EXPECT_TRUE(sounds.Heard(1026));
    g_effectManager.Reset();
    for (int level = 0; level < 6; ++level) g_map.CellAt(22, 20, level).terrain = level == 0 ? t::kGrass : 0;
    g_map.CellAt(20, 20, 0).terrain = t::kGrass;
  }
  // The map's notice of a damaged tile under a totem brings it down the same way.
  CEffect& totem = GrowTotemAt(30, 30, 65);
  totem.AffectTerrainTile();
  EXPECT_FALSE(totem.active);
  EXPECT_EQ(Terrain(30, 30, 6), 0);
}

TEST_F(TerrainShapingTest, TheAuraLooksAtData1SlotsFromItsCursorAndWraps) {
  g_spellDefs[92].DoBRCheck = 0;
  g_spellDefs[92].Data1 = 10;
  g_spellDefs[92].Duration = 8;
  const int near = Place(1, 1, 33, 30);
  ASSERT_EQ(near, 0);
  CEffect& totem = GrowTotemAt(30, 30, 92);
  totem.params[w::kCompanion] = 95;
  totem.TotemAura();
  EXPECT_EQ(totem.params[w::kCompanion], 0);  // 95-99 looked at, then back to the start
  EXPECT_FALSE(C(near).IsTargetPosition(30, 30, totem.cellLevel));
  totem.TotemAura();
  EXPECT_TRUE(C(near).IsTargetPosition(30, 30, totem.cellLevel));
  EXPECT_EQ(totem.params[w::kCompanion], 10);
}

TEST_F(TerrainShapingTest, RepellingPushesOnceAndLuringEveryTime) {
  for (int spell : {91, 92}) {
    g_spellDefs[spell].DoBRCheck = 0;
    g_spellDefs[spell].Data1 = 10;
    g_spellDefs[spell].Duration = 8;
  }
  const int c = Place(1, 1, 33, 31);
  CEffect& repel = GrowTotemAt(30, 30, 91);
  repel.TotemAura();
  EXPECT_EQ(C(c).motion.pushed, 1);
  EXPECT_TRUE(C(c).IsTargetPosition(37, 35, 0));  // four cells farther on each axis it is off
  C(c).orderState.goalX = C(c).orderState.goalY = 0;
  repel.params[w::kCompanion] = 0;
  repel.TotemAura();
  EXPECT_FALSE(C(c).IsTargetPosition(37, 35, 0));  // pushed already: left alone
  CEffect& lure = GrowTotemAt(10, 10, 92);
  C(c).SetPosition(12, 10, 0, 1);
  for (int round = 0; round < 2; ++round) {
    C(c).orderState.goalX = C(c).orderState.goalY = 0;
    lure.params[w::kCompanion] = 0;
    lure.TotemAura();
    EXPECT_TRUE(C(c).IsTargetPosition(10, 10, lure.cellLevel)) << "round " << round;
  }
}

TEST_F(TerrainShapingTest, TheWarTotemShootsTheNearestHostileAndReloads) {
  const int foe = Place(1, 1, 24, 20);
  const int nearer = Place(1, 1, 22, 21);
  const int friendly = Place(1, 0, 21, 20);
  (void)foe;
  (void)friendly;
  CEffect& totem = GrowTotemAt(20, 20, 70, 0);
  totem.state[s::kCounter] = 0;
  totem.TotemShoot();
  const std::vector<CEffect*> shots = OfKind(46);
  ASSERT_EQ(shots.size(), 1u);
  EXPECT_EQ(shots[0]->params[w::kTarget], nearer);
  EXPECT_EQ(totem.state[s::kCounter], g_spellDefs[70].SpellStrength);
  totem.params[w::kCompanion] = 0;
  totem.TotemShoot();  // reloading
  EXPECT_EQ(OfKind(46).size(), 1u);
}

TEST_F(TerrainShapingTest, AWallGrowsItsColumnAndSideWalls) {
  g_spellDefs[35].SpellStrength = 3;
  const int caster = Place(0, 0, 10, 10);
  CEffect& wall = EffectAt(12, 10, 0, 35);
  wall.params[w::kCreature] = caster;
  wall.params[w::kValue] = -1;
  wall.params[w::kSpeed] = 3;
  wall.SetKind(56);
  // Every growing segment grows a level each round until none is left.
  for (int round = 0; round < 20; ++round) {
    const std::vector<CEffect*> growing = OfKind(56);
    if (growing.empty()) break;
    for (CEffect* e : growing) e->GrowWall();
  }
  EXPECT_TRUE(OfKind(56).empty());
  EXPECT_EQ(Terrain(12, 10, 0), t::kWallBaseTall);  // the grass was taller than 1
  for (int level = 1; level < 3; ++level) {
    EXPECT_GE(Terrain(12, 10, level), t::kWallMiddleFirst);
    EXPECT_LT(Terrain(12, 10, level), t::kWallMiddleFirst + 12);
  }
  EXPECT_GE(Terrain(12, 10, 3), t::kWallTopFirst);
  EXPECT_LT(Terrain(12, 10, 3), t::kWallTopFirst + 5);
  EXPECT_EQ(Terrain(12, 10, 4), 0);
  // Cast from the west, the wall spreads north and south.
  for (int y : {9, 11}) EXPECT_EQ(Terrain(12, y, 0), t::kWallBaseTall) << y;
  EXPECT_EQ(Terrain(11, 10, 0), t::kGrass);
  EXPECT_EQ(Terrain(13, 10, 0), t::kGrass);
  EXPECT_FALSE(g_heard.empty());
}

TEST_F(TerrainShapingTest, TheSinkingColumnTakesItsTilesDownIntoTheGround) {
  // A type that settles: the column sinks into cells of it.
  std::vector<forge::TerrainDef> types = forge::ForgedTerrainTypes();
  types[t::kEarth].typeFlags |= type_flags::kSettles;
  std::vector<uint8_t> file = forge::TerrainFileBytes(types);
  ASSERT_TRUE(g_terrainTypes.Assign(file.data() + 16, file.size() - 16));
  g_map.CellAt(20, 20, 0).terrain = t::kEarth;
  g_map.CellAt(20, 20, 1).terrain = t::kStone;
  g_map.CellAt(20, 20, 2).terrain = t::kTurf;
  CEffect& column = EffectAt(20, 20, 3, 52);
  column.state[s::kPreviousCell] = 20;
  column.state[s::kPreviousCell + 1] = 20;
  column.state[s::kPreviousCell + 2] = 1;
  column.SetKind(24);
  EXPECT_EQ(column.cellLevel, 0);  // down to the lowest settling cell
  std::vector<std::vector<int>> columns{{Terrain(20, 20, 0), Terrain(20, 20, 1), Terrain(20, 20, 2)}};
  for (int frame = 0; frame < 20 && column.active; ++frame) {
    column.Update();
    const std::vector<int> now{Terrain(20, 20, 0), Terrain(20, 20, 1), Terrain(20, 20, 2)};
    if (columns.empty() || columns.back() != now) columns.push_back(now);
  }
  EXPECT_FALSE(column.active);
  const std::vector<std::vector<int>> wanted{
      {t::kEarth, t::kStone, t::kTurf}, {t::kStone, t::kTurf, 0}, {t::kTurf, 0, 0}, {0, 0, 0}};
  EXPECT_EQ(columns, wanted);
}

TEST_F(TerrainShapingTest, EarthquakeCornersRiseTierByTierToTheTop) {
  CEffect& quake = EffectAt(20, 20, 0, 75);
  quake.params[w::kSpeed] = 0;
  quake.params[w::kValue] = 0;
  quake.params[w::kCompanionFlag] = 0;
  quake.state[s::kCounter3] = 0;
  quake.state[s::kCounter2] = 36;
  int calls = 0;
  while (quake.params[w::kValue] < quake.state[s::kCounter2] && calls < 20) {
    quake.SpawnCornerEffects();
    ++calls;
  }
  EXPECT_EQ(calls, 7);  // tiers 1-7 of an eight-level map
  EXPECT_EQ(quake.state[s::kCounter2], 28);
  EXPECT_EQ(quake.params[w::kCompanionFlag], 28);
  const std::vector<CEffect*> corners = OfKind(20);
  ASSERT_EQ(corners.size(), 28u);
  EXPECT_EQ(corners[0]->z, 16);
  EXPECT_EQ(corners.back()->z, 7 * 16);
  // The sway moves them and brings them back after eight steps.
  const int before = corners[5]->x + corners[5]->y;
  quake.state[s::kLastPosition + 1] = 0;
  for (int step = 0; step < 8; ++step) quake.WobbleLinked();
  EXPECT_EQ(corners[5]->x + corners[5]->y, before);
}

TEST_F(TerrainShapingTest, EffectsHopToAFreeStandableCellAndRise) {
  const int here = Place(1, 1, 15, 15);
  (void)here;
  CEffect& e = EffectAt(15, 15, 2, 76);
  e.MoveToFreeCell();
  EXPECT_EQ(e.cellLevel, 0);
  EXPECT_FALSE(e.cellX == 15 && e.cellY == 15);  // a creature stands there
  EXPECT_EQ(e.x, e.cellX * 32);
  e.RiseOneLevel();
  EXPECT_EQ(e.cellLevel, 1);
  EXPECT_EQ(e.z, 16);
  CEffect& top = EffectAt(15, 16, 7, 76);
  top.RiseOneLevel();
  EXPECT_EQ(top.cellLevel, 7);
}

TEST_F(TerrainShapingTest, AFlameFeedsTheFireInItsCell) {
  CEffect& fire = EffectAt(18, 18, 0, 72);
  fire.SetKind(effect_kind::kTrap);
  fire.state[s::kCounter] = 100;
  CEffect& flame = EffectAt(18, 18, 0, 72);
  EXPECT_EQ(flame.FeedFlame(), 1);
  EXPECT_EQ(fire.state[s::kCounter], 100 - g_spellDefs[72].Damage);
  CEffect& elsewhere = EffectAt(19, 18, 0, 72);
  EXPECT_EQ(elsewhere.FeedFlame(), 0);
}

TEST_F(TerrainShapingTest, TheShockwaveLiftsWhatStandsOnItAndThrowsTheRestAway) {
  g_spellDefs[75].Data1 = 20;
  g_spellDefs[75].SpellStrength = 4;
  CEffect& quake = EffectAt(20, 20, 0, 75);
  const int above = Place(1, 1, 20, 20);
  const int near = Place(1, 1, 22, 20);
  const int far = Place(1, 1, 40, 40);
  quake.params[w::kCompanionFlag] = 0;
  quake.state[s::kCounter3] = 0;
  quake.Shockwave();
  EXPECT_EQ(C(above).order, ORDER_LIFTED);
  EXPECT_NE(C(near).order, ORDER_LIFTED);
  EXPECT_EQ(C(near).motion.pushed, 1);  // thrown east, away from the quake
  EXPECT_EQ(C(near).orderState.lineMove, 1);
  EXPECT_EQ(C(far).motion.pushed, 0);
  EXPECT_EQ(quake.state[s::kCounter3], 20);
}

}  // namespace
