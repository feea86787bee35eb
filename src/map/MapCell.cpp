#include <algorithm>

#include "map/Map.h"
#include "map/MapHooks.h"
#include "map/MapUnits.h"
#include "map/TileOverlay.h"

namespace {

// Links of a chain are followed at most this often, so a broken chain cannot loop.
constexpr int kMaxChainLength = 0x10000;

void StoreType(CMapCell& cell, int type) {
  if (TerrainOf(cell.terrain).IsLiquid()) cell.state &= static_cast<uint16_t>(~state_bits::kLiquid);
  cell.terrain = static_cast<uint16_t>(type);
  if (TerrainOf(type).IsLiquid())
    cell.state |= state_bits::kLiquid;
  else if (type == 0)
    cell.state &= static_cast<uint16_t>(~state_bits::kOccupancy);
}

}  // namespace

int CMapCell::SetTerrain(int type) {
  if (!g_terrainTypes.IsValid(type)) return 0;
  if (occupant != kNoLink && !IsOpenDoorway()) {
    const CTerrainType& from = TerrainOf(terrain);
    const CTerrainType& to = TerrainOf(type);
    if (from.kind != to.kind || !from.IsStandable() || !to.IsStandable()) return 0;
  }
  StoreType(*this, type);
  g_map.UpdateCellShape(this);
  return 1;
}

int CMapCell::SetTerrainFrame(int type) {
  if (!g_terrainTypes.IsValid(type)) return 0;
  StoreType(*this, type);
  if (type == 0) g_map.UpdateCellShape(this);
  return 1;
}

void CMapCell::Clear() {
  int x, y, level;
  if (!g_map.UnpackCellOffset(this, x, y, level)) return;
  int before[3];
  g_map.GetCellPassability(x, y, level, before);
  if (TerrainOf(terrain).IsLiquid()) state &= static_cast<uint16_t>(~state_bits::kOccupancy);
  auto animated = IsAnimated() ? g_map.FindAnimatedCell(this) : g_map.animatedCells.end();
  if (animated != g_map.animatedCells.end()) {
    state &= static_cast<uint16_t>(~state_bits::kAnimated);
    SetTerrain(0);
    g_map.animatedCells.erase(animated);
  } else {
    terrain = 0;
  }
  state &= static_cast<uint16_t>(~(state_bits::kField10 | state_bits::kDoorBits));
  shape &= static_cast<uint16_t>(~(shape_bits::kClassMask | 0x7F00));
  if (IsWhollyEmpty() && g_tileSpans.TestCell(this))
    shape |= shape_bits::kOpenSky;
  else
    shape &= static_cast<uint16_t>(~shape_bits::kOpenSky);
  int after[3];
  g_map.GetCellPassability(x, y, level, after);
  int kind = ComparePassability(before, after);
  if (kind != -1) NotifyPathNetwork(x, y, level, kind);
}

void CMapCell::CreateObjectEffects(int terrainType, int level) {
  const CMapCell* source = this;
  if (TerrainOf(terrainType).IsLiquid() && level + 1 < g_map.levels) source = this + g_map.cellsPerLevel;
  int object = source->object;
  for (int steps = 0; object != kNoLink && steps < kMaxChainLength; ++steps) {
    int next = g_mapHooks.objects->NextInCell(object);
    g_mapHooks.objects->CreateEffect(object);
    object = next;
  }
}

int CMapCell::GetFootprintKind() const {
  int x, y, level;
  if (!g_map.UnpackCellOffset(this, x, y, level)) return 0;
  int smallest = kKindLiquid;
  for (int dy = 0; dy < 2; ++dy) {
    for (int dx = 0; dx < 2; ++dx) {
      const CMapCell* cell = g_map.CellAtWrapped(x + dx, y + dy, level);
      if (!cell || cell->terrain == 0) return 0;
      smallest = std::min(smallest, std::min(TerrainOf(*cell).kind, kKindLiquid));
    }
  }
  return smallest;
}
