// Lines of sight, of fire and of cells.
#include "map/LineWalker.h"

#include "map/MapHooks.h"
#include "map/MapUnits.h"
#include "map/TileOverlay.h"

namespace {

constexpr int kSightPerTile = 8;  // sight grain: a quarter of a map unit
constexpr int kSightPerLevel = 4;
constexpr int kEffectObscuresFire = 10;
constexpr int kMaxChainLength = 0x10000;

int FloorDiv(int v, int d) { return v >= 0 ? v / d : -((-v + d - 1) / d); }

// The cell at a position whose x and y are inside the map; null above the top of the map.
CMapCell* CellOrNull(int x, int y, int level) { return level < g_map.levels ? &g_map.CellAt(x, y, level) : nullptr; }

}  // namespace

int CLineWalker::TraceSight(int x0, int y0, int z0, int x1, int y1, int z1, int limit, int ignoreOverlay) {
  if (!g_map.cells) return 0;
  x0 = CWrapCoord::WrapUnitsX(x0) / 4;
  y0 = CWrapCoord::WrapUnitsY(y0) / 4;
  x1 = CWrapCoord::WrapUnitsX(x1) / 4;
  y1 = CWrapCoord::WrapUnitsY(y1) / 4;
  z0 = FloorDiv(z0, 4);
  z1 = FloorDiv(z1, 4);
  const int halfLimit = limit / 2;
  if (x0 == x1 && y0 == y1 && z0 == z1) return 1;
  stepper.StartWrappedScaled(x0, y0, z0, x1, y1, z1, &total, kSightPerTile);
  if (limit <= 1) return 0;

  const int width = kSightPerTile * g_map.width, height = kSightPerTile * g_map.height;
  const int cost = g_mapHooks.effects->ObscuringCost();
  int x = x0, y = y0, z = z0;
  int cellX = x0 / kSightPerTile, cellY = y0 / kSightPerTile, level = FloorDiv(z0, kSightPerLevel);
  for (int steps = stepper.MajorSteps() + 2; steps > 0; --steps) {
    stepper.Step(x, y, z, total);
    x = WrapInto(x, width);
    y = WrapInto(y, height);
    int cx = x / kSightPerTile, cy = y / kSightPerTile, cz = FloorDiv(z, kSightPerLevel);
    if (cz < 0) return 0;  // into the ground under the map
    if (cx != cellX || cy != cellY || cz != level) {
      cellX = cx;
      cellY = cy;
      level = cz;
      if (!ignoreOverlay && g_tileSpans.IsLevelInSpan(cx, cy, cz)) total += cost;
    }
    if (x == x1 && y == y1 && z == z1) return 1;
    const CMapCell* cell = CellOrNull(cx, cy, cz);
    if (cell && (cell->terrain != 0 || cell->occupant != kNoLink) &&
        TerrainOf(*cell).TestVoxel(x % 8, y % 8, z % kSightPerLevel))
      return 0;
    if (total >= halfLimit) return 0;
  }
  return 0;
}

int CLineWalker::TraceFire(int x0, int y0, int z0, int x1, int y1, int z1, int limit, int shooter, int ignored) {
  if (x0 == x1 && y0 == y1 && z0 == z1) return kFireReached;
  if (!g_map.cells) return kFireObscured;
  x0 = CWrapCoord::WrapUnitsX(x0);
  y0 = CWrapCoord::WrapUnitsY(y0);
  x1 = CWrapCoord::WrapUnitsX(x1);
  y1 = CWrapCoord::WrapUnitsY(y1);
  stepper.StartWrappedScaled(x0, y0, z0, x1, y1, z1, &total, kUnitsPerTile);
  int x = x0, y = y0, z = z0;
  int result = kFireObscured;
  if (limit >= 1) result = WalkFire(x, y, z, x1, y1, z1, limit, shooter, ignored);
  stopX = x;
  stopY = y;
  stopZ = z;
  return result;
}

int CLineWalker::WalkFire(int& x, int& y, int& z, int x1, int y1, int z1, int limit, int shooter, int ignored) {
  IMapEffects& effects = *g_mapHooks.effects;
  IMapCreatures& creatures = *g_mapHooks.creatures;
  const int width = g_map.width * kUnitsPerTile, height = g_map.height * kUnitsPerTile;
  const int cost = effects.ObscuringCost();
  const int targetX = x1 / kUnitsPerTile, targetY = y1 / kUnitsPerTile, targetLevel = FloorDiv(z1, kUnitsPerLevel);
  int cellX = x / kUnitsPerTile, cellY = y / kUnitsPerTile, level = FloorDiv(z, kUnitsPerLevel);
  // The shooter's own cell is the current one: its effects obscure nothing. A start outside
  // the levels has no cell, and the first step fetches one.
  const CMapCell* cell = level >= 0 && level < g_map.levels ? &g_map.CellAt(cellX, cellY, level) : nullptr;
  int countdown = 32;
  int64_t lastVoxel = -1;
  for (int steps = stepper.MajorSteps() + 2; steps > 0; --steps) {
    stepper.Step(x, y, z, total);
    x = WrapInto(x, width);
    y = WrapInto(y, height);
    int cx = x / kUnitsPerTile, cy = y / kUnitsPerTile, cz = FloorDiv(z, kUnitsPerLevel);
    if (cx != cellX || cy != cellY || cz != level || !cell) {
      cellX = cx;
      cellY = cy;
      level = cz;
      if (cz >= g_map.levels) return kFireAboveMap;
      if (cz < 0) return kFireTerrain;  // into the ground under the map
      cell = &g_map.CellAt(cx, cy, cz);
      int effect = cell->effect;
      for (int n = 0; effect != kNoLink && n < kMaxChainLength; ++n) {
        if (effects.Kind(effect) == kEffectObscuresFire) total += cost;
        effect = effects.NextInCell(effect);
      }
    }
    if (cx == targetX && cy == targetY && cz == targetLevel) return kFireReached;
    if (cell->occupant != kNoLink || cell->terrain != 0) {
      int64_t voxel = (static_cast<int64_t>(z / 4) << 40) | (static_cast<int64_t>(y / 4) << 20) | (x / 4);
      if (voxel != lastVoxel) {
        lastVoxel = voxel;
        if (TerrainOf(*cell).TestVoxel((x / 4) % 8, (y / 4) % 8, (z / 4) % 4)) return kFireTerrain;
      }
      int occupant = cell->occupant;
      // The first 31 tested steps leave the shooter's own body behind.
      if (--countdown <= 0 && occupant != kNoLink && occupant != shooter && occupant != ignored) {
        CreatureBody body;
        if (creatures.GetBody(occupant, body) && body.onMap &&
            body.shape.Contains(WrappedDelta(x, body.cornerX, width), WrappedDelta(y, body.cornerY, height),
                                z - body.floorZ))
          return creatures.IsEnemyOf(shooter, occupant) ? kFireEnemy : kFireCreature;
      }
    }
    if (total / 2 >= limit) return kFireObscured;
  }
  return kFireObscured;
}

int CLineWalker::TraceCells(int x0, int y0, int z0, int x1, int y1, int z1, int range) {
  if (!g_map.cells) return kCellsBlocked;
  x0 = CWrapCoord::WrapX(x0);
  y0 = CWrapCoord::WrapY(y0);
  x1 = CWrapCoord::WrapX(x1);
  y1 = CWrapCoord::WrapY(y1);
  stepper.StartWrapped(x0, y0, z0, x1, y1, z1, &total);
  int x = x0, y = y0, z = z0;
  for (int steps = stepper.MajorSteps() + 2; !(x == x1 && y == y1 && z == z1); --steps) {
    if (steps <= 0) return kCellsTooFar;
    if (!(x == x0 && y == y0 && z == z0)) {
      if (z < 0) return kCellsBlocked;
      const CMapCell* cell = CellOrNull(x, y, z);
      if (cell && ((cell->terrain != 0 && !cell->IsOpenDoorway()) || cell->IsDeepWater())) return kCellsBlocked;
    }
    stepper.Step(x, y, z, total);
    x = CWrapCoord::WrapX(x);
    y = CWrapCoord::WrapY(y);
    if (range / 32 < total / 2) return kCellsTooFar;
  }
  return kCellsReached;
}
