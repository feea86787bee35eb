// The picture a person looks at to judge the creatures on the map: every forged creature type
// placed by InitFromType on a battle map built from the forged realm, drawn by the real map
// view through the creatures' own hooks, lit by the sight of the player's army.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <vector>

#include "ForgedMapScene.h"
#include "core/Preferences.h"
#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "map/MapView.h"
#include "map/MapViewHooks.h"
#include "support/CreatureField.h"
#include "support/MapViewCanvas.h"
#include "support/Png.h"
#include "support/TestSupport.h"

namespace {

constexpr int kWidth = 800, kHeight = 600;

using testing_support::StandingLevel;

// The scene built, the player's army and a hostile one whose creatures stand in the dark
// beyond.
class CreaturePicture : public creature_test::ForgedMapScene {};

TEST_F(CreaturePicture, EveryForgedTypeStandsOnAForgedMapLitByItsSight) {
  // Every type, seven to a row across the screen and four rows down it, around the middle of
  // the map; the last row belongs to the enemy.
  const int cx = g_map.width / 2, cy = g_map.height / 2;
  int placed = 0;
  for (int type = 0; type < kCreatureTypes; ++type) {
    SCOPED_TRACE(type);
    if (IsWizardType(type))
      std::snprintf(g_wizardAnimFileName, sizeof g_wizardAnimFileName, "%s",
                    g_wizardAnimFiles[0][1 + TypeToWizardNumber(type) % 6]);
    const int column = type % 7 - 3, row = type / 7 - 2;
    int x = cx + 2 * column + 3 * row, y = cy - 2 * column + 3 * row;
    int level = StandingLevel(type, x, y);
    for (int tries = 0; level < 0 && tries < 8; ++tries) level = StandingLevel(type, ++x, y);
    ASSERT_GE(level, 0);
    CCreature* creature = g_creatureArray.FindFree();
    ASSERT_NE(creature, nullptr);
    creature->SetPosition(x, y, level, type);
    creature->InitFromType(type, type >= 21 ? 2 : 1);
    creature->SetFacing((3 + type) & 7);
    ++placed;
  }
  EXPECT_EQ(placed, kCreatureTypes);

  // The light: what the player's creatures see is lit, the rest stays dark (the ramp of the
  // forged options).
  g_lightRamp = 16;
  g_map.ResetLight();
  g_map.RequestFullVisibilityRefresh();
  for (int frame = 0; frame < 16; ++frame) g_map.UpdateVisibility();

  testing_support::MapViewCanvas canvas(kWidth, kHeight, "maps/moorland/terrain.spr");
  ASSERT_TRUE(canvas.ready);
  g_prefs.isHighRes = 1;

  std::vector<std::vector<uint16_t>> frames;
  for (int rotation : {0, 2}) {
    const std::vector<uint16_t> pixels = canvas.Draw(rotation, cx - 1, cy - 1, 4, 2);
    ASSERT_EQ(pixels.size(), static_cast<size_t>(kWidth) * kHeight);
    const std::string path =
        testing_support::TestOutputDir() + "/creatures-on-map-" + std::to_string(rotation) + ".png";
    EXPECT_TRUE(testing_support::WritePng565(path, kWidth, kHeight, pixels));
    std::printf("creature picture: %s\n", path.c_str());
    frames.push_back(pixels);
  }
  for (const auto& frame : frames) EXPECT_GT(std::set<uint16_t>(frame.begin(), frame.end()).size(), 40u);
  EXPECT_NE(frames[0], frames[1]);

  // The creatures' cells hold them, and each one's body has a frame to draw.
  g_creatureArray.ForEachInUse([](CCreature& creature) {
    EXPECT_EQ(g_map.CellAt(creature.cellX, creature.cellY, creature.level).occupant, creature.index);
    CreatureDrawInfo info;
    EXPECT_TRUE(g_mapViewHooks.creatures->GetDrawInfo(creature.index, 0, info));
    EXPECT_TRUE(static_cast<bool>(info.body.frame)) << creature.typeNumber;
  });
}

}  // namespace
