#pragma once
// What the picture tests draw the battle map on: the forged moorland terrain sprite with the
// colour tables the battle builds, a surface, and the real map view attached to g_map drawing
// on it. Header only: the suites that use it link the map view and the graphics engine. Run
// in the forged data folder, or name the sprite's path.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "graphics/PrintTarget.h"
#include "graphics/Sprite.h"
#include "graphics/Surface.h"
#include "map/Map.h"
#include "map/MapView.h"
#include "ui/Flatwin.h"

namespace testing_support {

class MapViewCanvas {
 public:
  explicit MapViewCanvas(int width = 800, int height = 600,
                         const std::string& terrainPath = "maps\\moorland\\terrain.spr")
      : width(width), height(height) {
    SurfaceDesc desc;
    desc.flags = kDescCaps | kDescWidth | kDescHeight;
    desc.caps = kCapsOffscreenPlain | kCapsSystemMemory;
    desc.width = width;
    desc.height = height;
    ready = terrain.Load(terrainPath.c_str(), 256) && terrain.BuildColourTables(1, 256) &&
            terrain.BuildColourTables(8, 256) && terrain.BuildColourTables(9, 256) && surface.Create(&desc) != 0;
    InitSpriteWaveTable();
  }
  ~MapViewCanvas() { ReleaseView(); }
  MapViewCanvas(const MapViewCanvas&) = delete;
  MapViewCanvas& operator=(const MapViewCanvas&) = delete;

  // The map view attached to the map, this surface and this sprite, and turned.
  void Attach(int rotation) {
    g_mapView.Attach(&g_map, &surface, &terrain, platform::Rect{0, 0, width, height}, 0);
    g_mapView.rotation = rotation;
    g_mapView.drawList.rotation = rotation;
  }

  // The map view turned and centred on a cell, drawn on the cleared surface as many times as
  // asked (the water printer moves what the frame before left), as 565 pixels row by row;
  // empty when the surface does not lock. The resolution is the preferences' as they stand.
  std::vector<uint16_t> Draw(int rotation, int cameraX, int cameraY, int cameraLevel, int updates = 1) {
    Attach(rotation);
    g_mapView.SetCameraCell(cameraX, cameraY, cameraLevel);
    surface.Fill(0);
    for (int n = 0; n < updates; ++n) g_mapView.Update();
    return Pixels();
  }

  // The surface's 565 pixels row by row; empty (and a failure) when it does not lock.
  std::vector<uint16_t> Pixels() {
    std::vector<uint16_t> out;
    uint16_t* pixels = surface.Lock();
    if (!pixels) {
      ADD_FAILURE() << "the map view's surface does not lock";
      return out;
    }
    for (int y = 0; y < height; ++y) {
      const auto* row = reinterpret_cast<const uint16_t*>(reinterpret_cast<const uint8_t*>(pixels) + y * surface.pitch);
      out.insert(out.end(), row, row + width);
    }
    surface.Unlock(pixels);
    return out;
  }

  // Lets the map view go of the map, this surface and this sprite, and stops its sounds.
  static void ReleaseView() {
    ResetMouseInput();
    g_mapView.StopSounds();
    g_mapView.drawList.Reset();
    g_mapView.SetMap(nullptr);
    g_mapView.drawSurface = nullptr;
    g_mapView.terrainSprites = nullptr;
    g_mapView.drawList.SetOcclusionFrames(nullptr);
  }

  const int width, height;
  bool ready = false;
  CSprite terrain;
  CSurface surface;
};

}  // namespace testing_support
