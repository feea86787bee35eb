#pragma once
// What the creature routes offer outside the creature record: the words of a route step, the
// shared request that lets one cell search run over several frames, and the answers the
// map's searches and aim ask of a creature through the map's hooks.

#include <cstdio>

#include "creatures/Mapelem.h"

struct CTerrainType;

// The seven words of a route step.
namespace route_step {
inline constexpr int kX = 0, kY = 1, kLevel = 2, kFacing = 3, kLevelChange = 4, kAirborne = 5, kKind = 6;
}  // namespace route_step

inline constexpr int kMaxRouteSteps = 16;
inline constexpr int kRequestBudget = 210;

// The one pending route request of the creature pool (kept in CCreatureArray::routeRequest).
namespace route_request {
inline constexpr int kGoalX = 0, kGoalY = 1, kGoalLevel = 2, kAvoid = 3;
inline constexpr int kStartX = 4, kStartY = 5, kStartLevel = 6;
inline constexpr int kBudget = 7;     // what the request may still spend
inline constexpr int kPushTrial = 8;  // the search belongs to a push trial
}  // namespace route_request

// Whether fire burns in the cell or, above level 1, in the cell under it. The fire mark shares
// its bit with the map data's water field: on liquid terrain (a ford) or under the water
// level the bit is water (CMap::FireBurnsIn).
bool CellBurns(int x, int y, int z);

// Who stands in the way of a step that moves more than one way at once, from cell c to cell s,
// asking `probe` (x, y, level) for the index + 1 of a creature there, 0 none. On the current
// level the cells beside the step and the step's cell, on the step's level the current cell
// and the two beside it: the step is blocked only when each level holds one, and the first
// hit in that order is the blocker. A step that keeps its level has one corner to pass: it
// is blocked only when creatures stand on both sides of it.
template <class Probe>
int ProbeCorners(int cx, int cy, int cz, int sx, int sy, int sz, Probe probe) {
  if (cz == sz) {
    const int side = probe(sx, cy, cz), other = probe(cx, sy, cz);
    return side && other ? side : 0;
  }
  const int first[3] = {probe(sx, cy, cz), probe(cx, sy, cz), probe(sx, sy, cz)};
  const int second[3] = {probe(cx, cy, sz), probe(sx, cy, sz), probe(cx, sy, sz)};
  int a = 0, b = 0;
  for (int hit : first) a = a ? a : hit;
  for (int hit : second) b = b ? b : hit;
  return a && b ? a : 0;
}

// Writes the step from (px, py, pz) into the neighbour (nx, ny, nz) of a kind the map's step
// test reported: a step straight up or down keeps the facing before it.
void FillRouteStep(CRouteStep& step, int px, int py, int pz, int nx, int ny, int nz, int lastFacing, int kind);
// The footstep sound kind of a terrain type, 0 for none: the terrain record carries no sound
// of its own, so it follows the type's material (its kind): 1 soft ground (grass, sand,
// earth), 2 water, 3 stone (rubble, masonry, rock), 4 wood.
int TerrainFootstepKind(const CTerrainType& terrain);
// The creature's step test as the map's cell search calls it (mapOnly 1: the map alone).
int CreatureStepTest(int slot, int x0, int y0, int z0, int x1, int y1, int z1, int mapOnly, int* kind);
// Where a walking creature is heading, in units, and the frames it needs to get there.
bool CreatureLeadOf(int slot, int& x, int& y, int& z, int& frames);

// The route search that runs over several frames, as it stands between two frames, for the
// saved game: the pool's pending flag and, when set, the cell search's state. Save answers
// the bytes written, -1 on a failed write; Load the bytes read, or -1 with nothing changed
// when the part is short or holds what no search can be in. Load after the map and the pool.
int SavePendingRouteSearch(FILE* file);
int LoadPendingRouteSearch(FILE* file);
