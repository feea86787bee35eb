#pragma once
// The settings a region's map configuration gives the rest of the game besides its sections:
// the starting water level, the colour factors, the wind, the average land height, the
// shown levels and the deployment offsets. The map generator writes them.

#include <vector>

struct CRegionSettings {
  int waterLevel = 0;  // starting water level
  double redFactor = 1.0, greenFactor = 1.0, blueFactor = 1.0;
  int manaSpriteRegenRate = 4000;
  int flagLevelCount = 3;  // the map view's flag levels: 2 or 3
  int startLevel = 1;      // at least 1
  int windDirection = 0;   // 0-7
  int avLandHeight = 0;
  int creatureDeployOffset[28] = {};
  std::vector<int> artefactDeployOffset;  // one per artefact type
};

extern CRegionSettings g_regionSettings;

// Where the map table (the map's 123 saved integers) keeps what the map itself needs of them:
// the artefact deployment offsets from the start, the mana sprites at the end.
namespace map_table {
inline constexpr int kArtefactOffsets = 0;
inline constexpr int kMaxArtefactOffsets = 120;
inline constexpr int kManaSpriteRegenRate = 121;
inline constexpr int kMaxManaSprites = 122;
}  // namespace map_table
