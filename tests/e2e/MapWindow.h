#pragma once
// A real window on the virtual X display showing the battle map: a map built from the forged
// realm's sections from a seed, drawn by the map view into the back buffer, presented until a
// screenshot shows it. Shared by the end-to-end tests that look at the battle on a screen.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
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
#include "ui/Flatwin.h"

namespace e2e {

inline intptr_t MapWindowProc(platform::WindowHandle w, unsigned m, uintptr_t wp, intptr_t lp) {
  return platform::DefaultWindowProc(w, m, wp, lp);
}

inline constexpr int kLeft = 100, kTop = 60;

// The virtual X display the window tests use; null when there is none, and the test skips.
inline const char* VirtualDisplay() {
  const char* display = std::getenv("VRASK_X_DISPLAY");
  return display && *display ? display : nullptr;
}

// The window's part of a screenshot.
inline std::vector<uint8_t> WindowPixels(const Screenshot& shot) {
  std::vector<uint8_t> rgb;
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 800; ++x) rgb.insert(rgb.end(), shot.At(kLeft + x, kTop + y), shot.At(kLeft + x, kTop + y) + 3);
  return rgb;
}

// The window's part of a screenshot, written to the test output folder under the name (the
// label says where, for a person to look); answers the pixels.
inline std::vector<uint8_t> KeepScreen(const Screenshot& shot, const std::string& name, const std::string& label) {
  std::vector<uint8_t> screen = WindowPixels(shot);
  const std::string path = testing_support::TestOutputDir() + "/" + name;
  EXPECT_TRUE(testing_support::WritePng(path, 800, 600, screen));
  std::printf("%s: %s\n", label.c_str(), path.c_str());
  return screen;
}

// Screens of the map: each one mostly lit, and no two alike.
inline void ExpectLitAndDistinct(const std::vector<std::vector<uint8_t>>& screens) {
  for (const std::vector<uint8_t>& screen : screens) {
    size_t lit = 0;
    for (size_t i = 0; i + 2 < screen.size(); i += 3) lit += screen[i] + screen[i + 1] + screen[i + 2] > 60;
    EXPECT_GT(lit, 800u * 600u * 9 / 10);
  }
  for (size_t a = 0; a < screens.size(); ++a)
    for (size_t b = a + 1; b < screens.size(); ++b) EXPECT_NE(screens[a], screens[b]) << a << " and " << b;
}

inline std::vector<uint16_t> BackBufferPixels() {
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

// A window of 800 x 600 on the virtual display showing the battle map of a forged map built
// from a seed, drawn by the map view into the back buffer.
struct MapWindow {
  explicit MapWindow(const char* display) : display(display) {
    setenv("DISPLAY", display, 1);
    setenv("SDL_VIDEODRIVER", "x11", 1);
    platform::SetMessageBoxesUseWindows(false);
    // Building the map writes its logs into the current directory: a copy of the data.
    data = std::make_unique<testing_support::ForgedDataCopy>();
    platform::RegisterWindowClass("E2E_MAP_WINDOW", MapWindowProc);
    g_windowed = 1;
    g_prefs.isHighRes = 1;
    platform::WindowPlacement placement;
    placement.left = kLeft;
    placement.top = kTop;
    placement.clientWidth = 800;
    placement.clientHeight = 600;
    window = platform::CreateAppWindow("E2E_MAP_WINDOW", "Realms of Vrask", placement);
    if (!window) return;
    InitDisplay(window);
    InitSpriteWaveTable();
    std::vector<uint8_t> types;
    if (!platform::ReadWholeFile("maps/moorland/terrain.ttd", types) ||
        !g_terrainTypes.Assign(types.data() + 16, types.size() - 16))
      return;
    if (g_map.Build("realms\\moorland\\moorland.cfg", 1, 4242) != 1) return;
    g_map.SetWaterLevel(g_regionSettings.waterLevel);
    g_map.ResetLight();
    std::fill(g_map.light[CMap::kLightShown].begin(), g_map.light[CMap::kLightShown].end(), int8_t{0});
    if (!terrain.Load("maps\\moorland\\terrain.spr", 256) || !terrain.BuildColourTables(1, 256) ||
        !terrain.BuildColourTables(8, 256) || !terrain.BuildColourTables(9, 256))
      return;
    ready = g_mapView.Attach(&g_map, &g_backBuffer, &terrain, platform::Rect{0, 0, 800, 600}, 1) == 1;
  }
  ~MapWindow() {
    ResetMouseInput();
    g_mapView.SetMap(nullptr);
    g_mapView.drawSurface = nullptr;
    g_mapView.terrainSprites = nullptr;
    g_mapView.drawList.SetOcclusionFrames(nullptr);
    g_map.Clear();
    g_pathNetwork.Clear();
    g_terrainTypes.Clear();
    FreeDoorsConfig();
    data.reset();
    // Video stays up: the X libraries keep some of their state to the end of the process.
    if (window) platform::DestroyAppWindow(window);
  }
  // Presents the back buffer until a screenshot shows it (a bounded number of tries).
  bool ShowAndShoot(Screenshot& shot) {
    const std::vector<uint16_t> frame = BackBufferPixels();
    if (frame.size() != 800u * 600u) return false;
    for (int attempt = 0; attempt < 20; ++attempt) {
      platform::Message message;
      while (platform::PeekMessage(message, true)) platform::DispatchMessage(message);
      g_backBuffer.BlitTo(&g_primary, 0, 0);
      PresentDisplay();
      platform::SleepMs(150);
      if (!TakeScreenshot(display, dir.File("shot.ppm"), shot)) return false;
      if (shot.width < kLeft + 800 || shot.height < kTop + 600) continue;
      int matching = 0;
      for (int y = 0; y < 600; y += 37)
        for (int x = 0; x < 800; x += 41) {
          const uint16_t p = frame[static_cast<size_t>(y * 800 + x)];
          matching += Near(shot.At(kLeft + x, kTop + y), (p >> 11) << 3, ((p >> 5) & 63) << 2, (p & 31) << 3, 12);
        }
      if (matching > 16 * 20 * 95 / 100) return true;
    }
    return false;
  }
  // The view in each of its four rotations, shown and shot: <name>-<rotation>.png in the test
  // output, the screens added to the list. Wrap in ASSERT_NO_FATAL_FAILURE.
  void ShootEveryRotation(const std::string& name, const std::string& label, const std::string& what,
                          std::vector<std::vector<uint8_t>>& screens) {
    for (int rotation = 0; rotation < 4; ++rotation) {
      // Two frames: the water moves what the frame before left in the back buffer.
      g_mapView.Update();
      g_mapView.Update();
      Screenshot shot;
      ASSERT_TRUE(ShowAndShoot(shot)) << "the window never showed " << what << " in rotation " << rotation;
      screens.push_back(KeepScreen(shot, name + "-" + std::to_string(rotation) + ".png", label));
      g_mapView.RequestTurnRight();
    }
  }
  std::string display;
  std::unique_ptr<testing_support::ForgedDataCopy> data;
  platform::WindowHandle window = nullptr;
  CSprite terrain;
  testing_support::TempDir dir;
  bool ready = false;
};

}  // namespace e2e
