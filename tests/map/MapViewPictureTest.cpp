// Pictures a person looks at to judge the map: the hand-made landscape drawn by the real
// renderer at 800 x 600 in each rotation, written to the test output folder.
#include <algorithm>
#include <cstdio>
#include <set>

#include "MapViewFixtures.h"
#include "map/Doors.h"
#include "map/PathNetwork.h"
#include "map/RegionSettings.h"
#include "platform/Files.h"
#include "support/Png.h"
#include "support/TestSupport.h"

namespace map_test {
namespace {

class MapViewPicture : public MapTest {};

TEST_F(MapViewPicture, HandMadeLandscapeInEveryRotation) {
  BuildLandscape();
  ViewScene scene;
  ASSERT_TRUE(scene.ready);
  std::vector<std::vector<uint16_t>> frames;
  for (int rotation = 0; rotation < 4; ++rotation) {
    scene.Attach(rotation);
    g_mapView.SetCameraCell(12, 12, 2);
    frames.push_back(scene.DrawFrame(2));
    const std::string path =
        testing_support::TestOutputDir() + "/mapview-landscape-" + std::to_string(rotation) + ".png";
    EXPECT_TRUE(testing_support::WritePng565(path, 800, 600, frames.back()));
    std::printf("map view picture: %s\n", path.c_str());
  }
  // Not blank: most of the view is drawn, in many colours; and each rotation shows its own
  // picture.
  for (const std::vector<uint16_t>& frame : frames) {
    ASSERT_EQ(frame.size(), 800u * 600u);
    EXPECT_GT(std::count_if(frame.begin(), frame.end(), [](uint16_t p) { return p != 0; }), 800 * 600 * 9 / 10);
    EXPECT_GT(std::set<uint16_t>(frame.begin(), frame.end()).size(), 20u);
  }
  for (size_t a = 0; a < frames.size(); ++a)
    for (size_t b = a + 1; b < frames.size(); ++b) EXPECT_NE(frames[a], frames[b]) << a << " and " << b;
}

// The middle of the section with the most to see: the most cells of other terrain than
// plain ground.
CellPos BusiestSection() {
  namespace t = forge::terrain;
  CellPos best{g_map.width / 2, g_map.height / 2, 3};
  int bestCount = -1;
  const int size = g_map.sectionSize > 0 ? g_map.sectionSize : 20;
  for (int sy = 0; sy + size <= g_map.height; sy += size)
    for (int sx = 0; sx + size <= g_map.width; sx += size) {
      int count = 0;
      for (int z = 0; z < g_map.levels; ++z)
        for (int y = sy; y < sy + size; ++y)
          for (int x = sx; x < sx + size; ++x) {
            const int type = g_map.CellAt(x, y, z).terrain;
            count += type != 0 && type != t::kGrass && type != t::kEarth && type != t::kRock;
          }
      if (count > bestCount) {
        bestCount = count;
        best = CellPos{sx + size / 2, sy + size / 2, 3};
      }
    }
  return best;
}

// A battle map built from the forged realm's sections from a seed: the picture a person looks
// at to judge what a battle looks like.
TEST(MapViewForgedPicture, AMapBuiltFromASeedInEveryRotation) {
  testing_support::ForgedDataCopy data;  // building the map writes its logs here
  std::vector<uint8_t> file;
  ASSERT_TRUE(platform::ReadWholeFile("maps/moorland/terrain.ttd", file));
  ASSERT_TRUE(g_terrainTypes.Assign(file.data() + 16, file.size() - 16));
  ASSERT_EQ(g_map.Build("realms\\moorland\\moorland.cfg", 2, 7), 1);
  g_map.SetWaterLevel(g_regionSettings.waterLevel);
  LightWholeMap(0);
  {
    ViewScene scene;
    ASSERT_TRUE(scene.ready);
    std::vector<std::vector<uint16_t>> frames;
    const CellPos camera = BusiestSection();
    for (int rotation = 0; rotation < 4; ++rotation) {
      scene.Attach(rotation);
      g_mapView.SetCameraCell(camera.x, camera.y, camera.z);
      frames.push_back(scene.DrawFrame(2));
      const std::string path =
          testing_support::TestOutputDir() + "/mapview-forged-" + std::to_string(rotation) + ".png";
      EXPECT_TRUE(testing_support::WritePng565(path, 800, 600, frames.back()));
      std::printf("map view picture: %s\n", path.c_str());
    }
    for (const std::vector<uint16_t>& frame : frames) {
      EXPECT_GT(std::count_if(frame.begin(), frame.end(), [](uint16_t p) { return p != 0; }), 800 * 600 * 9 / 10);
      EXPECT_GT(std::set<uint16_t>(frame.begin(), frame.end()).size(), 20u);
    }
    for (size_t a = 0; a < frames.size(); ++a)
      for (size_t b = a + 1; b < frames.size(); ++b) EXPECT_NE(frames[a], frames[b]) << a << " and " << b;
  }
  g_map.Clear();
  ResetMapTables();
  g_pathNetwork.Clear();
  g_terrainTypes.Clear();
  FreeDoorsConfig();
}

}  // namespace
}  // namespace map_test
