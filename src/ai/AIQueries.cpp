// The computer player's small queries and node filters.
#include "ai/AIQueries.h"

#include <algorithm>

#include "ai/AIUtilities.h"
#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "creatures/Mapelem.h"
#include "magic/EffectManager.h"
#include "map/Map.h"
#include "map/MapUnits.h"
#include "map/PathNetwork.h"

namespace {

constexpr int kFieldKindA = 69, kFieldKindB = 70;
constexpr int kRegionWatchCells = 3;
constexpr uint16_t kStepTowardRefused = 0x0040;  // a cell the step toward a creature never takes
constexpr float kLargestGap = 0.999f;

// The creature's footprint as the placement answers take it: flying while its spell state is
// set or it retreats.
CMoveQuery PlacementQuery(const CCreature& creature) {
  CMoveQuery query = creature.MakeMoveQuery();
  query.flying = creature.spellState != 0 || creature.order == ORDER_RETREAT ? 1 : 0;
  return query;
}

bool ValidArmy(int army) { return army >= 0 && army < kArmyCount; }

}  // namespace

int CreatureGroundSupportAt(const CCreature& creature, int x, int y, int z) {
  return g_map.FindGroundSupport(x, y, z, PlacementQuery(creature));
}

int CreatureRoomAt(const CCreature& creature, int x, int y, int z) {
  return g_map.HasRoomAt(x, y, z, PlacementQuery(creature));
}

int CreatureClearOfWaterAt(const CCreature& creature, int x, int y, int z) {
  return g_map.IsBlockedByWater(x, y, z, PlacementQuery(creature));
}

int CountEffectsNear(int x, int y, int z, int range, int army, bool allied) {
  if (!ValidArmy(army)) return 0;
  int count = 0;
  for (int i = 0; i < g_effectManager.Count(); ++i) {
    const CEffect* effect = g_effectManager.At(i);
    if (!effect || !effect->active || (effect->kind != kFieldKindA && effect->kind != kFieldKindB)) continue;
    const CCreature* owner = g_creatureArray.At(effect->params[effect_word::kCreature]);
    if (!owner || !ValidArmy(owner->army)) continue;
    const bool friendly = g_armyTable.armies[owner->army].alliance[army] != 0;
    if (friendly != allied) continue;
    if (WithinRange(range, effect->cellX, effect->cellY, effect->cellLevel, x, y, z)) ++count;
  }
  return count;
}

bool IsWithinReach(const CCreature& c, int x, int y, int z, int range) {
  if (WithinRange(range, c.cellX, c.cellY, c.level, x, y, z)) return true;
  if (c.order == ORDER_WAIT) return false;
  const CCreatureRoute& route = c.route;
  if (route.goalX == c.cellX && route.goalY == c.cellY && route.goalLevel == c.level) return false;
  if (WithinRange(range, route.goalX, route.goalY, route.goalLevel, x, y, z)) return true;
  if (!c.nodeRoute.header[1]) return false;
  for (int i = std::max(c.nodeRoute.position, 0); i < 50; ++i) {
    const CPathNode* node = g_pathNetwork.GetNode(c.nodeRoute.nodes[i]);
    if (c.nodeRoute.nodes[i] == -1 || !node) break;
    if (WithinRange(range, node->x, node->y, node->level, x, y, z)) return true;
  }
  return false;
}

bool IsRegionWatched(int army, int region) {
  if (!ValidArmy(army) || region < 0 || region >= g_map.CountRegionsOfPower()) return false;
  int rx, ry, rz;
  g_map.GetRegionOfPowerPosition(region, rx, ry, rz);
  bool watched = false;
  g_creatureArray.ForEachInUse([&](const CCreature& c) {
    if (watched || !c.IsAlive() || c.army == army || !ValidArmy(c.army)) return;
    if (g_armyTable.armies[army].alliance[c.army] == 0) return;
    watched = CellsWithinRange(kRegionWatchCells, nullptr, c.cellX, c.cellY, c.level, rx, ry, rz) != 0;
  });
  return watched;
}

float ClampCertaintyGap(float first, float second) { return std::min(second - first, kLargestGap); }

bool NodeOpenAbove(int node) {
  const CPathNode* record = g_pathNetwork.GetNode(node);
  if (!record || !record->inUse) return false;
  return g_map.GreedyWalk(record->x, record->y, record->level, record->x, record->y, g_map.levels - 1,
                          CMoveQuery::MinimalWalker()) == 0;
}

bool NodeUnrated(const CCreature& searcher, int node) { return searcher.RateNode(node) == 0; }

bool StepTowardCreature(int& x, int& y, int& z, const CCreature& target) {
  if (!g_map.cells) return false;
  const int dx = WrapDeltaX(x, target.cellX), dy = WrapDeltaY(y, target.cellY);
  x = WrapInto(int64_t{x} + (dx > 0) - (dx < 0), g_map.width);
  y = WrapInto(int64_t{y} + (dy > 0) - (dy < 0), g_map.height);
  for (int level = z - 1; level <= z + 1; ++level) {
    if (level <= 0 || level >= g_map.levels) continue;
    const CMapCell& cell = g_map.CellAt(x, y, level);
    if (cell.terrain != 0 || cell.occupant != kNoLink || (cell.state & kStepTowardRefused)) continue;
    z = level;
    return true;
  }
  return false;
}
