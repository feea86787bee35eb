// Where an effect stands in the terrain: dropping onto the ground, climbing out of a solid
// block, whether a cell can carry a fire, and the traps that spread over neighbouring cells.
#include "magic/EffectManager.h"
#include "magic/EffectRandom.h"
#include "magic/EffectSpells.h"
#include "magic/EffectWorld.h"
#include "map/Map.h"
#include "map/MapUnits.h"

namespace {

namespace w = effect_word;
namespace s = effect_state;

constexpr uint8_t kTypeFlagSupportPair = 0x20;  // two such types never burn on each other

bool IsFullHeight(const CTerrainType& type) { return type.groundHeight >= kUnitsPerLevel; }
bool HasTerrain(const CMapCell& cell) { return cell.terrain != 0; }

// The cell at a wrapped column and a level inside the map, or null.
CMapCell* ColumnCell(int x, int y, int level) {
  if (!g_map.cells || level < 0 || level >= g_map.levels) return nullptr;
  return &g_map.CellAt(WrapInto(x, g_map.width), WrapInto(y, g_map.height), level);
}

// A trap may take a cell that is empty above standable full-height ground, or that holds
// low standable ground.
bool TrapCanTake(int x, int y, int level) {
  const CMapCell* cell = ColumnCell(x, y, level);
  if (!cell) return false;
  if (HasTerrain(*cell)) {
    const CTerrainType& type = TerrainOf(*cell);
    return !IsFullHeight(type) && type.IsStandable();
  }
  const CMapCell* below = ColumnCell(x, y, level - 1);
  return below && HasTerrain(*below) && IsFullHeight(TerrainOf(*below)) && TerrainOf(*below).IsStandable();
}

}  // namespace

int CEffect::RiseThroughSolid() {
  if (!cell || !HasTerrain(*cell) || !IsFullHeight(*terrainType)) return 1;
  if (cellLevel + 1 >= g_map.levels) return 0;
  PlaceInCell(cellX, cellY, cellLevel + 1, true);
  z += kUnitsPerLevel;
  return HasTerrain(*cell) && IsFullHeight(*terrainType) ? 0 : 1;
}

void CEffect::SettleOnGround() {
  if (!g_map.cells || cellLevel < 0 || cellLevel >= g_map.levels) {
    Deactivate();
    return;
  }
  int level = cellLevel;
  while (level > 0 && !HasTerrain(g_map.CellAt(cellX, cellY, level))) --level;
  const CMapCell& ground = g_map.CellAt(cellX, cellY, level);
  if (HasTerrain(ground) && IsFullHeight(TerrainOf(ground))) ++level;
  if (level >= g_map.levels) {
    Deactivate();
    return;
  }
  PlaceInCell(cellX, cellY, level, true);
  z = level * kUnitsPerLevel;
  if (HasTerrain(*cell) && !IsFullHeight(*terrainType)) z += terrainType->groundHeight;
}

int CEffect::CheckSupport() {
  if (!g_map.cells || cellLevel < 0 || cellLevel + 1 >= g_map.levels) return 0;
  if (cell && !HasTerrain(*cell) && cellLevel >= 1) {
    int level = cellLevel - 1;
    while (level > 0 && !HasTerrain(g_map.CellAt(cellX, cellY, level))) --level;
    if (!HasTerrain(g_map.CellAt(cellX, cellY, level))) return 0;
    PlaceInCell(cellX, cellY, level, true);
    z = level * kUnitsPerLevel;
  }
  if (!cell) return 0;
  if (cell->state & (state_bits::kField10 | state_bits::kField20)) return 0;
  if (terrainType->supportValue == 0) return 0;
  // No fire burns under the water.
  if (cellLevel < g_map.waterLevel) return 0;
  if (terrainType->typeFlags & kTypeFlagSupportPair) {
    const CMapCell& above = g_map.CellAt(cellX, cellY, cellLevel + 1);
    if (HasTerrain(above) && (TerrainOf(above).typeFlags & kTypeFlagSupportPair)) return 0;
  }
  return 1;
}

void CEffect::SpawnKind25Nearby() {
  const CSpellDefinition& spell = SpellRecord(params[w::kSpell]);
  if (state[s::kCounter] < spell.SpellStrength || !owner) return;
  struct Place {
    int x, y, level;
  };
  Place found[8 * 3];
  int count = 0;
  for (const GridStep& step : kDirectionSteps)
    for (int dz : {0, 1, -1}) {
      const int nx = WrapInto(cellX + step.dx, g_map.width), ny = WrapInto(cellY + step.dy, g_map.height);
      if (TrapCanTake(nx, ny, cellLevel + dz)) found[count++] = Place{nx, ny, cellLevel + dz};
    }
  if (count == 0) return;
  const Place& chosen = found[RandomRange(count, 0)];
  CEffect* next = owner->AllocateEffect();
  if (!next) return;
  CEffectParams copy = params;
  copy.SetPoint(w::kSourceX, chosen.x * kUnitsPerTile, chosen.y * kUnitsPerTile, chosen.level * kUnitsPerLevel);
  copy[w::kSpeed] = params[w::kSpeed] - spell.SpellStrength;
  copy[w::kKindMode] = 1;
  copy[w::kCompanionCount] = 0;
  next->Activate(25, copy);
}

void CEffect::AttachCompanions(bool atRouteNode) {
  EffectCreature info;
  const int c = CreatureOfWord(w::kCreature);
  if (c < 0 || !g_effectWorld->GetCreature(c, info) || !owner) return;
  const int cx = atRouteNode ? info.routeX : info.cellX, cy = atRouteNode ? info.routeY : info.cellY;
  const int level = atRouteNode ? info.routeLevel : info.level;
  PlaceInCell(WrapInto(cx, g_map.width), WrapInto(cy, g_map.height), level, true);
  x = cellX * kUnitsPerTile + kUnitsPerTile / 2;
  y = cellY * kUnitsPerTile + kUnitsPerTile / 2;
  z = cellLevel * kUnitsPerLevel;
  params[w::kKindMode] = 2;
  params[w::kCompanion] = index;
  params[w::kCompanionCount] = 0;

  // The three records are held first, so that each request finds another one.
  constexpr int kOffsets[3][2] = {{1, 0}, {0, 1}, {1, 1}};
  CEffect* companions[3] = {};
  for (CEffect*& companion : companions) {
    companion = owner->AllocateEffect();
    if (!companion) break;
    companion->state[s::kHold] = 1;
    params[w::kCompanion + 1 + params[w::kCompanionCount]] = companion->index;
    ++params[w::kCompanionCount];
  }
  const int strength = SpellRecord(params[w::kSpell]).SpellStrength;
  for (int i = 0; i < 3 && companions[i]; ++i) {
    CEffectParams copy = params;
    const int nx = WrapInto(cellX + kOffsets[i][0], g_map.width), ny = WrapInto(cellY + kOffsets[i][1], g_map.height);
    copy.SetPoint(w::kSourceX, nx * kUnitsPerTile, ny * kUnitsPerTile, cellLevel * kUnitsPerLevel);
    copy[w::kSpeed] = params[w::kSpeed] - strength;
    companions[i]->Activate(25, copy);
  }
}
