#pragma once
// The map the map benches run on: 100 x 100 tiles of 12 levels (the largest the forged map
// configuration allows) with the forged terrain types: hills of earth under grass, water in
// the hollows, and stone walls here and there.

#include <vector>

#include "core/Random.h"
#include "forge/TerrainTypes.h"
#include "map/Map.h"

inline void BuildBenchMap() {
  static bool built = false;
  if (built) return;
  built = true;
  namespace t = forge::terrain;
  std::vector<uint8_t> file = forge::TerrainFileBytes(forge::ForgedTerrainTypes());
  g_terrainTypes.Assign(file.data() + 16, file.size() - 16);
  g_map.Create(100, 100, 12, 5, 5);
  g_map.waterLevel = 2;
  CRandom random(5);
  for (int y = 0; y < 100; ++y) {
    for (int x = 0; x < 100; ++x) {
      int ground = 1 + static_cast<int>((random.Next() % 3) + (x / 10 + y / 10) % 4);
      for (int z = 0; z < ground; ++z) g_map.CellAt(x, y, z).terrain = t::kEarth;
      int top = ground <= 2 ? t::kWater : (random.Next() % 9 == 0 ? t::kStone : t::kGrass);
      g_map.CellAt(x, y, ground).terrain = static_cast<uint16_t>(top);
      if (top == t::kWater) g_map.CellAt(x, y, ground).state |= 0x0001;
    }
  }
  g_map.FinishTerrainShapes();
}
