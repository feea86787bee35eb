#pragma once
// The map the map benches run on: 100 x 100 tiles of 12 levels (the largest the forged map
// configuration allows) with the forged terrain types: hills of earth under grass, water in
// the hollows, and stone walls here and there.

#include <vector>

#include "core/Random.h"
#include "forge/TerrainTypes.h"
#include "map/Map.h"
#include "map/MapHooks.h"

inline void BuildBenchMap() {
  static bool built = false;
  if (built) return;
  built = true;
  namespace t = forge::terrain;
  std::vector<uint8_t> file = forge::TerrainFileBytes(forge::ForgedTerrainTypes());
  g_terrainTypes.Assign(file.data() + 16, file.size() - 16);
  g_map.Create(100, 100, 12, 5, 5);
  g_map.waterLevel = 1;
  CRandom random(5);
  for (int y = 0; y < 100; ++y) {
    for (int x = 0; x < 100; ++x) {
      int ground = 1 + (x / 12 + y / 12) % 4;  // plateaus one level apart
      for (int z = 0; z < ground; ++z) g_map.CellAt(x, y, z).terrain = t::kEarth;
      int top = ground == 1 ? t::kWater : (random.Next() % 9 == 0 ? t::kStone : t::kGrass);
      g_map.CellAt(x, y, ground).terrain = static_cast<uint16_t>(top);
      if (top == t::kWater) g_map.CellAt(x, y, ground).state |= 0x0001;
    }
  }
  g_map.FinishTerrainShapes();
}

// Creature types for the path network's link tests: walkers of heights 1, 2 and 4, a large
// walker, a flier, a swimmer and waders of kinds 1 and 3.
struct BenchCreatureTypes : IMapCreatures {
  bool GetCreatureType(int type, CreatureTypeTraits& out) override {
    static const CreatureTypeTraits kTypes[] = {{1, 1, 0, 0, 4, false}, {1, 2, 0, 0, 4, false}, {1, 4, 0, 0, 4, false},
                                                {2, 1, 0, 0, 4, false}, {1, 1, 1, 0, 6, false}, {1, 1, 0, 2, 3, false},
                                                {1, 2, 0, 1, 3, false}, {1, 1, 0, 3, 3, false}};
    if (type < 0 || type >= 8) return false;
    out = kTypes[type];
    return true;
  }
};

inline void InstallBenchCreatureTypes() {
  static BenchCreatureTypes types;
  g_mapHooks.creatures = &types;
}
