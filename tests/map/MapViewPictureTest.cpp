// Pictures a person looks at to judge the map: the hand-made landscape drawn by the real
// renderer at 800 x 600 in each rotation, written to the test output folder.
#include <algorithm>
#include <cstdio>
#include <set>

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
  // Not blank: most of the view is drawn, in many colours; and each rotation shows its own
  // picture.
  for (const std::vector<uint16_t>& frame : frames) {
    ASSERT_EQ(frame.size(), 800u * 600u);
    EXPECT_GT(std::count_if(frame.begin(), frame.end(), [](uint16_t p) { return p != 0; }), 800 * 600 * 9 / 10);
    EXPECT_GT(std::set<uint16_t>(frame.begin(), frame.end()).size(), 40u);
  }
  for (size_t a = 0; a < frames.size(); ++a)
    for (size_t b = a + 1; b < frames.size(); ++b) EXPECT_NE(frames[a], frames[b]) << a << " and " << b;
}

}  // namespace
}  // namespace map_test
