// Pictures a person looks at to judge the map: the hand-made landscape drawn by the real
// renderer at 800 x 600 in each rotation, written to the test output folder.
#include <cstdio>

#include "MapViewFixtures.h"
#include "support/Png.h"

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
    frames.push_back(scene.DrawFrame());
    const std::string path =
        testing_support::TestOutputDir() + "/mapview-landscape-" + std::to_string(rotation) + ".png";
    EXPECT_TRUE(testing_support::WritePng565(path, 800, 600, frames.back()));
    std::printf("map view picture: %s\n", path.c_str());
  }
}

}  // namespace
}  // namespace map_test
