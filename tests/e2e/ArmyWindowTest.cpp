// A mixed army of every creature type and wizard look on the battle map in a real window on
// the virtual X display: drawn by the map view into the back buffer in each rotation and
// presented; the screenshots go to the test output folder and must show the map with the
// army on it, a different picture in each rotation.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "MapWindow.h"
#include "XScreen.h"
#include "map/MapView.h"
#include "map/MapViewHooks.h"
#include "support/ArmyOnMap.h"
#include "support/Png.h"
#include "support/TestSupport.h"

namespace {

using e2e::MapWindow;
using e2e::WindowPixels;

TEST(ArmyWindow, EveryTypeAndWizardLookOnTheScreenInEveryRotation) {
  const char* display = std::getenv("VRASK_X_DISPLAY");
  if (!display || !*display) GTEST_SKIP() << "no virtual X display (VRASK_X_DISPLAY)";
  MapWindow scene(display);
  ASSERT_TRUE(scene.ready);
  testing_support::ArmyOnMap army;
  ASSERT_TRUE(army.Load());
  const int cx = g_map.width / 2 + 7, cy = g_map.height / 2 - 5;
  ASSERT_EQ(army.Place(g_map, cx, cy), static_cast<int>(army.figures.size()));
  int level = 0;
  for (const auto& figure : army.figures) level = std::max(level, figure.level);
  MapViewHooksScope hooks(MapViewHooks{&army, g_mapViewHooks.world, g_mapViewHooks.battle, g_mapViewHooks.commands});
  g_mapView.SetCameraCell(cx, cy, level);
  std::vector<std::vector<uint8_t>> screens;
  for (int rotation = 0; rotation < 4; ++rotation) {
    // Two frames: the water moves what the frame before left in the back buffer.
    g_mapView.Update();
    g_mapView.Update();
    e2e::Screenshot shot;
    ASSERT_TRUE(scene.ShowAndShoot(shot)) << "the window never showed the army in rotation " << rotation;
    screens.push_back(WindowPixels(shot));
    const std::string path = testing_support::TestOutputDir() + "/army-screen-" + std::to_string(rotation) + ".png";
    EXPECT_TRUE(testing_support::WritePng(path, 800, 600, screens.back()));
    std::printf("army screenshot: %s\n", path.c_str());
    g_mapView.RequestTurnRight();
  }
  for (const std::vector<uint8_t>& screen : screens) {
    size_t lit = 0;
    for (size_t i = 0; i + 2 < screen.size(); i += 3) lit += screen[i] + screen[i + 1] + screen[i + 2] > 60;
    EXPECT_GT(lit, 800u * 600u * 9 / 10);
  }
  for (size_t a = 0; a < screens.size(); ++a)
    for (size_t b = a + 1; b < screens.size(); ++b) EXPECT_NE(screens[a], screens[b]) << a << " and " << b;
  army.Remove(g_map);
}

}  // namespace
