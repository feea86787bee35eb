#include "map/Map.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "map/MapFiles.h"
#include "map/MapHooks.h"
#include "map/MapUnits.h"
#include "map/PathNetwork.h"
#include "map/TerrainType.h"

CMap g_map;
int g_mapLevels = 1;
int g_mapTopUnits = 1;
namespace {
void ForwardToPathNetwork(int x, int y, int level, int kind) { g_pathNetwork.OnCellChanged(x, y, level, kind); }
}  // namespace
void (*g_pathCellChanged)(int x, int y, int level, int kind) = &ForwardToPathNetwork;

namespace {

void SetLevelGlobals(int levels) {
  g_mapLevels = levels;
  g_mapTopUnits = kUnitsPerLevel * levels;
}

}  // namespace

CMap::CMap() {
  for (auto& row : regionHolders) std::fill(std::begin(row), std::end(row), -1);
  for (auto& row : regionCounters) std::fill(std::begin(row), std::end(row), 0);
}

CMap::~CMap() { Clear(); }

int CMap::Create(int newWidth, int newHeight, int newLevels, int newSectionsX, int newSectionsY) {
  if (newWidth < kMinSize || newHeight < kMinSize || newLevels < 1) {
    ShowMapWarning("Tried to create a map below the minimum size", "MAP SIZE ERROR");
    return 0;
  }
  // The row and level offset tables bound the height and the level count.
  if (newWidth > kMaxWidth || newHeight > kMaxHeight || newLevels > kMaxLevels) {
    ShowMapWarning("Tried to create a map above the maximum size", "MAP SIZE ERROR");
    return 0;
  }
  Clear();
  format = 6;
  width = newWidth;
  height = newHeight;
  levels = newLevels;
  cellsPerLevel = width * height;
  cellCount = cellsPerLevel * levels;
  sectionsX = newSectionsX;
  sectionsY = newSectionsY;
  std::fill(std::begin(reserved), std::end(reserved), 0);
  sectionValues[0] = 512;
  sectionValues[1] = -1;
  sectionValues[2] = -1;
  cells = new (std::nothrow) CMapCell[static_cast<size_t>(cellCount)];
  if (!cells) return 0;
  FillOffsets();
  ResetLight();
  g_mapHooks.effects->SetParticleWorldSize(kUnitsPerTile * width, kUnitsPerTile * height, kUnitsPerLevel * levels);
  SetLevelGlobals(levels);
  return 1;
}

void CMap::Clear() {
  format = width = height = levels = cellsPerLevel = cellCount = sectionsX = sectionsY = 0;
  std::fill(std::begin(reserved), std::end(reserved), 0);
  std::fill(std::begin(sectionValues), std::end(sectionValues), 0);
  // A cleared map keeps no regions of power: the next map, made or loaded, has only its own.
  std::fill(std::begin(regions), std::end(regions), CRegionOfPower{});
  for (auto& row : regionHolders) std::fill(std::begin(row), std::end(row), -1);
  for (auto& row : regionCounters) std::fill(std::begin(row), std::end(row), 0);
  regionCursor = 0;
  // Nor any placement, mana sprite or water level of the map before: a map made in a process
  // that made others is the map a fresh process makes. (The water's limits are the
  // generator's, set before the map is made.)
  deploymentZones.Clear();
  otherPlacements.Clear();
  eventAreas.Clear();
  for (int32_t* header : {deploymentZones.header, otherPlacements.header, eventAreas.header})
    std::fill(header, header + 4, 0);
  manaSpriteSites.clear();
  manaSpriteCount = 0;
  waterLevel = 0;
  // The animated cells point into the cells: they go with them.
  animatedCells.clear();
  delete[] cells;
  cells = nullptr;
  for (auto& buffer : light) std::vector<int8_t>().swap(buffer);
  lightBufferSize = 0;
}

void CMap::FillOffsets() {
  for (int z = 0; z < kMaxLevels; ++z) levelOffset[z] = z < levels ? z * cellsPerLevel : 0;
  for (int y = 0; y < kMaxHeight; ++y) rowOffset[y] = y < height ? y * width : 0;
}

CMapCell* CMap::CellAtWrapped(int x, int y, int level) const {
  if (!cells || level < 0 || level >= levels) return nullptr;
  return &CellAt(CWrapCoord::WrapX(x), CWrapCoord::WrapY(y), level);
}

bool CMap::FireBurnsIn(int x, int y, int level) const {
  const CMapCell* cell = CellAtWrapped(x, y, level);
  if (!cell || !(cell->state & state_bits::kField10) || level < waterLevel) return false;
  return !(cell->terrain != 0 && TerrainOf(cell->terrain).IsLiquid());
}

bool CMap::TrapHoldsIn(int x, int y, int level) const {
  const CMapCell* cell = CellAtWrapped(x, y, level);
  return cell && (cell->state & state_bits::kFieldMask) == state_bits::kField20 && cell->effect != kNoLink;
}

int CMap::CellIndexFromPointer(const CMapCell* cell) const {
  if (!cell || !cells || cell < cells || cell >= cells + cellCount) return -1;
  return static_cast<int>(cell - cells);
}

CMapCell* CMap::CellPointerFromIndex(int index) const {
  if (index < 0 || !cells || index >= cellCount) return nullptr;
  return cells + index;
}

bool CMap::UnpackCellOffset(const CMapCell* cell, int& x, int& y, int& level) const {
  int index = CellIndexFromPointer(cell);
  if (index < 0) {
    x = y = level = 0;
    return false;
  }
  level = index / cellsPerLevel;
  int rest = index - levelOffset[level];
  y = rest / width;
  x = rest - rowOffset[y];
  return true;
}

int ComparePassability(int before0, int before1, int before2, int after0, int after1, int after2) {
  bool sameThird = before2 == after2;
  if (before0) {
    if (after0) return sameThird ? -1 : 0;
    if (after1) return sameThird ? 2 : 0;
    return 0;
  }
  if (before1) {
    if (after1) return sameThird ? -1 : 0;
    return sameThird ? 1 : 0;
  }
  return 0;
}

void NotifyPathNetwork(int x, int y, int level, int kind) {
  if (g_pathCellChanged) g_pathCellChanged(x, y, level, kind);
}
