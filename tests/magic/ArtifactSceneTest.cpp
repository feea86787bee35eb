// World objects end to end on a small forged map, with the real effects: a hurt dog eats an
// apple (the heal stops at its maximum), the wizard takes a mana sprite, a brownie carries a
// healing potion to the wizard and opens a chest, and the wizard drinks the potion and draws
// on the mana. The map view draws the objects where they lie; the picture goes to the test
// output.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CastWorld.h"
#include "core/Preferences.h"
#include "core/Random.h"
#include "creatures/Artifact.h"
#include "creatures/CreatureSurroundings.h"
#include "creatures/MapObject.h"
#include "magic/CreatureEffectAnswers.h"
#include "magic/MagicHooks.h"
#include "magic/ParticleManager.h"
#include "map/MapUnits.h"
#include "map/MapView.h"
#include "map/MapViewHooks.h"
#include "map/TerrainType.h"
#include "support/CreatureField.h"
#include "support/MapViewCanvas.h"
#include "support/Png.h"
#include "support/TestSupport.h"

namespace magic_test {
namespace {

constexpr int kBrownie = 1, kBlackDog = 8;
constexpr int kChestBody = 205, kChestLid = 201;  // the forged chest north of its object's cell

struct PoolPlaces : IMapCreatures {
  int NextInUse(int after) override {
    for (int slot = after + 1; slot < g_creatureArray.highWater; ++slot)
      if (g_creatureArray.InUse(slot)) return slot;
    return -1;
  }
};

class ArtifactScene : public CastWorld {
 protected:
  void SetUp() override {
    CastWorld::SetUp();
    // The picture's sparks draw from the cosmetic generator: seeded here, the
    // picture is the same whichever tests ran before it.
    g_viewRandom.Seed(CRandom::kDefaultSeed);
    InstallCreatureEffectAnswers();
    InstallMapObjects();
    ASSERT_EQ(g_mapObjects.LoadTypes("cfg\\objects.cfg"), 1);
    g_mapObjects.Reset();
  }
  void TearDown() override {
    g_mapObjects.Reset();
    g_mapObjects.LoadTypes("no objects.cfg");
    g_creatureEffects.Install(nullptr);
    g_creatureSurroundings.Install(nullptr);
    CastWorld::TearDown();
  }
  CMapObject& Put(int kind, int x, int y, int amount = -1) {
    CMapObject* object = CreateMapObject(kind, x, y, 0);
    EXPECT_NE(object, nullptr);
    if (amount >= 0) object->data[0] = amount;
    return *object;
  }
  // One battle frame of what the scene needs: every effect, then the objects' animations.
  void Frames(int n) {
    for (int f = 0; f < n; ++f) {
      for (int i = 0; i < g_effectManager.Count(); ++i)
        if (Effect(i).active) Effect(i).Update();
      g_mapObjects.UpdateAnims();
    }
  }
  // The creature steps cell by cell (x first, then y), meeting what lies in each cell, with
  // a few frames for each step.
  void WalkTo(int slot, int x, int y) {
    CCreature& c = C(slot);
    while (c.cellX != x || c.cellY != y) {
      const int nx = c.cellX + (x > c.cellX) - (x < c.cellX);
      const int ny = c.cellX == x ? c.cellY + (y > c.cellY) - (y < c.cellY) : c.cellY;
      c.Relocate(nx, ny, c.level);
      Frames(4);
    }
  }
  int EventOf(int slot, int kind) {
    for (int i = 0; i < kCreatureEvents; ++i)
      if (C(slot).events[i].active && C(slot).events[i].kind == kind) return i;
    return -1;
  }
  std::vector<uint16_t> Picture(const std::string& name) {
    testing_support::PoolView view;
    PoolPlaces places;
    CEffectViewHooks world;
    MapViewHooks viewHooks = g_mapViewHooks;
    viewHooks.creatures = &view;
    viewHooks.world = &world;
    MapViewHooksScope viewScope(viewHooks);
    MapHooks mapHooks = g_mapHooks;
    mapHooks.creatures = &places;
    MapHooksScope mapScope(mapHooks);
    g_prefs.isHighRes = 1;
    g_map.ResetLight();
    std::fill(g_map.light[CMap::kLightShown].begin(), g_map.light[CMap::kLightShown].end(), int8_t{0});
    std::vector<uint16_t> out;
    {
      testing_support::MapViewCanvas canvas;
      EXPECT_TRUE(canvas.ready);
      out = canvas.Draw(0, 14, 12, 0);
    }
    const std::string path = testing_support::TestOutputDir() + "/" + name;
    EXPECT_TRUE(testing_support::WritePng565(path, 800, 600, out));
    std::printf("artifact scene: %s\n", path.c_str());
    return out;
  }
};

TEST_F(ArtifactScene, CreaturesMeetObjectsAndTheWizardUsesWhatWasBrought) {
  const int wizard = PlaceWizard(0, 10, 10, 0);
  C(wizard).health = C(wizard).GetMaxHealth() - 60;
  const int dog = Place(kBlackDog, 0, 10, 13);
  C(dog).health = C(dog).GetMaxHealth() - 5;
  const int brownie = Place(kBrownie, 0, 16, 13);
  CMapObject& apple = Put(0, 10, 15, 10);
  CMapObject& sprite = Put(19, 12, 10);
  CMapObject& potion = Put(3, 16, 11);
  CMapObject& chest = Put(50, 18, 13);
  chest.data[0] = 7;
  chest.data[1] = -1;
  g_map.CellAt(18, 12, 0).terrain = kChestBody;
  g_map.CellAt(18, 12, 1).terrain = kChestLid;
  Put(100, 13, 14);  // a magic item with its glow
  g_map.manaSpriteCount = 1;

  // Every object shows a picture where it lies but the chest, which its terrain draws.
  for (int slot = 0; slot < g_mapObjects.highWater; ++slot) {
    ObjectDrawInfo info;
    ASSERT_TRUE(GetMapObjectDrawInfo(slot, info));
    EXPECT_EQ(static_cast<bool>(info.picture.frame), g_mapObjects.At(slot)->kind != 50) << slot;
  }
  const std::vector<uint16_t> before = Picture("artifact-scene.png");

  // The dog eats: 5 short of its maximum, an apple of 10 fills it exactly.
  WalkTo(dog, 10, 15);
  Frames(40);
  EXPECT_EQ(apple.inUse, 0);
  EXPECT_EQ(C(dog).health, C(dog).GetMaxHealth());

  // The wizard takes the mana sprite, which plays its last animation and goes.
  WalkTo(wizard, 12, 10);
  EXPECT_GE(EventOf(wizard, 19), 0);
  EXPECT_EQ(g_map.manaSpriteCount, 0);
  Frames(40);
  EXPECT_EQ(sprite.inUse, 0);

  // The brownie picks the potion up for its wizard, then opens the chest.
  WalkTo(brownie, 16, 11);
  EXPECT_EQ(potion.inUse, 0);
  Frames(200);
  WalkTo(brownie, 18, 13);
  EXPECT_EQ(chest.data[0], -1);
  Frames(200);
  const int potionEvent = EventOf(wizard, 3);
  ASSERT_GE(potionEvent, 0) << "the potion reached the wizard";

  // The wizard drinks it and draws on the mana.
  const int hurt = C(wizard).health;
  C(wizard).ProcessEventAt(potionEvent);
  Frames(60);
  EXPECT_GT(C(wizard).health, hurt);
  EXPECT_LT(EventOf(wizard, 3), 0);
  const int mana = C(wizard).mana;
  ProcessItemEvent(C(wizard));
  EXPECT_EQ(C(wizard).mana, mana + g_mapObjects.Type(19)->Data1 * 256);
  Picture("artifact-scene-after.png");
}

// A sceptre's subversion shows its sparks round the creature it took, for the army that sees
// it: 6 x (1 x (1 + 1) + 1) for a one-tile brownie of height 1.
TEST_F(ArtifactScene, AnItemsSubversionShowsItsSparks) {
  const int wizard = PlaceWizard(0, 10, 10, 0);
  C(wizard).magicResistance = 0;
  const int foe = Place(kBrownie, 1, 11, 10);
  SeenByAll(foe);
  g_particleManager.Clear();
  SubvertInRange(C(wizard), 5, 100);
  EXPECT_EQ(C(foe).army, 0);
  EXPECT_EQ(g_particleManager.Count(), 6 * (C(foe).type->TileSizeXY * (C(foe).type->TileHeight + 1) + 1));
}

}  // namespace
}  // namespace magic_test
