// The picture a player reads a battle by: three armies on the forged moorland, each creature
// under its owner's gem; the player's selected group in its brackets with health gauges (one
// of them wounded) and its group number; a King under his crown; an enemy in the dark beyond
// the player's sight, without a gem. Drawn by the real map view through the creatures' hooks,
// at both resolutions and in two rotations.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "ForgedMapScene.h"
#include "core/Options.h"
#include "core/Preferences.h"
#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureHooks.h"
#include "creatures/CreatureMarks.h"
#include "graphics/Animation.h"
#include "graphics/Sprite.h"
#include "map/MapView.h"
#include "map/MapViewHooks.h"
#include "support/CreatureField.h"
#include "support/MapViewCanvas.h"
#include "support/Png.h"
#include "support/TestSupport.h"
#include "ui/ControlArt.h"

namespace {

using testing_support::StandingLevel;

constexpr int kBrownie = 1, kCentaur = 2, kElf = 3, kTroll = 21;

// The battle's sprites as it loads them, and its labels in the marker glyphs.
struct PictureBattle : ICreatureBattle, IMapViewBattle {
  PictureBattle() {
    markersLoaded = markers.Load("sprites\\markers.spr", 2);
    badge.SetSprite(&badgeSprite);
    badgeLoaded = badgeSprite.Load("sprites\\lordking.spr", 16) && badge.Load("sprites\\lordking.ani");
  }
  CSprite* MarkerSprite() override { return &markers; }
  CAnimation* RankBadgeAnimation() override { return &badge; }
  void DrawLabel(int x, int y, const char* text) override {
    for (const char* c = text; *c; ++c) {
      const int frame = *c - creature_marks::kFirstGlyphCode;
      PrintControlFrame(&markers, frame, x, y);
      x += ControlFrameWidth(&markers, frame) - 1;
    }
  }
  CSprite markers, badgeSprite;
  CAnimation badge;
  bool markersLoaded = false, badgeLoaded = false;
};

class CreatureMarksPicture : public creature_test::ForgedMapScene {
 protected:
  // A creature of a type for an army near a cell (the first standable cell along x).
  int Stand(int type, int army, int x, int y) {
    int level = StandingLevel(type, x, y);
    for (int tries = 0; level < 0 && tries < 8; ++tries) level = StandingLevel(type, ++x, y);
    EXPECT_GE(level, 0) << type << " at " << x << "," << y;
    if (level < 0) return -1;
    const int slot = testing_support::PlaceCreature(type, army, x, y, level);
    if (slot >= 0) g_creatureArray.At(slot)->SetFacing(3);
    return slot;
  }
  CCreature& C(int slot) { return *g_creatureArray.At(slot); }
};

TEST_F(CreatureMarksPicture, ThreeArmiesASelectedGroupAKingAndACreatureInTheDark) {
  PictureBattle battle;
  ASSERT_TRUE(battle.markersLoaded);
  ASSERT_TRUE(battle.badgeLoaded);
  HookScope<ICreatureBattle> battleScope(g_creatureBattle, battle);
  g_mapViewHooks.battle = &battle;
  for (int army : {1, 2, 3}) {
    g_armyTable.armies[army].inUse = 1;
    g_armyTable.armies[army].colour = army;
  }

  const int cx = g_map.width / 2, cy = g_map.height / 2;
  // The player's group of four, selected as group 2, one of them badly hurt.
  std::vector<int> group;
  for (int i = 0; i < 4; ++i) group.push_back(Stand(kElf, 1, cx - 2 + i, cy + 1));
  for (int slot : group) {
    ASSERT_GE(slot, 0);
    C(slot).Select();
    C(slot).group = 2;
  }
  C(group[1]).AdjustHealth(-C(group[1]).health * 2 / 3, -1, nullptr, 1);
  // The player's King.
  CCreatureType& trolls = g_creatureTypes[kTroll];
  trolls.LordExperienceLevel = 1;
  trolls.KingExperienceLevel = 2;
  const int king = Stand(kTroll, 1, cx + 3, cy - 2);
  ASSERT_GE(king, 0);
  C(king).AddExperience(5);
  C(king).AddExperience(5);
  ASSERT_EQ(C(king).rank, 2);
  // Two enemy armies close by, one creature of the first far off in the dark.
  std::vector<int> enemies;
  for (int i = 0; i < 3; ++i) enemies.push_back(Stand(kCentaur, 2, cx - 3 + 2 * i, cy - 3));
  for (int i = 0; i < 3; ++i) enemies.push_back(Stand(kBrownie, 3, cx + 2 + i, cy + 3));
  // The first enemy is inspected; the group attacks the second.
  C(enemies[0]).inspected = 1;
  for (int slot : group) {
    C(slot).target = enemies[1];
    C(slot).order = ORDER_ATTACK_CREATURE;
  }

  // The light: what the player's creatures see is lit, the rest stays dark.
  g_lightRamp = 16;
  g_map.ResetLight();
  g_map.RequestFullVisibilityRefresh();
  for (int frame = 0; frame < 16; ++frame) g_map.UpdateVisibility();
  // One more of the first enemy army in the view, standing in a shadow: its cell (and the
  // cells around it) dimmed below the indicators' level, yet not black.
  constexpr int kShadow = -72;
  const int inDark = Stand(kCentaur, 2, cx - 1, cy - 6);
  ASSERT_GE(inDark, 0);
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx)
      for (int level = 0; level < g_map.levels; ++level)
        g_map.light[CMap::kLightShown]
                   [static_cast<size_t>(g_map.LightIndex(C(inDark).cellX + dx, C(inDark).cellY + dy, level))] = kShadow;
  ASSERT_LT(g_map.LightAt(C(inDark).cellX, C(inDark).cellY, C(inDark).level), g_indicatorLightLevel);
  // The King's crown turns over a few frames.
  for (int frame = 0; frame < 6; ++frame) C(king).Update();

  std::vector<std::vector<uint16_t>> frames;
  for (bool highRes : {true, false}) {
    const int width = highRes ? 800 : 640, height = highRes ? 600 : 480;
    g_prefs.isHighRes = highRes ? 1 : 0;
    testing_support::MapViewCanvas canvas(width, height, "maps/moorland/terrain.spr");
    ASSERT_TRUE(canvas.ready);
    for (int rotation : {0, 1}) {
      const std::vector<uint16_t> pixels = canvas.Draw(rotation, cx, cy, 4, 2);
      ASSERT_EQ(pixels.size(), static_cast<size_t>(width) * height);
      const std::string path = testing_support::TestOutputDir() + "/creature-marks-" + std::to_string(width) + "-" +
                               std::to_string(rotation) + ".png";
      EXPECT_TRUE(testing_support::WritePng565(path, width, height, pixels));
      std::printf("creature marks picture: %s\n", path.c_str());
      frames.push_back(pixels);
    }
  }
  EXPECT_NE(frames[0], frames[1]);

  // What each creature wears, as the view got it.
  auto marks = [](int slot) {
    CreatureDrawInfo info;
    EXPECT_TRUE(g_mapViewHooks.creatures->GetDrawInfo(slot, 0, info));
    return info;
  };
  for (int slot : group) {
    const CreatureDrawInfo info = marks(slot);
    EXPECT_TRUE(info.showsStatus);
    EXPECT_NE(info.gauge, nullptr);
    EXPECT_STREQ(info.label, "2");
  }
  EXPECT_LT(C(group[1]).healthGauge.bar.fill, C(group[0]).healthGauge.bar.fill);
  EXPECT_TRUE(marks(king).attached[6].frame);
  EXPECT_TRUE(marks(enemies[1]).showsStatus);  // the target arrow
  EXPECT_NE(marks(enemies[0]).ownerMarker.frame.data, marks(enemies[3]).ownerMarker.frame.data);
  EXPECT_FALSE(ShowsOwnerMarker(marks(inDark), g_map.LightAt(C(inDark).cellX, C(inDark).cellY, C(inDark).level)));
  g_mapViewHooks.battle = DefaultMapViewHooks().battle;
}

}  // namespace
