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

TEST(ArmyWindow, EveryTypeAndWizardLookOnTheScreenInEveryRotation) {
  const char* display = e2e::VirtualDisplay();
  if (!display) GTEST_SKIP() << "no virtual X display (VRASK_X_DISPLAY)";
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
  ASSERT_NO_FATAL_FAILURE(scene.ShootEveryRotation("army-screen", "army screenshot", "the army", screens));
  e2e::ExpectLitAndDistinct(screens);
  army.Remove(g_map);
}

}  // namespace
