// Where a creature may stand, whether it can get somewhere in a straight or greedy way, and
// where a free place near a cell is. Positions are cells; x and y wrap.
#include <algorithm>
#include <cmath>

#include "core/SeededDraws.h"
#include "map/LineStepper.h"
#include "map/Map.h"
#include "map/MapHooks.h"
#include "map/MapUnits.h"

namespace {

constexpr int kManaSpriteKind = 19;
constexpr int kFreePlaceRings = 5;

using Cell3 = CellPos;

Cell3 Wrapped(int x, int y, int z) { return {CWrapCoord::WrapX(x), CWrapCoord::WrapY(y), z}; }

int Distance(const Cell3& a, const Cell3& b) { return MapWrappedDistance(a.x, a.y, a.z, b.x, b.y, b.z); }

bool Step(const CMap& map, const Cell3& from, const Cell3& to, const CMoveQuery& query) {
  int kind, support = -1;
  return map.CanStepBetween(from.x, from.y, from.z, to.x, to.y, to.z, query, &kind, &support) != 0;
}

}  // namespace

int CMap::GreedyWalk(int x0, int y0, int z0, int x1, int y1, int z1, const CMoveQuery& query) const {
  if (!cells) return 0;
  const Cell3 goal = Wrapped(x1, y1, z1);
  Cell3 current = Wrapped(x0, y0, z0), previous{-1, -1, -1};
  int best = Distance(current, goal);
  // Every step brings the walk strictly nearer, so it ends.
  while (!(current == goal)) {
    bool found = false;
    Cell3 candidate{};
    for (const GridStep& step : kNeighbours26) {
      Cell3 next = Wrapped(current.x + step.dx, current.y + step.dy, current.z + step.dz);
      if (next.z < 0 || next.z >= levels || next == previous) continue;
      int d = Distance(next, goal);
      if (d >= best) continue;
      bool allowed = Step(*this, current, next, query);
      if (!allowed && query.flying && next.z == current.z && next == goal) {
        Cell3 up{current.x, current.y, current.z + 1};
        allowed = up.z < levels && Step(*this, current, up, query) && Step(*this, up, goal, query);
      }
      if (allowed) {
        candidate = next;
        best = d;
        found = true;
      }
    }
    if (!found) return 0;
    previous = current;
    current = candidate;
  }
  return 1;
}

int CMap::AdjustRouteGoal(const CMoveQuery& query, int& x, int& y, int& level) const {
  if (!cells) return 0;
  x = CWrapCoord::WrapX(x);
  y = CWrapCoord::WrapY(y);
  int lowered = 0;
  if (!query.flying && level > 0 && level < levels && CellAt(x, y, level).terrain == 0) {
    // Down to the first cell with terrain, never below level 1.
    while (level > 1) {
      --level;
      lowered = 1;
      if (CellAt(x, y, level).terrain != 0) break;
    }
  }
  if (query.movementKind == kMovementSwimmer && level < waterLevel) level = waterLevel - query.height;
  if (CanOccupy(x, y, level, query)) return lowered;
  const CMoveQuery walker = CMoveQuery::MinimalWalker();
  const bool walkerFits = CanOccupy(x, y, level, walker) != 0;
  const Cell3 goal{x, y, level};
  for (const GridStep& step : kNeighbours26) {
    Cell3 next = Wrapped(x + step.dx, y + step.dy, level + step.dz);
    if (next.z < 0 || next.z >= levels) continue;
    if (walkerFits && !Step(*this, goal, next, walker)) continue;
    if (CanOccupy(next.x, next.y, next.z, query)) {
      x = next.x;
      y = next.y;
      level = next.z;
      break;
    }
  }
  return lowered;
}

namespace {

// The places of ring n around (x, y) for one i: (x +- n, y +- i) and (x +- i, y +- n).
int RingCandidates(int x, int y, int n, int i, Cell3* out) {
  int count = 0;
  auto add = [&](int cx, int cy) {
    for (int k = 0; k < count; ++k)
      if (out[k].x == cx && out[k].y == cy) return;
    out[count++] = {cx, cy, 0};
  };
  for (int sx : {1, -1})
    for (int sy : {1, -1}) {
      add(x + sx * n, y + sy * i);
      add(x + sy * i, y + sx * n);
    }
  return count;
}

}  // namespace

int CMap::FindFreePositionNear(int creature, const CMoveQuery& query, int& x, int& y, int& level) const {
  if (!cells) return 0;
  // The order of the candidates depends only on the start cell, so every machine of a
  // network battle finds the same place.
  const int startX = CWrapCoord::WrapX(x), startY = CWrapCoord::WrapY(y);
  // The draws of a generator seeded from the start cell, without filling its whole state for
  // the few words a search takes.
  CSeededDraws random(static_cast<uint32_t>(startX + startY * width + level * cellsPerLevel));
  bool remembered = false;
  Cell3 rememberedPlace{};
  for (int n = 0; n <= kFreePlaceRings; ++n) {
    for (int i = 0; i <= n; ++i) {
      Cell3 candidates[8];
      int left = n == 0 ? (candidates[0] = {startX, startY, 0}, 1) : RingCandidates(startX, startY, n, i, candidates);
      while (left > 0) {
        int pick = static_cast<int>((random.Next() & 0x7FFFFFFF) % static_cast<uint32_t>(left));
        Cell3 place = Wrapped(candidates[pick].x, candidates[pick].y, level);
        candidates[pick] = candidates[--left];
        bool qualifies = false, accepted = false;
        if (!PlaceFreeSpot(creature, query, place, qualifies, accepted)) continue;
        if (accepted && (!remembered || GreedyWalk(rememberedPlace.x, rememberedPlace.y, rememberedPlace.z, place.x,
                                                   place.y, place.z, query))) {
          x = place.x;
          y = place.y;
          level = place.z;
          return 1;
        }
        if (qualifies && !accepted && !remembered) {
          remembered = true;
          rememberedPlace = place;
        }
      }
      if (n == 0) break;
    }
  }
  return 0;
}

bool CMap::PlaceFreeSpot(int creature, const CMoveQuery& query, CellPos& place, bool& qualifies, bool& accepted) const {
  // A level near the wanted one that the water allows.
  int chosen = -1;
  for (int count = 0; count <= 3 && chosen < 0; ++count) {
    int up = place.z + count, down = place.z - count;
    if (up < levels && !IsBlockedByWater(place.x, place.y, up, query))
      chosen = up;
    else if (down >= 0 && !IsBlockedByWater(place.x, place.y, down, query))
      chosen = down;
  }
  if (chosen < 0) return false;
  place.z = chosen;
  if (query.flying || (query.movementKind == kMovementSwimmer && place.z < waterLevel)) {
    qualifies = HasRoomAt(place.x, place.y, place.z, query) && !IsBlockedByWater(place.x, place.y, place.z, query);
  } else {
    while (!FindGroundSupport(place.x, place.y, place.z, query) && place.z >= 1 &&
           HasRoomAt(place.x, place.y, place.z - 1, query) && !IsBlockedByWater(place.x, place.y, place.z - 1, query))
      --place.z;
    qualifies = FindGroundSupport(place.x, place.y, place.z, query) && HasRoomAt(place.x, place.y, place.z, query) &&
                !IsBlockedByWater(place.x, place.y, place.z, query);
  }
  accepted = qualifies && HasRoomForCreature(place.x, place.y, place.z, creature, query);
  return true;
}

int CMap::TraceReach(int x0, int y0, int z0, int x1, int y1, int z1, const CMoveQuery& query) const {
  if (!cells) return 0;
  CLineStepper stepper;
  int32_t length;
  Cell3 at = Wrapped(x0, y0, z0);
  const Cell3 end = Wrapped(x1, y1, z1);
  stepper.StartWrapped(at.x, at.y, at.z, end.x, end.y, end.z, &length);
  for (int steps = stepper.MajorSteps() + 2; !(at == end); --steps) {
    if (steps <= 0) return 0;
    Cell3 next = at;
    stepper.Step(next.x, next.y, next.z, length);
    next = Wrapped(next.x, next.y, next.z);
    if (next.z < 0 || next.z >= levels || !Step(*this, at, next, query)) return 0;
    at = next;
  }
  return 1;
}

int CMap::TraceStepLine(const CLineMoveParams& params, const CMoveQuery& query, int& x, int& y, int& level,
                        int* stepKind) const {
  if (!cells) return 0;
  const Cell3 at = Wrapped(x, y, level), target = Wrapped(params.targetX, params.targetY, params.targetLevel);
  if (at == target) return 0;
  CLineStepper stepper;
  int32_t length;
  stepper.StartWrapped(at.x, at.y, at.z, target.x, target.y, target.z, &length);
  Cell3 next = at;
  stepper.Step(next.x, next.y, next.z, length);
  next = Wrapped(next.x, next.y, next.z);
  int kind, support = -1;
  if (next.z < 0 || next.z >= levels ||
      !CanStepBetween(at.x, at.y, at.z, next.x, next.y, next.z, query, &kind, &support))
    return 0;
  x = next.x;
  y = next.y;
  level = next.z;
  if (stepKind) *stepKind = kind;
  return 1;
}

int CMap::FindAttackPosition(int creature, int target, int range, int dirX, int dirY, int dirZ, int& outX, int& outY,
                             int& outLevel) const {
  IMapCreatures& creatures = *g_mapHooks.creatures;
  CreaturePlace me, them;
  CMoveQuery query;
  if (!cells || !creatures.GetPlace(creature, me) || !creatures.GetPlace(target, them) ||
      !creatures.GetMoveQuery(creature, query))
    return 0;
  if (me.x == them.x && me.y == them.y && me.level == them.level) return 0;
  // From the centre of one footprint to the centre of the other, in units.
  const int64_t dx = WrappedDelta(32 * them.x + 16 * them.size, 32 * me.x + 16 * me.size, width * kUnitsPerTile);
  const int64_t dy = WrappedDelta(32 * them.y + 16 * them.size, 32 * me.y + 16 * me.size, height * kUnitsPerTile);
  const int64_t dz = (16 * them.level + 8 * them.height) - (16 * me.level + 8 * me.height);
  const int64_t dd = dx * dx + dy * dy + dz * dz,
                vv = int64_t{dirX} * dirX + int64_t{dirY} * dirY + int64_t{dirZ} * dirZ;
  const int64_t dv = dx * dirX + dy * dirY + dz * dirZ;
  if (int64_t{range} * range < (dd >> 10) || dv < 0) return 0;
  // Within 60 degrees of the direction.
  if (static_cast<double>(4 * dv) * static_cast<double>(dv) < static_cast<double>(vv) * static_cast<double>(dd))
    return 0;

  const Cell3 from = Wrapped(me.x, me.y, me.level);
  for (int level = them.level; level < them.level + them.height && level < levels; ++level) {
    for (int fy = 0; fy < them.size; ++fy) {
      for (int fx = 0; fx < them.size; ++fx) {
        Cell3 aim = Wrapped(them.x + fx, them.y + fy, level);
        Cell3 first;
        if (!OpenLineTowards(from, aim, first)) continue;
        // The first step of the approach along the line.
        if (first.z < 0 || first.z >= levels || !Step(*this, from, first, query)) continue;
        outX = first.x;
        outY = first.y;
        outLevel = first.z;
        return 1;
      }
    }
  }
  return 0;
}

bool CMap::OpenLineTowards(const CellPos& from, const CellPos& aim, CellPos& first) const {
  CLineStepper stepper;
  int32_t length;
  stepper.StartWrapped(from.x, from.y, from.z, aim.x, aim.y, aim.z, &length);
  Cell3 at = from;
  bool firstTaken = false;
  for (int steps = stepper.MajorSteps() + 2; !(at.x == aim.x && at.y == aim.y && at.z == aim.z); --steps) {
    if (steps <= 0) return false;
    stepper.Step(at.x, at.y, at.z, length);
    at = Wrapped(at.x, at.y, at.z);
    if (!firstTaken) {
      first = at;
      firstTaken = true;
    }
    const CMapCell* cell = CellIfInside(at.x, at.y, at.z);
    // Open water, not part of a structure, stops the approach.
    if (cell && cell->terrain != 0 && TerrainOf(*cell).IsLiquid() && !(cell->state & state_bits::kOpenDoorway))
      return false;
  }
  return firstTaken;
}

int CMap::PointHitsSolid(int x, int y, int z) const {
  if (!cells) return 0;
  if (z < 0) return 1;  // the ground under the map
  const int level = z / kUnitsPerLevel;
  if (level >= levels) return 0;
  x = CWrapCoord::WrapUnitsX(x);
  y = CWrapCoord::WrapUnitsY(y);
  const int tileX = x / kUnitsPerTile, tileY = y / kUnitsPerTile;
  const CMapCell& cell = CellAt(tileX, tileY, level);
  if (cell.IsDeepWater()) return 1;
  const int width32 = width * kUnitsPerTile, height32 = height * kUnitsPerTile;
  for (int l = level; l >= level - 1 && l >= 0; --l) {
    const CMapCell& here = CellAt(tileX, tileY, l);
    if (here.occupant == kNoLink || !(here.state & state_bits::kOccupancy)) continue;
    CreatureBody body;
    if (g_mapHooks.creatures->GetBody(here.occupant, body) &&
        body.shape.Contains(WrappedDelta(x, body.cornerX, width32), WrappedDelta(y, body.cornerY, height32),
                            z - body.floorZ))
      return 1;
  }
  if (cell.terrain == 0 || cell.IsOpenDoorway()) return 0;
  return TerrainOf(cell).TestVoxel((x / 4) % 8, (y / 4) % 8, (z / 4) % 4);
}

int CMap::TraceProjectileRay(int x, int y, int z, float factor, float& fx, float& fy, float& fz) const {
  if (!cells) return 0;
  const double dx = static_cast<double>(fx) * factor, dy = static_cast<double>(fy) * factor,
               dz = static_cast<double>(fz) * factor;
  const double m = std::max({std::trunc(std::fabs(dx)), std::trunc(std::fabs(dy)), std::trunc(std::fabs(dz))});
  if (m == 0) return 0;
  const double sx = 4 * dx / m, sy = 4 * dy / m, sz = 4 * dz / m;
  const int width32 = width * kUnitsPerTile, height32 = height * kUnitsPerTile, top = levels * kUnitsPerLevel;
  // The point k steps from the start, in units from the start; false once off the map.
  auto offset = [&](double k, int& ox, int& oy, int& oz) {
    ox = static_cast<int>(std::lround(k * sx));
    oy = static_cast<int>(std::lround(k * sy));
    oz = static_cast<int>(std::lround(z + k * sz));
    return std::abs(ox) <= width32 && std::abs(oy) <= height32 && oz >= 0 && oz < top;
  };
  auto solid = [&](int ox, int oy, int oz) { return PointHitsSolid(x + ox, y + oy, oz) != 0; };
  int ox, oy, oz;
  int k = 0;
  // Back out of anything solid at the start.
  while (true) {
    if (!offset(k, ox, oy, oz)) return 0;
    if (!solid(ox, oy, oz)) break;
    --k;
  }
  // Forward to the first solid point.
  int fox = ox, foy = oy, foz = oz;
  while (true) {
    ++k;
    if (!offset(k, ox, oy, oz)) return 0;
    if (solid(ox, oy, oz)) break;
    fox = ox;
    foy = oy;
    foz = oz;
  }
  // The last free point on a finer grid between the two.
  for (int quarter = 1; quarter < 4; ++quarter) {
    int qx, qy, qz;
    offset(k - 1 + quarter / 4.0, qx, qy, qz);
    if (solid(qx, qy, qz)) break;
    fox = qx;
    foy = qy;
    foz = qz;
  }
  fx = static_cast<float>(fox);
  fy = static_cast<float>(foy);
  fz = static_cast<float>(foz - z);
  return 1;
}

int CMap::RegenerateManaSprites() {
  if (manaSpriteCount >= maxManaSprites || manaSpriteSites.empty()) return 0;
  CRandom& random = g_mapHooks.battle->BattleRandom();
  const CManaSite& site = manaSpriteSites[(random.Next() & 0x7FFFFFFF) % static_cast<uint32_t>(manaSpriteSites.size())];
  const CMapCell* cell = CellAtWrapped(site.x, site.y, site.level);
  if (!cell || cell->occupant != kNoLink || TerrainOf(*cell).IsLiquid()) return 0;
  IMapObjects& objects = *g_mapHooks.objects;
  int object = objects.FindFree();
  if (object < 0) return 0;
  objects.Place(object, CWrapCoord::WrapX(site.x), CWrapCoord::WrapY(site.y), site.level);
  objects.SetKind(object, kManaSpriteKind);
  ++manaSpriteCount;
  return 1;
}
