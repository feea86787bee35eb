// The battle map in a real window on the virtual X display: a map built from the forged
// realm's sections from a seed, drawn by the map view into the back buffer in each rotation
// and presented; the screenshots are written to the test output folder and must show the
// map: not blank, the frame that was drawn, and a different picture in each rotation.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "MapWindow.h"
#include "XScreen.h"
#include "core/Options.h"
#include "core/Preferences.h"
#include "graphics/Display.h"
#include "graphics/PrintTarget.h"
#include "graphics/Sprite.h"
#include "graphics/Surface.h"
#include "map/Doors.h"
#include "map/Map.h"
#include "map/MapView.h"
#include "map/PathNetwork.h"
#include "map/RegionSettings.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/Window.h"
#include "support/Png.h"
#include "support/TestSupport.h"
#include "ui/SharedArt.h"
#include "ui/SpeechCtrl.h"

namespace {

using e2e::kLeft;
using e2e::kTop;
using e2e::MapWindow;

TEST(MapViewWindow, AForgedMapInEveryRotationOnTheScreen) {
  const char* display = e2e::VirtualDisplay();
  if (!display) GTEST_SKIP() << "no virtual X display (VRASK_X_DISPLAY)";
  MapWindow scene(display);
  ASSERT_TRUE(scene.ready);
  g_mapView.SetCameraCell(g_map.width / 2 + 7, g_map.height / 2 - 5, 3);
  std::vector<std::vector<uint8_t>> screens;
  ASSERT_NO_FATAL_FAILURE(scene.ShootEveryRotation("mapview-screen", "map view screenshot", "the map", screens));
  e2e::ExpectLitAndDistinct(screens);
}

// A speaker on the map says something: the camera glides to it and a speech box with its
// forged portrait stands over the drawn map, its pointer on the speaker.
TEST(MapViewWindow, ASpeechBoxWithAPortraitOverTheMap) {
  const char* display = e2e::VirtualDisplay();
  if (!display) GTEST_SKIP() << "no virtual X display (VRASK_X_DISPLAY)";
  MapWindow scene(display);
  ASSERT_TRUE(scene.ready);
  LoadSharedFontsAndButtons();
  g_speechCtrl.LoadConfig();
  g_mapView.SetCameraCell(g_map.width / 2, g_map.height / 2, 3);
  SpeechRequest request;
  request.x = (g_map.width / 2 + 14) * 32 + 16;
  request.y = (g_map.height / 2 + 3) * 32 + 16;
  request.level = 3 * 16;
  request.heading = "Redcap";
  request.text = "The river is rising. Take the ford now, or we shall be cut off until nightfall.";
  request.portrait = "Redcap portrait";
  g_speechCtrl.Say(request, false, true);
  for (int frame = 0; frame < 300 && !g_speechCtrl.Box(); ++frame) {
    g_speechCtrl.Tick();
    g_mapView.Update();
  }
  ASSERT_NE(g_speechCtrl.Box(), nullptr);
  g_mapView.Update();
  g_mapView.Update();
  g_speechCtrl.Draw(&g_backBuffer);
  e2e::Screenshot shot;
  ASSERT_TRUE(scene.ShowAndShoot(shot)) << "the window never showed the speech box";
  e2e::KeepScreen(shot, "mapview-speech.png", "speech box screenshot");

  // The box stands inside the screen, its parchment under its middle, the portrait's red cap
  // in its frame.
  const CSpeechBox& box = *g_speechCtrl.Box();
  const int left = box.boxSurface.x, top = box.boxSurface.y;
  ASSERT_GE(left, 0);
  ASSERT_GE(top, 0);
  ASSERT_LE(left + box.boxSurface.width, 800);
  ASSERT_LE(top + box.boxSurface.height, 600);
  const CSpeechBoxLayout& layout = *SpeechBoxLayout(box.LayoutNumber());
  const unsigned char* parchment = shot.At(kLeft + left + layout.body[0] - 4, kTop + top + layout.body[3] - 4);
  EXPECT_GT(parchment[0], 150);
  EXPECT_GT(parchment[1], 130);
  int capRed = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 20; x < 60; ++x) {
      const unsigned char* p = shot.At(kLeft + left + layout.pictureX + x, kTop + top + layout.pictureY + y);
      capRed += p[0] > 140 && p[1] < 80 && p[2] < 80;
    }
  EXPECT_GT(capRed, 40);
  g_speechCtrl.Clear();
}

}  // namespace
