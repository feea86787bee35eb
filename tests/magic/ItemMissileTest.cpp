// The wand (world-object kind 10) on the forged field with the real effects: used, it flies at
// the nearest enemy it can see within its range, hurts it by the wand's value and lies at its
// feet; an enemy beyond the range is left alone.
#include <gtest/gtest.h>

#include "CastWorld.h"
#include "creatures/Artifact.h"
#include "creatures/MapObject.h"
#include "magic/CreatureEffectAnswers.h"

namespace magic_test {
namespace {

constexpr int kWand = 10, kThrownItem = 57, kSturdy = 4;

class ItemMissile : public CastWorld {
 protected:
  void SetUp() override {
    CastWorld::SetUp();
    InstallCreatureEffectAnswers();
    InstallMapObjects();
    ASSERT_EQ(g_mapObjects.LoadTypes("cfg\\objects.cfg"), 1);
    g_mapObjects.Reset();
  }
  void TearDown() override {
    g_mapObjects.Reset();
    g_mapObjects.LoadTypes("no objects.cfg");
    g_creatureEffects.Install(nullptr);
    CastWorld::TearDown();
  }
  // Runs the effects until none is left of the kind; answers the frames it took.
  int RunOut(int kind) {
    for (int frame = 1; frame <= 400; ++frame) {
      bool left = false;
      for (int i = 0; i < g_effectManager.Count(); ++i)
        if (Effect(i).active) {
          Effect(i).Update();
          left = left || (Effect(i).active && Effect(i).kind == kind);
        }
      if (!left) return frame;
    }
    return -1;
  }
};

TEST_F(ItemMissile, TheWandHitsTheNearestEnemyInItsRangeAndLiesAtItsFeet) {
  const CMapObjectType& wand = *g_mapObjects.Type(kWand);
  const int range = wand.Data2;
  ASSERT_GT(range, 3);
  EXPECT_GE(wand.Data1 + 1, range) << "the wand must fly as far as it looks";
  const int wizard = PlaceWizard(0, 6, 20, 0);
  const int near = Place(kSturdy, 1, 6 + range - 1, 20);
  const int far = Place(kSturdy, 1, 6 + range + 3, 22);
  for (int slot : {wizard, near, far}) SeenByAll(slot);
  const int health = C(near).health, farHealth = C(far).health;

  ASSERT_EQ(FireItemMissile(C(wizard), range), 1);
  ASSERT_GT(RunOut(kThrownItem), 0) << "the wand never came down";
  EXPECT_EQ(C(near).health, health - wand.Data2);
  EXPECT_EQ(C(far).health, farHealth);
  bool lies = false;
  for (int slot = 0; slot < g_mapObjects.highWater; ++slot) {
    const CMapObject* object = g_mapObjects.InUse(slot);
    lies = lies || (object && object->kind == kWand && object->cellX == C(near).cellX && object->cellY == 20);
  }
  EXPECT_TRUE(lies);

  // Out of its range nobody is aimed at.
  C(near).Detach();
  EXPECT_EQ(FireItemMissile(C(wizard), range), 0);
}

}  // namespace
}  // namespace magic_test
