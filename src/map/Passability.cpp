// Whether a creature fits at a place, stands on something, may be in the water there, and
// may step to a neighbouring place. Cell tests take positions inside the map and answer
// "no" outside it; footprint tests wrap x and y first.
#include <cstdlib>

#include "map/Map.h"
#include "map/MapUnits.h"

namespace {

bool IsEmptyOrOpen(const CMapCell& cell) { return cell.terrain == 0 || cell.IsOpenDoorway(); }

// An occupancy mark with a creature in it other than the one asking.
bool HeldByOther(const CMapCell& cell, int creature) {
  return (cell.state & state_bits::kOccupancy) && cell.occupant != kNoLink && cell.occupant != creature;
}

bool IsSwimmer(const CMoveQuery& query) { return query.movementKind == kMovementSwimmer; }
bool CanLeaveGround(const CMoveQuery& query) { return query.airborne != 0 || query.flying != 0; }

}  // namespace

int CMap::CellSupports(int x, int y, int level, const CMoveQuery& query) const {
  const CMapCell* cell = CellIfInside(x, y, level);
  if (!cell) return 0;
  if ((!query.deepWater && cell->IsDeepWater()) || cell->IsSealed()) return 0;
  if (IsEmptyOrOpen(*cell)) {
    if (level == 0) return 0;
    const CMapCell& below = CellAt(x, y, level - 1);
    if (!query.deepWater && below.IsDeepWater()) return 0;
    if (below.IsSealed()) return 1;
    if (IsEmptyOrOpen(below)) return 0;
    const CTerrainType& type = TerrainOf(below);
    return type.IsLiquid() && type.IsStandable() ? 1 : 0;
  }
  const CTerrainType& type = TerrainOf(*cell);
  if (type.kind > kKindSolidMax) return 0;
  if (type.IsStandable()) return 1;
  return query.typeIndex == kSpecialCreatureType ? 1 : 0;
}

int CMap::CellHasRoom(int x, int y, int level, const CMoveQuery& query) const {
  const CMapCell* cell = CellIfInside(x, y, level);
  if (!cell || cell->IsSealed()) return 0;
  const CTerrainType& type = TerrainOf(*cell);
  if (cell->terrain != 0) {
    if (cell->IsClosedDoor()) return 0;
    if (!cell->IsOpenDoorway() && type.IsLiquid()) return 0;
  }
  if (!query.deepWater && cell->IsDeepWater()) return 0;
  int needed = query.height == 1 && type.kind > kKindLowGroundMax ? 2 : query.height;
  if (level + needed > levels) return 0;
  for (int i = 1; i < needed; ++i) {
    const CMapCell& above = CellAt(x, y, level + i);
    if (above.IsSealed() || !IsEmptyOrOpen(above)) return 0;
    if (!query.deepWater && above.IsDeepWater()) return 0;
  }
  return 1;
}

int CMap::ColumnFreeOf(int x, int y, int level, int creature, int columnHeight) const {
  for (int z = level; z < level + columnHeight && z < levels; ++z) {
    const CMapCell* cell = CellIfInside(x, y, z);
    if (cell && HeldByOther(*cell, creature)) return 0;
  }
  return 1;
}

int CMap::IsColumnBlocked(int x, int y, int level, int columnHeight, int mode, int creature) const {
  if (!cells || level < 0 || level >= levels) return 1;
  int columns = mode == 1 ? 1 : 2;
  for (int dy = 0; dy < columns; ++dy) {
    for (int dx = 0; dx < columns; ++dx) {
      int cx = CWrapCoord::WrapX(x + dx), cy = CWrapCoord::WrapY(y + dy);
      const CMapCell& base = CellAt(cx, cy, level);
      if (!base.IsOpenDoorway() && HeldByOther(base, creature)) return 1;
      for (int i = 1; i < columnHeight; ++i) {
        if (level + i >= levels) return 1;
        const CMapCell& cell = CellAt(cx, cy, level + i);
        if (cell.IsOpenDoorway()) continue;
        if (HeldByOther(cell, creature) || (cell.terrain != 0 && TerrainOf(cell).kind != kKindNoVolume)) return 1;
      }
    }
  }
  return 0;
}

int CMap::AnyTerrainInFootprint(int x, int y, int level, const CMoveQuery& query) const {
  for (int dy = 0; dy < query.size; ++dy)
    for (int dx = 0; dx < query.size; ++dx) {
      const CMapCell* cell = CellAtWrapped(x + dx, y + dy, level);
      if (cell && cell->terrain != 0) return 1;
    }
  return 0;
}

int CMap::TallTerrainInFootprint(int x, int y, int level, const CMoveQuery& query) const {
  for (int dy = 0; dy < query.size; ++dy)
    for (int dx = 0; dx < query.size; ++dx) {
      const CMapCell* cell = CellAtWrapped(x + dx, y + dy, level);
      if (cell && cell->terrain != 0 && TerrainOf(*cell).kind > kKindLowGroundMax) return 1;
    }
  return 0;
}

int CMap::FindGroundSupport(int x, int y, int level, const CMoveQuery& query) const {
  x = CWrapCoord::WrapX(x);
  y = CWrapCoord::WrapY(y);
  if (query.size != 2) return CellSupports(x, y, level, query);
  int count = 0, sx = 0, sy = 0;
  bool atLevel = false;
  for (int dy = 0; dy < 2; ++dy) {
    for (int dx = 0; dx < 2; ++dx) {
      int cx = CWrapCoord::WrapX(x + dx), cy = CWrapCoord::WrapY(y + dy);
      for (int z = level; z >= level - 1 && z >= 0; --z) {
        bool counts = CellSupports(cx, cy, z, query) || (IsSwimmer(query) && z >= waterLevel && z <= waterLevel + 1);
        if (!counts) continue;
        ++count;
        sx += dx;
        sy += dy;
        if (z == level) atLevel = true;
        break;
      }
    }
  }
  // Three or four columns, or two diagonal ones, carry a large creature.
  return std::abs(2 * (2 * sx - count)) < count && std::abs(2 * (2 * sy - count)) < count && atLevel ? 1 : 0;
}

int CMap::IsBlockedByWater(int x, int y, int level, const CMoveQuery& query) const {
  int w = waterLevel, h = query.height;
  switch (query.movementKind) {
    case 0:
      return level < w ? 1 : 0;
    case 1:
      if (level < w - h + 1) return 1;
      if (w - h < level && level < w) return FindGroundSupport(x, y, level, query) ? 0 : 1;
      return 0;
    case 2:
      if (level < w - h) return 1;
      if (w - h < level && level < w) return FindGroundSupport(x, y, level, query) ? 0 : 1;
      if (level == w - h) return HasRoomAt(x, y, level + 1, query) ? 0 : 1;
      return 0;
    case 3:
      if (level >= w) return 0;
      return FindGroundSupport(x, y, level, query) ? 0 : 1;
    default:
      return 0;
  }
}

int CMap::HasRoomAt(int x, int y, int level, const CMoveQuery& query) const {
  if (!cells) return 0;
  for (int dy = 0; dy < query.size; ++dy)
    for (int dx = 0; dx < query.size; ++dx)
      if (!CellHasRoom(CWrapCoord::WrapX(x + dx), CWrapCoord::WrapY(y + dy), level, query)) return 0;
  return 1;
}

int CMap::HasRoomForCreature(int x, int y, int level, int creature, const CMoveQuery& query) const {
  if (!cells) return 0;
  for (int dy = 0; dy < query.size; ++dy)
    for (int dx = 0; dx < query.size; ++dx)
      for (int z = level; z < level + query.height && z < levels; ++z) {
        const CMapCell* cell = CellAtWrapped(x + dx, y + dy, z);
        if (cell && HeldByOther(*cell, creature)) return 0;
      }
  return 1;
}

int CMap::CanOccupy(int x, int y, int level, const CMoveQuery& query) const {
  if (!HasRoomAt(x, y, level, query) || IsBlockedByWater(x, y, level, query)) return 0;
  if (FindGroundSupport(x, y, level, query)) return 1;
  if (IsSwimmer(query) && level < waterLevel) return 1;
  return query.flying ? 1 : 0;
}

void CMap::GetCellPassability(int x, int y, int level, int out[3]) const {
  CMoveQuery walker = CMoveQuery::MinimalWalker();
  CMoveQuery flyer = walker;
  flyer.flying = 1;
  flyer.movementKind = 3;
  out[0] = CanOccupy(x, y, level, walker);
  out[1] = CanOccupy(x, y, level, flyer) ? 0 : 1;
  out[2] = level + 1 < levels ? CanOccupy(x, y, level + 1, walker) : 0;
}

namespace {

struct StepPoints {
  int x0, y0, z0, x1, y1, z1;
};

// The headroom rules for creatures one level tall: no squeezing under or past terrain.
bool HeadroomAllows(const CMap& map, const StepPoints& s, const CMoveQuery& q) {
  if (s.z0 == s.z1) {
    if (s.z0 >= map.levels - 1) return true;
    if (map.TallTerrainInFootprint(s.x0, s.y0, s.z0, q) && map.AnyTerrainInFootprint(s.x1, s.y1, s.z1 + 1, q))
      return false;
    if (map.AnyTerrainInFootprint(s.x0, s.y0, s.z0 + 1, q) && map.TallTerrainInFootprint(s.x1, s.y1, s.z1, q))
      return false;
    return true;
  }
  bool rising = s.z1 > s.z0;
  int lowX = rising ? s.x0 : s.x1, lowY = rising ? s.y0 : s.y1, lowZ = rising ? s.z0 : s.z1;
  int upX = rising ? s.x1 : s.x0, upY = rising ? s.y1 : s.y0, upZ = rising ? s.z1 : s.z0;
  if (s.x0 == s.x1 && s.y0 == s.y1) return !map.AnyTerrainInFootprint(upX, upY, upZ, q);
  if (map.AnyTerrainInFootprint(lowX, lowY, upZ, q) && map.AnyTerrainInFootprint(upX, upY, upZ, q)) return false;
  if (map.AnyTerrainInFootprint(lowX, lowY, lowZ + 1, q) && map.TallTerrainInFootprint(upX, upY, lowZ, q)) return false;
  if (upZ < map.levels - 1 && map.AnyTerrainInFootprint(lowX, lowY, upZ + 1, q) &&
      map.TallTerrainInFootprint(upX, upY, upZ, q))
    return false;
  return true;
}

// A diagonal step of a one-column creature needs room around one of its two corners.
bool DiagonalAllows(const CMap& map, const StepPoints& s, const CMoveQuery& q) {
  return (map.HasRoomAt(s.x1, s.y0, s.z0, q) && map.HasRoomAt(s.x0, s.y1, s.z0, q) &&
          map.HasRoomAt(s.x1, s.y1, s.z0, q)) ||
         (map.HasRoomAt(s.x0, s.y0, s.z1, q) && map.HasRoomAt(s.x1, s.y0, s.z1, q) &&
          map.HasRoomAt(s.x0, s.y1, s.z1, q));
}

}  // namespace

int CMap::CanStepBetween(int x0, int y0, int z0, int x1, int y1, int z1, const CMoveQuery& query, int* stepKind,
                         int* startSupport) const {
  int kindStore = kStepRefused;
  int& kind = stepKind ? *stepKind : kindStore;
  kind = kStepRefused;
  if (query.typeIndex == kSpecialCreatureType || !cells) return 0;
  x0 = CWrapCoord::WrapX(x0);
  y0 = CWrapCoord::WrapY(y0);
  x1 = CWrapCoord::WrapX(x1);
  y1 = CWrapCoord::WrapY(y1);
  const int w = waterLevel, h = query.height, dz = z1 - z0;
  const bool swimmer = IsSwimmer(query);

  if (!HasRoomAt(x1, y1, z1, query)) return 0;
  const bool destSupported = FindGroundSupport(x1, y1, z1, query) != 0;
  if (!destSupported && z1 >= w && !swimmer && !CanLeaveGround(query)) return 0;

  int supportStore = -1;
  int& support = startSupport ? *startSupport : supportStore;
  if (support == -1) {
    if (!HasRoomAt(x0, y0, z0, query)) return 0;
    support = FindGroundSupport(x0, y0, z0, query);
  }
  const bool startSupported = support != 0;

  // A swimmer may break through the surface band w - h + 1 .. w.
  bool surface = false;
  auto inBand = [&](int z) { return z >= w - h + 1 && z <= w; };
  if (swimmer && (inBand(z0) || inBand(z1))) {
    if (dz >= 1 && !startSupported)
      surface = true;
    else if (dz < 0 && !destSupported)
      surface = z1 != w - h || HasRoomAt(x1, y1, z1 + 1, query);
  }
  if (!IsBlockedByWater(x0, y0, z0, query) && IsBlockedByWater(x1, y1, z1, query) && !surface) return 0;
  if (query.movementKind == 0 && w - h < z0 && z0 < w && dz < 0) return 0;
  if (swimmer && z0 < w - h && dz <= 0) return 0;

  auto below = [&](int z) { return z < w || surface; };
  int result;
  if (startSupported) {
    if (destSupported) {
      result = kStepGround;
    } else if (below(z1)) {
      if (!swimmer) return 0;
      result = kStepGround;
    } else if (query.flying || (query.airborne && dz == 1)) {
      result = kStepTakeOff;
    } else {
      return 0;
    }
  } else if (below(z0)) {
    if (destSupported)
      result = kStepGround;
    else if (swimmer)
      result = kStepSwimming;
    else
      return 0;
  } else {
    if (!CanLeaveGround(query)) return 0;
    result = destSupported && dz == -1 ? kStepLanding : kStepFlying;
  }

  const StepPoints points{x0, y0, z0, x1, y1, z1};
  if (h == 1 && !HeadroomAllows(*this, points, query)) return 0;
  if (query.size == 1) {
    int64_t sx = WrapDeltaX(x0, x1), sy = WrapDeltaY(y0, y1);
    if (sx * sx + sy * sy + static_cast<int64_t>(dz) * dz >= 2 && !DiagonalAllows(*this, points, query)) return 0;
  }
  kind = result;
  return 1;
}
