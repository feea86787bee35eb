// The picture a person judges the creature art by in the game's own light: a mixed army of
// every creature type and wizard look on a battle map built from the forged realm's sections,
// drawn by the real map view in each of its four rotations. The figures must show (the
// picture with them differs from the map alone), and each rotation shows its own picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "core/Preferences.h"
#include "map/Doors.h"
#include "map/Map.h"
#include "map/MapView.h"
#include "map/PathNetwork.h"
#include "map/RegionSettings.h"
#include "map/TerrainType.h"
#include "platform/Files.h"
#include "support/ArmyOnMap.h"
#include "support/MapViewCanvas.h"
#include "support/Png.h"
#include "support/TestSupport.h"

namespace {

TEST(ArmyPicture, EveryTypeAndWizardLookOnAForgedMapInEveryRotation) {
  testing_support::ForgedDataCopy data;  // building the map writes its logs here
  std::vector<uint8_t> types;
  ASSERT_TRUE(platform::ReadWholeFile("maps/moorland/terrain.ttd", types));
  ASSERT_TRUE(g_terrainTypes.Assign(types.data() + 16, types.size() - 16));
  ASSERT_EQ(g_map.Build("realms\\moorland\\moorland.cfg", 1, 4242), 1);
  g_map.SetWaterLevel(g_regionSettings.waterLevel);
  g_map.ResetLight();
  std::fill(g_map.light[CMap::kLightShown].begin(), g_map.light[CMap::kLightShown].end(), int8_t{0});
  {
    testing_support::MapViewCanvas view;
    ASSERT_TRUE(view.ready);
    g_prefs.isHighRes = 1;
    testing_support::ArmyOnMap army;
    ASSERT_TRUE(army.Load());
    const int cx = g_map.width / 2 + 7, cy = g_map.height / 2 - 5;
    const int placed = army.Place(g_map, cx, cy);
    EXPECT_EQ(placed, static_cast<int>(army.figures.size()));
    int cameraLevel = 0;
    for (const auto& figure : army.figures) cameraLevel = std::max(cameraLevel, figure.level);

    std::vector<std::vector<uint16_t>> frames, bare;
    {
      MapViewHooksScope hooks(
          MapViewHooks{&army, g_mapViewHooks.world, g_mapViewHooks.battle, g_mapViewHooks.commands});
      for (int rotation = 0; rotation < 4; ++rotation) {
        // Two frames: the water printer moves what the frame before left on the surface.
        frames.push_back(view.Draw(rotation, cx, cy, cameraLevel, 2));
        const std::string path = testing_support::TestOutputDir() + "/army-" + std::to_string(rotation) + ".png";
        EXPECT_TRUE(testing_support::WritePng565(path, 800, 600, frames.back()));
        std::printf("army picture: %s\n", path.c_str());
      }
    }
    army.Remove(g_map);
    for (int rotation = 0; rotation < 4; ++rotation) bare.push_back(view.Draw(rotation, cx, cy, cameraLevel, 2));

    for (size_t r = 0; r < frames.size(); ++r) {
      SCOPED_TRACE(r);
      const std::vector<uint16_t>& frame = frames[r];
      ASSERT_EQ(frame.size(), 800u * 600u);
      EXPECT_GT(std::count_if(frame.begin(), frame.end(), [](uint16_t p) { return p != 0; }), 800 * 600 * 9 / 10);
      EXPECT_GT(std::set<uint16_t>(frame.begin(), frame.end()).size(), 100u);
      // Thirty figures cover some thousands of pixels of the map.
      size_t changed = 0;
      for (size_t i = 0; i < frame.size(); ++i) changed += frame[i] != bare[r][i];
      EXPECT_GT(changed, 30u * 300u);
    }
    for (size_t a = 0; a < frames.size(); ++a)
      for (size_t b = a + 1; b < frames.size(); ++b) EXPECT_NE(frames[a], frames[b]) << a << " and " << b;
  }
  g_map.Clear();
  g_pathNetwork.Clear();
  g_terrainTypes.Clear();
  FreeDoorsConfig();
}

}  // namespace
