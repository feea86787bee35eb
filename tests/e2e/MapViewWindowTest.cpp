// The battle map in a real window on the virtual X display: a map built from the forged
// realm's sections from a seed, drawn by the map view into the back buffer in each rotation
// and presented; the screenshots are written to the test output folder and must show the
// map: not blank, the frame that was drawn, and a different picture in each rotation.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

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

namespace {

intptr_t Proc(platform::WindowHandle w, unsigned m, uintptr_t wp, intptr_t lp) {
  return platform::DefaultWindowProc(w, m, wp, lp);
}

constexpr int kLeft = 100, kTop = 60;

// The window's part of a screenshot.
std::vector<uint8_t> WindowPixels(const e2e::Screenshot& shot) {
  std::vector<uint8_t> rgb;
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 800; ++x) rgb.insert(rgb.end(), shot.At(kLeft + x, kTop + y), shot.At(kLeft + x, kTop + y) + 3);
  return rgb;
}

std::vector<uint16_t> BackBufferPixels() {
  std::vector<uint16_t> out;
  uint16_t* pixels = g_backBuffer.Lock();
  if (!pixels) return out;
  for (int y = 0; y < 600; ++y) {
    const auto* row =
        reinterpret_cast<const uint16_t*>(reinterpret_cast<const uint8_t*>(pixels) + y * g_backBuffer.pitch);
    out.insert(out.end(), row, row + 800);
  }
  g_backBuffer.Unlock(pixels);
  return out;
}

TEST(MapViewWindow, AForgedMapInEveryRotationOnTheScreen) {
  const char* display = std::getenv("VRASK_X_DISPLAY");
  if (!display || !*display) GTEST_SKIP() << "no virtual X display (VRASK_X_DISPLAY)";
  setenv("DISPLAY", display, 1);
  setenv("SDL_VIDEODRIVER", "x11", 1);
  platform::SetMessageBoxesUseWindows(false);
  const std::string previous = platform::CurrentDirectory();
  ASSERT_TRUE(platform::ChangeDirectory(testing_support::ForgedDataDir()));

  platform::RegisterWindowClass("E2E_MAP_WINDOW", Proc);
  g_windowed = 1;
  g_prefs.isHighRes = 1;
  platform::WindowPlacement placement;
  placement.left = kLeft;
  placement.top = kTop;
  placement.clientWidth = 800;
  placement.clientHeight = 600;
  platform::WindowHandle window = platform::CreateAppWindow("E2E_MAP_WINDOW", "Realms of Vrask", placement);
  ASSERT_NE(window, nullptr);
  InitDisplay(window);
  InitSpriteWaveTable();

  std::vector<uint8_t> types;
  ASSERT_TRUE(platform::ReadWholeFile("maps/moorland/terrain.ttd", types));
  ASSERT_TRUE(g_terrainTypes.Assign(types.data() + 16, types.size() - 16));
  ASSERT_EQ(g_map.Build("realms\\moorland\\moorland.cfg", 1, 4242), 1);
  g_map.SetWaterLevel(g_regionSettings.waterLevel);
  g_map.ResetLight();
  std::fill(g_map.light[CMap::kLightShown].begin(), g_map.light[CMap::kLightShown].end(), int8_t{0});
  CSprite terrain;
  ASSERT_TRUE(terrain.Load("maps\\moorland\\terrain.spr", 256) && terrain.BuildColourTables(1, 256) &&
              terrain.BuildColourTables(8, 256) && terrain.BuildColourTables(9, 256));
  ASSERT_EQ(g_mapView.Attach(&g_map, &g_backBuffer, &terrain, platform::Rect{0, 0, 800, 600}, 1), 1);
  g_mapView.SetCameraCell(g_map.width / 2 + 7, g_map.height / 2 - 5, 3);

  testing_support::TempDir dir;
  std::vector<std::vector<uint8_t>> screens;
  for (int rotation = 0; rotation < 4; ++rotation) {
    // Two frames: the water moves what the frame before left in the back buffer.
    g_mapView.Update();
    g_mapView.Update();
    const std::vector<uint16_t> frame = BackBufferPixels();
    ASSERT_EQ(frame.size(), 800u * 600u);
    e2e::Screenshot shot;
    bool seen = false;
    // The window needs a moment to be mapped and drawn: present and look again a bounded
    // number of times, until the screen shows the frame.
    for (int attempt = 0; attempt < 20 && !seen; ++attempt) {
      platform::Message message;
      while (platform::PeekMessage(message, true)) platform::DispatchMessage(message);
      g_backBuffer.BlitTo(&g_primary, 0, 0);
      PresentDisplay();
      platform::SleepMs(150);
      ASSERT_TRUE(e2e::TakeScreenshot(display, dir.File("shot.ppm"), shot));
      if (shot.width < kLeft + 800 || shot.height < kTop + 600) continue;
      int matching = 0;
      for (int y = 0; y < 600; y += 37)
        for (int x = 0; x < 800; x += 41) {
          const uint16_t p = frame[static_cast<size_t>(y * 800 + x)];
          matching += e2e::Near(shot.At(kLeft + x, kTop + y), (p >> 11) << 3, ((p >> 5) & 63) << 2, (p & 31) << 3, 12);
        }
      seen = matching > 16 * 20 * 95 / 100;
    }
    ASSERT_TRUE(seen) << "the window never showed the map in rotation " << rotation;
    screens.push_back(WindowPixels(shot));
    const std::string path = testing_support::TestOutputDir() + "/mapview-screen-" + std::to_string(rotation) + ".png";
    EXPECT_TRUE(testing_support::WritePng(path, 800, 600, screens.back()));
    std::printf("map view screenshot: %s\n", path.c_str());
    g_mapView.RequestTurnRight();
  }
  for (const std::vector<uint8_t>& screen : screens) {
    size_t lit = 0;
    for (size_t i = 0; i + 2 < screen.size(); i += 3) lit += screen[i] + screen[i + 1] + screen[i + 2] > 60;
    EXPECT_GT(lit, 800u * 600u * 9 / 10);
  }
  for (size_t a = 0; a < screens.size(); ++a)
    for (size_t b = a + 1; b < screens.size(); ++b) EXPECT_NE(screens[a], screens[b]) << a << " and " << b;

  ResetMouseInput();
  g_mapView.SetMap(nullptr);
  g_mapView.drawSurface = nullptr;
  g_mapView.terrainSprites = nullptr;
  g_mapView.drawList.SetOcclusionFrames(nullptr);
  g_map.Clear();
  g_pathNetwork.Clear();
  g_terrainTypes.Clear();
  FreeDoorsConfig();
  platform::ChangeDirectory(previous);
  // Video stays up: the X libraries keep some of their state to the end of the process.
  platform::DestroyAppWindow(window);
}

}  // namespace
