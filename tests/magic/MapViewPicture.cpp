#include "MapViewPicture.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/Preferences.h"
#include "graphics/PrintTarget.h"
#include "graphics/Sprite.h"
#include "graphics/Surface.h"
#include "magic/MagicHooks.h"
#include "map/Map.h"
#include "map/MapView.h"
#include "map/MapViewHooks.h"
#include "support/Png.h"
#include "support/TestSupport.h"
#include "ui/Flatwin.h"

namespace magic_test {

namespace {
constexpr int kWidth = 800, kHeight = 600;
}  // namespace

std::vector<uint16_t> DrawMapView(int cameraX, int cameraY, int cameraLevel) {
  std::vector<uint16_t> pixels;
  CSprite terrain;
  const std::string sprite = testing_support::ForgedDataDir() + "/maps/moorland/terrain.spr";
  if (!(terrain.Load(sprite.c_str(), 256) && terrain.BuildColourTables(1, 256) && terrain.BuildColourTables(8, 256) &&
        terrain.BuildColourTables(9, 256))) {
    ADD_FAILURE() << "the forged terrain sprite does not load";
    return pixels;
  }
  SurfaceDesc desc;
  desc.flags = kDescCaps | kDescWidth | kDescHeight;
  desc.caps = kCapsOffscreenPlain | kCapsSystemMemory;
  desc.width = kWidth;
  desc.height = kHeight;
  CSurface surface;
  if (surface.Create(&desc) == 0) {
    ADD_FAILURE() << "no surface";
    return pixels;
  }
  InitSpriteWaveTable();
  g_map.ResetLight();
  std::fill(g_map.light[CMap::kLightShown].begin(), g_map.light[CMap::kLightShown].end(), static_cast<int8_t>(0));
  CEffectViewHooks viewHooks;
  MapViewHooks hooks = DefaultMapViewHooks();
  hooks.world = &viewHooks;
  MapViewHooksScope scope(hooks);
  g_prefs.isHighRes = 1;
  g_mapView.Attach(&g_map, &surface, &terrain, platform::Rect{0, 0, kWidth, kHeight}, 0);
  g_mapView.rotation = g_mapView.drawList.rotation = 0;
  g_mapView.SetCameraCell(cameraX, cameraY, cameraLevel);
  surface.Fill(0);
  g_mapView.Update();
  if (uint16_t* locked = surface.Lock()) {
    for (int y = 0; y < kHeight; ++y) {
      const uint16_t* row =
          reinterpret_cast<const uint16_t*>(reinterpret_cast<const uint8_t*>(locked) + y * surface.pitch);
      pixels.insert(pixels.end(), row, row + kWidth);
    }
    surface.Unlock(locked);
  } else {
    ADD_FAILURE() << "the surface does not lock";
  }
  ResetMouseInput();
  g_mapView.StopSounds();
  g_mapView.drawList.Reset();
  g_mapView.SetMap(nullptr);
  g_mapView.drawSurface = nullptr;
  g_mapView.terrainSprites = nullptr;
  return pixels;
}

std::string WriteMapViewPng(const std::string& name, const std::vector<uint16_t>& pixels) {
  const std::string path = testing_support::TestOutputDir() + "/" + name;
  if (pixels.size() != static_cast<size_t>(kWidth) * kHeight ||
      !testing_support::WritePng565(path, kWidth, kHeight, pixels))
    return "";
  return path;
}

}  // namespace magic_test
