#include "MapViewPicture.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/Preferences.h"
#include "magic/MagicHooks.h"
#include "map/Map.h"
#include "map/MapView.h"
#include "map/MapViewHooks.h"
#include "support/MapViewCanvas.h"
#include "support/Png.h"
#include "support/TestSupport.h"

namespace magic_test {

namespace {
constexpr int kWidth = 800, kHeight = 600;
}  // namespace

std::vector<uint16_t> DrawMapView(int cameraX, int cameraY, int cameraLevel) {
  testing_support::MapViewCanvas canvas(kWidth, kHeight,
                                        testing_support::ForgedDataDir() + "/maps/moorland/terrain.spr");
  if (!canvas.ready) {
    ADD_FAILURE() << "the forged terrain sprite does not load, or no surface";
    return {};
  }
  g_map.ResetLight();
  std::fill(g_map.light[CMap::kLightShown].begin(), g_map.light[CMap::kLightShown].end(), static_cast<int8_t>(0));
  CEffectViewHooks viewHooks;
  MapViewHooks hooks = DefaultMapViewHooks();
  hooks.world = &viewHooks;
  MapViewHooksScope scope(hooks);
  g_prefs.isHighRes = 1;
  return canvas.Draw(0, cameraX, cameraY, cameraLevel);
}

std::string WriteMapViewPng(const std::string& name, const std::vector<uint16_t>& pixels) {
  const std::string path = testing_support::TestOutputDir() + "/" + name;
  if (pixels.size() != static_cast<size_t>(kWidth) * kHeight ||
      !testing_support::WritePng565(path, kWidth, kHeight, pixels))
    return "";
  return path;
}

}  // namespace magic_test
