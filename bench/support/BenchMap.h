#pragma once
// The map the map benches run on: the largest map of the forged realm (5 x 5 sections of
// 20 x 20 cells and 10 levels), built from the forged sections and terrain types.

#include <vector>

#include "map/Map.h"
#include "map/MapHooks.h"
#include "map/RegionSettings.h"
#include "platform/Files.h"
#include "support/BenchData.h"

inline void BuildBenchMap() {
  static bool built = false;
  if (built) return;
  built = true;
  EnterForgedDataCopy();
  std::vector<uint8_t> file;
  platform::ReadWholeFile("maps/moorland/terrain.ttd", file);
  if (file.size() > 16) g_terrainTypes.Assign(file.data() + 16, file.size() - 16);
  g_map.Build("realms\\moorland\\moorland.cfg", 2, 7);
  g_map.SetWaterLevel(g_regionSettings.waterLevel);
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
