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

// The middle of a lake: the first column with an open basin (a sand floor on the lowest
// level, no ground at the ground level) in every column within two cells of it.
CellPos LakeMiddle() {
  namespace t = forge::terrain;
  auto open = [](int x, int y) {
    return g_map.CellAt(x, y, 1).terrain == t::kSand && g_map.CellAt(x, y, 3).terrain == 0;
  };
  for (int y = 3; y < g_map.height - 3; ++y)
    for (int x = 3; x < g_map.width - 3; ++x) {
      bool all = true;
      for (int dy = -2; dy <= 2 && all; ++dy)
        for (int dx = -2; dx <= 2 && all; ++dx) all = open(x + dx, y + dy);
      if (all) return CellPos{x, y, 3};
    }
  return CellPos{-1, -1, -1};
}

// Pixels of a deep, dark blue round the middle of an 800 x 600 frame, where the lake lies:
// what earth looks like through the water. Grass, sand and the lit water are none of them.
int DarkBluePixels(const std::vector<uint16_t>& frame) {
  int count = 0;
  for (int y = 150; y < 500; ++y)
    for (int x = 100; x < 700; ++x) {
      const uint16_t p = frame[static_cast<size_t>(y) * 800 + x];
      const int r = (p >> 11) << 3, g = ((p >> 5) & 63) << 2, b = (p & 31) << 3;
      count += b > r + 8 && 3 * r + 6 * g + b < 900;
    }
  return count;
}

// A lake of the forged realm, drawn in two rotations: its banks below the water are lined
// with wet sand, so that the water's ripple, which shifts each row by up to 16 pixels, moves
// a gentle edge instead of cutting a dark jagged band of earth along the far banks.
TEST(MapViewForgedPicture, LakeBanksReadCleanlyThroughTheWater) {
  testing_support::ForgedDataCopy data;
  std::vector<uint8_t> file;
  ASSERT_TRUE(platform::ReadWholeFile("maps/moorland/terrain.ttd", file));
  ASSERT_TRUE(g_terrainTypes.Assign(file.data() + 16, file.size() - 16));
  CellPos lake{-1, -1, -1};
  for (int seed = 2; seed < 40 && lake.x < 0; ++seed) {
    ASSERT_EQ(g_map.Build("realms\\moorland\\moorland.cfg", seed, 7), 1);
    lake = LakeMiddle();
  }
  ASSERT_GE(lake.x, 0) << "no seed gave a lake";
  g_map.SetWaterLevel(g_regionSettings.waterLevel);
  LightWholeMap(0);
  {
    ViewScene scene;
    ASSERT_TRUE(scene.ready);
    for (int rotation = 0; rotation < 2; ++rotation) {
      scene.Attach(rotation);
      g_mapView.SetCameraCell(lake.x, lake.y, lake.z);
      const std::vector<uint16_t> frame = scene.DrawFrame(2);
      const std::string path = testing_support::TestOutputDir() + "/mapview-lake-" + std::to_string(rotation) + ".png";
      EXPECT_TRUE(testing_support::WritePng565(path, 800, 600, frame));
      EXPECT_LT(DarkBluePixels(frame), 200) << "a dark band along the banks in rotation " << rotation;
    }
  }
  g_map.Clear();
  ResetMapTables();
  g_pathNetwork.Clear();
  g_terrainTypes.Clear();
  FreeDoorsConfig();
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
