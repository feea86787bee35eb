#pragma once
// The campaign's first realm, the Moorland, from one table: its seven regions (names, where
// they lie, who owns them), its six wizards (the player's Edric, the guardian of region 1 and
// four more), and the geometry the realm view's files are made from: the 800 x 600 region map
// (an island of regions grown around their seeds, the sea around it), each region's flag
// point and start slots, the neighbours and the flag paths between them.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "forge/FlagPathWriter.h"

namespace forge {

inline constexpr int kMoorlandRegions = 7;
inline constexpr int kMoorlandLastRegion = 7;
inline constexpr int kRealmWidth = 800, kRealmHeight = 600;

struct MoorlandRegion {
  const char* name;
  int seedX, seedY;  // where the region grows from
  int owner;         // wizard index
};

struct MoorlandWizard {
  const char* name;
  int location;                   // the region it stands in
  std::array<uint8_t, 3> colour;  // its flags and marker
  std::array<uint8_t, 3> emblem;  // the stripe on its banner
};

// Region r is entry r - 1.
const std::array<MoorlandRegion, kMoorlandRegions>& MoorlandRegions();
// Wizard 0 is the player's.
const std::vector<MoorlandWizard>& MoorlandWizards();

// The realm's geometry, computed once.
struct MoorlandGeometry {
  std::vector<uint8_t> regionMap;     // 800 x 600, 0 the sea
  std::vector<uint8_t> edgeDistance;  // per pixel: steps to the nearest pixel of another value
  std::array<PathPoint, kMoorlandRegions> flagPoints{};
  std::array<std::array<PathPoint, 4>, kMoorlandRegions> startSlots{};
  // Per region, its neighbours in ascending order and the path to each.
  std::array<std::vector<int>, kMoorlandRegions> neighbours;
  std::array<std::vector<std::vector<PathPoint>>, kMoorlandRegions> paths;

  int RegionAt(int x, int y) const {
    return x < 0 || y < 0 || x >= kRealmWidth || y >= kRealmHeight ? 0 : regionMap[y * kRealmWidth + x];
  }
};
const MoorlandGeometry& Moorland();

// The region's .FP file.
FlagPathFile MoorlandFlagPathFile(int region);

}  // namespace forge
