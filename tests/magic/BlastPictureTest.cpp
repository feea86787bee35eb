// A picture a person looks at to judge a blast and a summoning: a blast's wave of flashes
// spreading over the grass and flaring where it has reached, and a summoned creature's
// appearing flash beside it, drawn over the map by the real map view into the test output.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>

#include "MagicTestSupport.h"
#include "MapViewPicture.h"
#include "core/Random.h"
#include "creatures/SpellDefinition.h"
#include "magic/Blast.h"

namespace magic_test {
namespace {

namespace w = effect_word;

class BlastPicture : public EffectTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(LoadForgedEffectTables());
    EffectTest::SetUp();
    g_blastPool.Clear();
    g_blastPool.BuildAbsorptionTable();
    // The picture's flashes draw from the cosmetic generator: seeded here, the
    // picture is the same whichever tests ran before it.
    g_viewRandom.Seed(CRandom::kDefaultSeed);
    g_battleRandom.Seed(CRandom::kDefaultSeed);
    for (CSpellDefinition& spell : g_spellDefs) spell = CSpellDefinition{};  // what an earlier test left
  }
  void TearDown() override {
    g_blastPool.Clear();
    for (CSpellDefinition& spell : g_spellDefs) spell = CSpellDefinition{};
    EffectTest::TearDown();
  }
  void Frame() {
    for (int i = 0; i < manager.Count(); ++i)
      if (manager.At(i)->active) manager.At(i)->Update();
  }
  int Active(int kind) {
    int n = 0;
    for (int i = 0; i < manager.Count(); ++i) n += manager.At(i)->active && manager.At(i)->kind == kind;
    return n;
  }
};

TEST_F(BlastPicture, ABlastsWaveAndASummoningFlashOverTheMap) {
  world.Place(1, 2, 2, 0).localPlayers = true;
  // The blast on the grass: its wave waits by distance, then flares outward.
  CBlast* blast = g_blastPool.FindFree();
  ASSERT_NE(blast, nullptr);
  CEffectParams blastBlock;
  blastBlock[w::kCreature] = 1;
  blast->Set(26, 26, 0, 60, 10, 1, 0, blastBlock);
  blast->Release();
  const int wave = Active(44);
  EXPECT_GT(wave, 20);
  for (int f = 0; f < 3; ++f) Frame();
  EXPECT_GT(Active(45), 0);  // the inner cells flare while the outer ones still wait
  EXPECT_GT(Active(44), 0);

  // A summoned creature's appearing flash beside it.
  g_spellDefs[8].Alignment = kAlignLaw;
  CEffectParams summon = At(31 * 32 + 16, 24 * 32 + 16, 0);
  summon[w::kCreature] = 1;
  summon[w::kSpell] = 8;
  ASSERT_NE(Start(8, summon), nullptr);
  Frame();

  const std::vector<uint16_t> pixels = DrawMapView(28, 25, 1);
  const std::string path = WriteMapViewPng("blast-and-summoning.png", pixels);
  EXPECT_FALSE(path.empty());
  std::printf("blast picture: %s\n", path.c_str());
  EXPECT_GT(std::set<uint16_t>(pixels.begin(), pixels.end()).size(), 30u);
}

}  // namespace
}  // namespace magic_test
