// The kinds' set-up: what each kind starts with, and the edge cases of the catalogue.
#include <gtest/gtest.h>

#include <cstring>

#include "MagicTestSupport.h"
#include "core/Options.h"
#include "creatures/SpellDefinition.h"
#include "forge/TerrainTypes.h"
#include "map/MapView.h"

namespace magic_test {
namespace {

namespace w = effect_word;
namespace s = effect_state;
namespace t = forge::terrain;

class EffectKindsTest : public EffectTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(LoadForgedEffectTables());
    EffectTest::SetUp();
    savedRotation = g_mapView.rotation;
  }
  void TearDown() override {
    g_mapView.rotation = savedRotation;
    for (CSpellDefinition& spell : g_spellDefs) spell = CSpellDefinition{};
    EffectTest::TearDown();
  }
  int EntryStart(int entry) { return manager.AniEntry(entry)->animation; }
  // A burnable floor whose busiest quarter level holds n solid voxels; answers its type.
  int FloorWithVoxels(int n) {
    std::vector<CTerrainType> types;
    for (int i = 0; i < g_terrainTypes.Count(); ++i) types.push_back(g_terrainTypes.Get(i));
    CTerrainType floor = types[t::kGrass];
    std::memset(floor.solidMask, 0, sizeof floor.solidMask);
    for (int i = 0; i < n; ++i) floor.solidMask[i / 8] |= static_cast<uint8_t>(0x80 >> (i % 8));
    floor.supportValue = 5;
    floor.burnValue = 40;
    types.push_back(floor);
    g_terrainTypes.Assign(types);
    return static_cast<int>(types.size()) - 1;
  }
  int savedRotation = 0;
};

TEST_F(EffectKindsTest, AKindPastTheCatalogueIsStoredAndNothingElse) {
  CEffect* e = Start(15, At(300, 300, 16));
  const CEffect before = *e;
  e->SetKind(89);
  EXPECT_EQ(e->kind, 89);
  EXPECT_EQ(std::memcmp(e->state, before.state, sizeof e->state), 0);
  EXPECT_EQ(std::memcmp(e->params.words, before.params.words, sizeof e->params.words), 0);
  EXPECT_EQ(e->x, before.x);
  EXPECT_EQ(e->animPlayer.playing, before.animPlayer.playing);
  EXPECT_TRUE(sounds.played.empty());
}

TEST_F(EffectKindsTest, TheFlashShowsTheEntryOfItsSpell) {
  struct Case {
    int spell, entry;
  } cases[] = {{94, 76}, {50, 29}, {68, 89}, {93, 40}, {99, 11}, {102, 97}};
  for (const Case& c : cases) {
    CEffectParams block = At(300, 300, 16);
    block[w::kSpell] = c.spell;
    CEffect* e = Start(19, block);
    EXPECT_EQ(e->animPlayer.sequence, EntryStart(c.entry)) << c.spell;
    EXPECT_EQ(e->state[s::kPrintType], manager.AniEntry(c.entry)->printType) << c.spell;
    e->Deactivate();
  }
}

TEST_F(EffectKindsTest, FireBurnsALowerFlameOnSparserTerrain) {
  struct Case {
    int voxels, offset;
  } cases[] = {{4, 3}, {5, 2}, {19, 2}, {20, 1}, {47, 1}, {48, 0}};
  for (const Case& c : cases) {
    const int floor = FloorWithVoxels(c.voxels);
    Set(8, 8, 0, floor);
    Cell(8, 8, 0).state = 0;
    world.Place(3, 8, 8, 1);
    g_spellDefs[58].SpellStrength = 7;
    g_spellDefs[58].Damage = 9;
    CEffectParams block = At(8 * 32 + 16, 8 * 32 + 16, 0);
    block[w::kSpell] = 58;
    CEffect* e = Start(14, block);
    ASSERT_TRUE(e->active) << c.voxels;
    EXPECT_EQ(e->animPlayer.sequence, EntryStart(6) + c.offset) << c.voxels;
    EXPECT_TRUE(Cell(8, 8, 0).state & state_bits::kField10);
    EXPECT_EQ(e->state[s::kCounter], 40);
    EXPECT_EQ(e->state[s::kCounter2], 7);
    EXPECT_EQ(e->state[s::kCounter3], 9);
    EXPECT_EQ(world.ignited.back(), 3);  // the creature standing on it
    e->Deactivate();
  }
  // Sand carries no fire, nor does the top level: the effect ends at once. Grass does.
  Set(2, 2, 0, t::kSand);
  CEffect* sand = Start(14, At(2 * 32, 2 * 32, 0));
  EXPECT_FALSE(sand->active);
  Set(4, 4, 0, t::kGrass);
  CEffect* grass = Start(14, At(4 * 32, 4 * 32, 0));
  EXPECT_TRUE(grass->active);
  grass->Deactivate();
  CEffect* top = Start(14, At(2 * 32, 2 * 32, 7 * 16));
  EXPECT_FALSE(top->active);
}

TEST_F(EffectKindsTest, ThrownMissilesFaceAlongTheirFlight) {
  struct Case {
    float vx, vy;
    int rotation, heading, viewHeading;
  } cases[] = {{0, -1, 0, 0, 0}, {1, 0, 0, 4, 4},   {1, 0, 1, 4, 0},
               {0, 1, 0, 8, 8},  {-1, 0, 3, 12, 0}, {1, -1, 0, 2, 2}};
  for (const Case& c : cases) {
    g_mapView.rotation = c.rotation;
    CEffectParams block = At(300, 300, 16);
    block[w::kSpell] = 93;
    block.SetFloat(w::kVelocityX, c.vx);
    block.SetFloat(w::kVelocityY, c.vy);
    CEffect* e = Start(4, block);
    EXPECT_EQ(e->state[s::kHeading], c.heading) << c.vx << "," << c.vy;
    EXPECT_EQ(e->state[s::kViewHeading], c.viewHeading) << c.vx << "," << c.vy << " r" << c.rotation;
    e->Deactivate();
  }
}

TEST_F(EffectKindsTest, TheWallSegmentFacesAwayInTheView) {
  g_mapView.rotation = 1;
  CEffectParams block;
  block.SetPoint(w::kSourceX, 10 * 32, 10 * 32, 16);
  block.SetPoint(w::kTargetX, 11 * 32, 9 * 32, 16);  // north-east: direction 1
  block[w::kMode] = 4;
  CEffect* e = Start(81, block);
  EXPECT_EQ(e->state[s::kHeading], 1);
  EXPECT_EQ(e->animPlayer.sequence, EntryStart(72) + 7);
}

TEST_F(EffectKindsTest, TheCountdownMarksTheScannerAndStartsThePanelOnlyWithATime) {
  for (int time : {-1, 50}) {
    battle = RecordingBattle{};
    sounds.played.clear();
    CEffectParams block = At(12 * 32 + 16, 12 * 32 + 16, 16);
    block[w::kValue] = time;
    CEffect* e = Start(65, block);
    ASSERT_TRUE(e->active);
    EXPECT_EQ(battle.markers.size(), 1u);
    EXPECT_TRUE(sounds.Heard(1044));
    EXPECT_EQ(battle.started, time == -1 ? std::vector<int>{} : std::vector<int>{50});
    EXPECT_EQ(e->state[s::kCounter], time);
    // Its beacon stands a level above.
    const CEffect* beacon = manager.At(e->params[w::kStartY]);
    ASSERT_NE(beacon, nullptr);
    EXPECT_EQ(e->params[w::kCompanionFlag], 1);
    EXPECT_EQ(beacon->kind, 78);
    EXPECT_EQ(beacon->cellLevel, 2);
    e->Deactivate();
  }
}

TEST_F(EffectKindsTest, ASummonedCreatureShowsItselfOnlyAboveTheAmbientLight) {
  g_map.ResetLight();
  const int saved = g_ambientLight;
  for (int light : {g_ambientLight, g_ambientLight + 1}) {
    g_map.light[CMap::kLightShown][static_cast<size_t>(g_map.LightIndex(6, 6, 0))] = static_cast<int8_t>(light);
    sounds.played.clear();
    CEffect* e = Start(8, At(6 * 32 + 16, 6 * 32 + 16, 4));
    EXPECT_EQ(sounds.Heard(726), light > saved) << light;
    e->Deactivate();
  }
}

TEST_F(EffectKindsTest, AFailedSummoningFizzlesAndRefundsOnlyAWizardsPaidCast) {
  g_spellDefs[3].ManaCost = 20;
  struct Case {
    bool wizard;
    int mode;
    bool refunded;
  } cases[] = {{true, 1, true}, {false, 1, false}, {true, 2, false}};
  for (const Case& c : cases) {
    world.mana.clear();
    sounds.played.clear();
    world.Place(5, 20, 20, 1).wizardType = c.wizard;
    CEffectParams block = At(300, 300, 16);
    block[w::kSpell] = 3;
    block[w::kCreature] = 5;
    block[w::kMode] = c.mode;
    CEffect* e = Start(41, block);
    EXPECT_FALSE(e->active);
    EXPECT_TRUE(sounds.Heard(1011));
    EXPECT_EQ(world.mana.size(), c.refunded ? 1u : 0u);
    if (c.refunded) EXPECT_EQ(world.mana[0][1], 20 * 256);
  }
}

TEST_F(EffectKindsTest, AnchorsAndCounters) {
  world.Place(4, 10, 10, 1);
  g_spellDefs[72].SpellStrength = 6;
  CEffectParams block = At(10 * 32 + 16, 10 * 32 + 16, 16);
  block[w::kTarget] = 4;
  CEffect* bolt = Start(48, block);
  EXPECT_EQ(bolt->creature, 4);
  EXPECT_EQ(bolt->state[s::kCounter3], 6);
  EXPECT_EQ(world.reacted, std::vector<int>{4});
  EXPECT_TRUE(sounds.Heard(903));

  // Kind 30 without a creature to fall on ends; with one it counts the fall.
  block[w::kTarget] = -1;
  EXPECT_FALSE(Start(30, block)->active);
  block[w::kTarget] = 77;
  EXPECT_FALSE(Start(30, block)->active);
  block[w::kTarget] = 4;
  block[w::kSourceZ] = 0;
  CEffect* sparks = Start(30, block);
  ASSERT_TRUE(sparks->active);
  EXPECT_EQ(sparks->state[s::kCounter], (8 * 16) / 12 + g_indirectSpellParticlePeriod);

  // The echo needs its caster.
  block[w::kCreature] = -1;
  EXPECT_FALSE(Start(effect_kind::kCreatureEcho, block)->active);
  block[w::kCreature] = 4;
  EXPECT_TRUE(Start(effect_kind::kCreatureEcho, block)->active);

  // Lists: the showers and the totems.
  block[w::kSpell] = 34;
  CEffect* shower = Start(31, block);
  EXPECT_EQ(manager.List(kListSpell34).front(), shower->index);
  CEffect* totem = Start(effect_kind::kAffectsTile, block);
  EXPECT_EQ(manager.List(kListTotems).front(), totem->index);
}

TEST_F(EffectKindsTest, ATrapTakesAFreeCellAndTheCreatureInIt) {
  world.Place(2, 15, 15, 0);
  Cell(15, 15, 0).occupant = 2;
  g_spellDefs[33].Data1 = 11;
  CEffectParams block = At(15 * 32 + 16, 15 * 32 + 16, 0);
  block[w::kSpell] = 33;
  block[w::kSpeed] = 30;
  CEffect* trap = Start(25, block);
  ASSERT_TRUE(trap->active);
  EXPECT_EQ(world.trapped, std::vector<int>{2});
  EXPECT_TRUE(Cell(15, 15, 0).state & state_bits::kField20);
  EXPECT_EQ(trap->state[s::kCounter], 30);
  EXPECT_EQ(trap->state[s::kCounter2], 11);
  EXPECT_EQ(trap->z, 4);  // on the grass
  // A second trap on the same cell ends at once.
  EXPECT_FALSE(Start(25, block)->active);
}

}  // namespace
}  // namespace magic_test
