// A picture a person looks at to judge the effects in flight: missiles of the three
// alignments, a thrown spell along its arc and a patch of burning heath, drawn over the map
// by the real map view and written to the test output folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>

#include "MagicTestSupport.h"
#include "MapViewPicture.h"
#include "core/Random.h"
#include "creatures/SpellDefinition.h"
#include "forge/TerrainTypes.h"
#include "map/LineWalker.h"

namespace magic_test {
namespace {

namespace w = effect_word;
namespace t = forge::terrain;

class EffectPicture : public EffectTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(LoadForgedEffectTables());
    EffectTest::SetUp();
    g_battleRandom.Seed(5);
    // The picture's flames and sparks draw from the cosmetic generator: seeded here, the
    // picture is the same whichever tests ran before it.
    g_viewRandom.Seed(CRandom::kDefaultSeed);
    // The fires burn by their spell's numbers: blank ones, whatever an earlier test left.
    for (CSpellDefinition& spell : g_spellDefs) spell = CSpellDefinition{};
  }
  void TearDown() override {
    for (CSpellDefinition& spell : g_spellDefs) spell = CSpellDefinition{};
    EffectTest::TearDown();
  }
  void Frame() {
    for (int i = 0; i < manager.Count(); ++i)
      if (manager.At(i)->active) manager.At(i)->Update();
  }
  // A missile of a spell from one cell toward another, a few frames on its way.
  CEffect* Missile(int spell, int alignment, int fromY) {
    g_spellDefs[spell].Alignment = alignment;
    g_spellDefs[spell].RangeUnits = 30 * 32;
    CEffectParams block;
    block.SetPoint(w::kSourceX, 20 * 32 + 16, fromY * 32 + 16, 24);
    block.SetPoint(w::kTargetX, 40 * 32 + 16, fromY * 32 + 16, 24);
    block[w::kCreature] = 1;  // the local player's wizard: its effects are seen
    block[w::kSpell] = spell;
    block[w::kSpeed] = 8;
    return Start(7, block);
  }
};

TEST_F(EffectPicture, MissilesAnArcAndBurningHeathOverTheMap) {
  world.Place(1, 2, 2, 0).localPlayers = true;
  // A patch of heath that catches fire.
  std::vector<CTerrainType> types;
  for (int i = 0; i < g_terrainTypes.Count(); ++i) types.push_back(g_terrainTypes.Get(i));
  CTerrainType heath = types[t::kGrass];
  heath.ignition = 60;
  heath.burnValue = 200;
  heath.supportValue = 5;
  types.push_back(heath);
  g_terrainTypes.Assign(types);
  const int kHeath = static_cast<int>(types.size()) - 1;
  for (int y = 32; y < 37; ++y)
    for (int x = 26; x < 31; ++x) Set(x, y, 0, kHeath);
  g_spellDefs[58].SpellStrength = 3;
  g_spellDefs[58].Damage = 250;
  for (int y : {33, 35})
    for (int x : {27, 29}) {
      CEffectParams block = At(x * 32 + 16, y * 32 + 16, 0);
      block[w::kCreature] = 1;
      block[w::kSpell] = 58;
      Start(effect_kind::kFire, block);
    }
  for (int i = 0; i < 30; ++i) Frame();

  // Law, Neutral and Vrask missiles side by side.
  Missile(8, kAlignLaw, 24);
  Missile(9, kAlignNeutral, 26);
  Missile(10, kAlignVrask, 28);
  // One thrown spell, shown at seven moments of its flight.
  CLineWalker walker;
  CProjectileResult arc;
  const int sx = 22 * 32 + 16, sy = 20 * 32 + 16, sz = 24, tx = 34 * 32 + 16, ty = 20 * 32 + 16;
  ASSERT_TRUE(walker.TraceProjectile(sx, sy, sz, tx, ty, 4, -1, 22, 93, -1, CLineWalker::kFineShot, arc));
  g_spellDefs[93].RangeUnits = 30 * 32;
  std::vector<CEffect*> thrown;
  for (int moment = 0; moment < 7; ++moment) {
    CEffectParams block;
    block.SetPoint(w::kSourceX, sx, sy, sz);
    block.SetPoint(w::kTargetX, tx, ty, 4);
    block.SetPoint(w::kStartX, sx, sy, sz);
    for (int i = 0; i < 3; ++i) block.SetFloat(w::kVelocityX + i, arc.velocity[i]);
    block[w::kTick] = 0;
    block[w::kCreature] = 1;
    block[w::kSpell] = 93;
    thrown.push_back(Start(4, block));
  }
  for (int frame = 0; frame < 28; ++frame) {
    for (size_t moment = 0; moment < thrown.size(); ++moment)
      if (frame < static_cast<int>(moment) * 4 && thrown[moment]->active) thrown[moment]->Update();
    if (frame < 6) Frame();
  }

  const std::vector<uint16_t> pixels = DrawMapView(27, 25, 1);
  const std::string path = WriteMapViewPng("effects-in-flight.png", pixels);
  EXPECT_FALSE(path.empty());
  std::printf("effects picture: %s\n", path.c_str());
  EXPECT_GT(std::set<uint16_t>(pixels.begin(), pixels.end()).size(), 30u);
}

}  // namespace
}  // namespace magic_test
