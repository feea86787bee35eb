#include "ai/AIFlaggedCells.h"

#include <algorithm>

#include "map/Map.h"
#include "map/MapUnits.h"
#include "map/TerrainType.h"

CAIFlaggedCell g_aiFlaggedCells[kAIFlaggedCellsMax];

namespace {

bool IsFlaggedBlock(int x, int y, int level) {
  const CMapCell* cell = g_map.CellIfInside(x, y, level);
  return cell && cell->terrain != 0 && (TerrainOf(cell->terrain).typeFlags & kAIFlaggedTerrainBit) != 0;
}

}  // namespace

void BuildFlaggedCellTable() {
  std::fill(std::begin(g_aiFlaggedCells), std::end(g_aiFlaggedCells), CAIFlaggedCell{});
  if (!g_map.HasCells()) return;
  int used = 0;
  for (int y = 0; y < g_map.height; ++y)
    for (int x = 0; x < g_map.width; ++x)
      for (int level = 0; level < g_map.levels; ++level) {
        if (!IsFlaggedBlock(x, y, level)) continue;
        if (used < kAIFlaggedCellsMax) g_aiFlaggedCells[used++] = {1, x, y, level, 0};
        break;  // the column's lowest flagged block alone counts
      }
}

bool FindFlaggedCellInReach(int h, int x, int y, int level) {
  bool found = false;
  const int64_t reach = 2 * static_cast<int64_t>(h);
  for (const CAIFlaggedCell& entry : g_aiFlaggedCells) {
    if (!entry.inUse) break;
    if (reach >= MapWrappedDistance(x, y, level, entry.x, entry.y, entry.level) &&
        IsFlaggedBlock(entry.x, entry.y, entry.level))
      found = true;
  }
  return found;
}
