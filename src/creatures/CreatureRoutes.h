#pragma once
// What the creature routes offer outside the creature record: the words of a route step, the
// shared request that lets one cell search run over several frames, and the answers the
// map's searches and aim ask of a creature through the map's hooks.

#include "creatures/Mapelem.h"

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
// its bit with the map data's water field: on liquid terrain (a ford) the bit is water.
bool CellBurns(int x, int y, int z);

// The creature's step test as the map's cell search calls it (mapOnly 1: the map alone).
int CreatureStepTest(int slot, int x0, int y0, int z0, int x1, int y1, int z1, int mapOnly, int* kind);
// Where a walking creature is heading, in units, and the frames it needs to get there.
bool CreatureLeadOf(int slot, int& x, int& y, int& z, int& frames);
