// Re-planning and pushing: the planning step the scheduler runs for each creature within the
// frame's route budget, the goal each order plans toward, and the push of a friend standing
// in the way (order BARGED: a step aside, then back to where it was heading).
#include <algorithm>
#include <cstdlib>

#include "creatures/Armies.h"
#include "creatures/CreatureArray.h"
#include "creatures/CreatureRoutes.h"
#include "map/Map.h"
#include "map/MapCell.h"
#include "map/MapUnits.h"
#include "map/PathNetwork.h"

namespace {

using namespace route_step;
namespace rq = route_request;

constexpr int kUnresolvedWait = 10;
constexpr int kPusherWait = 4;
constexpr int kWorthFree = 10, kWorthCrowded = 5;

int WrapX(int x) { return CWrapCoord::WrapX(x); }
int WrapY(int y) { return CWrapCoord::WrapY(y); }

}  // namespace

// --- the planning step ---

bool CCreature::PlanningGoal(int& x, int& y, int& z) {
  switch (order) {
    case ORDER_WALK_TO_POS:
    case ORDER_ATTACK_TERRAIN:
    case ORDER_BARGED:
      if (order == ORDER_ATTACK_TERRAIN) {
        x = orderState.attackedX;
        y = orderState.attackedY;
        z = orderState.attackedLevel;
      } else {
        x = orderState.goalX;
        y = orderState.goalY;
        z = orderState.goalLevel;
      }
      return true;
    case ORDER_BEHAVIOUR:
      // Attacking and assisting plan as an attack does; the others toward their own goal.
      if (behaviourSubState != 1 && behaviourSubState != 5) return BehaviourGoal(x, y, z);
      [[fallthrough]];
    case ORDER_ATTACK_CREATURE: {
      const CCreature* victim = g_creatureArray.InUse(target);
      if (!victim) return false;
      if (InHandToHandContact(*victim, cellX, cellY, level)) return false;
      if (!ArmySees(*victim)) {
        x = orderState.lastSeenX;
        y = orderState.lastSeenY;
        z = orderState.lastSeenLevel;
        return true;
      }
      const CMoveQuery query = MakeMoveQuery();
      const auto contactFrom = [&](int cx, int cy, int cz) {
        if (cz < 0 || cz >= g_map.levels) return false;
        cx = WrapX(cx);
        cy = WrapY(cy);
        if (!g_map.FindFreePositionNear(index, query, cx, cy, cz)) return false;
        if (!InHandToHandContact(*victim, cx, cy, cz)) return false;
        x = cx;
        y = cy;
        z = cz;
        return true;
      };
      const int sx = (WrapDeltaX(victim->cellX, cellX) > 0) - (WrapDeltaX(victim->cellX, cellX) < 0);
      const int sy = (WrapDeltaY(victim->cellY, cellY) > 0) - (WrapDeltaY(victim->cellY, cellY) < 0);
      if (contactFrom(victim->cellX + sx, victim->cellY + sy, victim->level)) return true;
      for (const GridStep& d : kNeighbours26)
        if (contactFrom(victim->cellX + d.dx, victim->cellY + d.dy, victim->level + d.dz)) return true;
      x = victim->cellX;
      y = victim->cellY;
      z = victim->level;
      return true;
    }
    default:
      return false;
  }
}

int CCreature::RunPlanningStep(int& budget) {
  int& request = orderState.replanRequest;
  if (order == ORDER_WAIT || order == ORDER_REACTION_HTH || order == ORDER_REACTION_LRC) {
    request = 0;
    return 0;
  }
  if (Walking() || !request || animState != ANIM_STAND) {
    request = 0;
    return 0;
  }
  if (orderState.standCountdown > 1) return 0;
  const int startKind = request;
  if (request == 2 && TryBarge(budget)) return g_creatureArray.searchPending ? 1 : 0;
  if (!request) return 0;

  motion.avoid = request == 1 ? 1 : 0;
  int x = 0, y = 0, z = 0;
  if (!PlanningGoal(x, y, z)) {
    request = 0;
    motion.avoid = 0;
    return 0;
  }
  const int result = PlanRoute(x, y, z, motion.avoid, 1, budget);
  motion.avoid = 0;
  if (result == 2) return 1;
  request = 0;
  if (result == 1) {
    if (orderState.standCountdown <= 1) FollowPath();
  } else if (order == ORDER_WALK_TO_POS) {
    if (!StartBlobAttack()) EndHeldState();
  } else if (order == ORDER_ATTACK_CREATURE || order == ORDER_ATTACK_TERRAIN || order == ORDER_BARGED) {
    EndHeldState();
  }
  if (inUse && request && (request == startKind || startKind == 2)) orderState.standCountdown = kUnresolvedWait;
  return 0;
}

// --- who stands in the way ---

int CCreature::FindOccupantInBox(int x, int y, int z) const {
  const int size = type ? type->TileSizeXY : 1, height = type ? type->TileHeight : 1;
  for (int dz = 0; dz < height && z + dz < g_map.levels; ++dz)
    for (int dy = 0; dy < size; ++dy)
      for (int dx = 0; dx < size; ++dx) {
        const CMapCell* cell = g_map.CellAtWrapped(x + dx, y + dy, z + dz);
        if (cell && (cell->state & state_bits::kOccupancy) && cell->occupant != kNoOccupant && cell->occupant != index)
          return cell->occupant + 1;
      }
  return 0;
}

namespace {

// The footprint at the mixed positions of a step that moves more than one way at once.
int ProbeMixed(const CCreature& mover, int cx, int cy, int cz, int sx, int sy, int sz) {
  return ProbeCorners(cx, cy, cz, sx, sy, sz, [&](int x, int y, int z) { return mover.FindOccupantInBox(x, y, z); });
}

bool OrthogonalStep(int dx, int dy, int dz) { return dz == 0 && std::abs(dx) + std::abs(dy) <= 1; }

}  // namespace

int CCreature::FindBlockingCreature() const {
  const CRouteStep* step = CurrentStep();
  if (!step) return 0;
  const int sx = step->words[kX], sy = step->words[kY], sz = step->words[kLevel];
  int kind = kStepRefused;
  if (!CanMoveStraightTo(cellX, cellY, level, sx, sy, sz, &kind, 1)) return 0;
  if (const CMapCell* cell = g_map.CellAtWrapped(sx, sy, sz))
    if ((cell->state & state_bits::kFieldMask) == state_bits::kField20) return 0;
  if (const int hit = FindOccupantInBox(sx, sy, sz)) return hit;
  const int dx = WrapDeltaX(cellX, sx), dy = WrapDeltaY(cellY, sy), dz = sz - level;
  if ((type && type->TileSizeXY == 2) || OrthogonalStep(dx, dy, dz)) return 0;
  return ProbeMixed(*this, cellX, cellY, level, sx, sy, sz);
}

bool CCreature::WouldBlockAt(const CCreature& mover, int x, int y, int z) const {
  if (mover.FindOccupantInBox(x, y, z) == index + 1) return true;
  const int dx = WrapDeltaX(mover.cellX, x), dy = WrapDeltaY(mover.cellY, y), dz = z - mover.level;
  const bool large = mover.type && mover.type->TileSizeXY == 2;
  if (large || std::abs(dx) + std::abs(dy) + std::abs(dz) <= 1) return false;
  return ProbeMixed(mover, mover.cellX, mover.cellY, mover.level, x, y, z) == index + 1;
}

bool CCreature::RouteHasStep(int x, int y, int z) const {
  for (int i = 0; i < route.stepCount && i < kMaxRouteSteps; ++i) {
    const int32_t* s = route.steps[i].words;
    if (s[kX] == x && s[kY] == y && s[kLevel] == z) return true;
  }
  return false;
}

bool CCreature::OverlapsNextStep(int x, int y, int size) const {
  const CRouteStep* step = CurrentStep();
  if (!step) return false;
  const int own = type ? type->TileSizeXY : 1;
  const int dx = WrapDeltaX(step->words[kX], x), dy = WrapDeltaY(step->words[kY], y);
  return dx < own && -dx < size && dy < own && -dy < size;
}

// --- pushing ---

int CCreature::PushRank() const {
  if (order == ORDER_BARGED || !type) return motion.pushRank;
  return 1120000 * type->TileSizeXY + 280000 * type->TileHeight + 10000 * typeNumber + 100 * index;
}

int CCreature::CanRouteAround(int& budget) {
  const CCreatureRoute savedRoute = route;
  const CNodeRoute savedNodes = nodeRoute;
  const int savedWalking = Walking();
  const CRouteStep* step = CurrentStep();
  const int dx = orderState.goalX, dy = orderState.goalY, dz = orderState.goalLevel;
  if (!step || (step->words[kX] == dx && step->words[kY] == dy && step->words[kLevel] == dz)) return 0;
  int gx = dx, gy = dy, gz = dz;
  const bool onNodes = nodeRoute.header[1] != 0;
  if (onNodes) {
    const CPathNode* node = g_pathNetwork.GetNode(nodeRoute.nodes[std::clamp(nodeRoute.position, 0, 49)]);
    if (node) {
      gx = node->x;
      gy = node->y;
      gz = node->level;
      AdjustNodeGoal(node->x, node->y, gz, node->values[0], dx, dy, dz);
    }
    const bool here = gx == step->words[kX] && gy == step->words[kY] && gz == step->words[kLevel];
    if (here || route.stepCount - route.stepIndex < 3) {
      const int next = nodeRoute.position + 1 < 50 ? nodeRoute.nodes[nodeRoute.position + 1] : -1;
      const CPathNode* after = g_pathNetwork.GetNode(next);
      if (after) {
        gx = after->x;
        gy = after->y;
        gz = after->level;
        AdjustNodeGoal(after->x, after->y, gz, after->values[0], dx, dy, dz);
      } else {
        gx = dx;
        gy = dy;
        gz = dz;
      }
    }
  }
  const bool oldHadGoal = RouteHasStep(dx, dy, dz);
  const int result = PlanRoute(gx, gy, gz, 0, 0, budget);
  if (result == 2) {
    route = savedRoute;
    nodeRoute = savedNodes;
    Walking() = savedWalking;
    return 2;
  }
  const bool found = result == 1 && (RouteHasStep(gx, gy, gz) || (!onNodes && !oldHadGoal));
  const int position = nodeRoute.position;
  route = savedRoute;
  nodeRoute = savedNodes;
  Walking() = savedWalking;
  if (found && onNodes) nodeRoute.position = position;
  return found ? 1 : 0;
}

int CCreature::TryBarge(int& budget) {
  CCreatureArray& pool = g_creatureArray;
  if (pool.searchPending && !pool.routeRequest[rq::kPushTrial]) return 0;
  if (order == ORDER_ATTACK_CREATURE || (order == ORDER_BEHAVIOUR && target >= 0)) {
    const CCreature* victim = pool.InUse(target);
    if (victim && InHandToHandContact(*victim, cellX, cellY, level)) return 0;
  }
  CCreature* blocker = pool.InUse(FindBlockingCreature() - 1);
  if (!blocker || !blocker->IsAlive() || blocker->typeNumber == creature_kind::kStatic || IsEnemyOf(*blocker)) return 0;
  const int o = blocker->order;
  const bool yielding = o == ORDER_WAIT || o == ORDER_REACTION_LRC || o == ORDER_BARGED ||
                        (blocker->animState == ANIM_STAND && blocker->motion.blocker);
  if (!yielding || blocker->heldKind || o == ORDER_TRAPPED || blocker->airborne) return 0;

  const int around = CanRouteAround(budget);
  if (around == 2) {
    pool.routeRequest[rq::kPushTrial] = 1;
    return 1;
  }
  pool.routeRequest[rq::kPushTrial] = 0;
  if (around) return 0;
  if (order == ORDER_BARGED && blocker->index == motion.pushedBy) {
    orderState.replanRequest = 0;
    EndHeldState();
    return 1;
  }
  if (BargeAside(blocker->index)) {
    orderState.replanRequest = 0;
    return 1;
  }
  return 0;
}

int CCreature::BargeAside(int slot) {
  CCreature* blocker = g_creatureArray.InUse(slot);
  if (!blocker || !blocker->type) return 0;
  int theirRank = 0;
  if (blocker->order == ORDER_BARGED || blocker->IsStandingObstacle(-1)) theirRank = blocker->PushRank();
  if (PushRank() <= theirRank) return 0;

  int best = 0, bestX = 0, bestY = 0, bestZ = 0;
  for (const GridStep& d : kNeighbours26) {
    const int z = blocker->level + d.dz;
    if (z < 1 || z >= g_map.levels) continue;
    const int x = WrapX(blocker->cellX + d.dx), y = WrapY(blocker->cellY + d.dy);
    int kind = kStepRefused;
    if (!blocker->CanMoveStraightTo(blocker->cellX, blocker->cellY, blocker->level, x, y, z, &kind, 1)) continue;
    int worth = kWorthFree;
    if (!blocker->CanMoveStraightTo(blocker->cellX, blocker->cellY, blocker->level, x, y, z, &kind, 0)) {
      if (WouldBlockAt(*blocker, x, y, z)) continue;
      worth = kWorthCrowded;
    }
    if (worth <= best) continue;
    if (RouteHasStep(x, y, z)) --worth;
    if (OverlapsNextStep(x, y, blocker->type->TileSizeXY)) worth = worth < 6 ? 1 : 2;
    if (worth <= best) continue;
    best = worth;
    bestX = x;
    bestY = y;
    bestZ = z;
    if (worth == kWorthFree) break;
  }
  if (!best) return 0;

  if (blocker->order != ORDER_BARGED) {
    blocker->motion.returnX = blocker->orderState.goalX;
    blocker->motion.returnY = blocker->orderState.goalY;
    blocker->motion.returnLevel = blocker->orderState.goalLevel;
    if (blocker->order == ORDER_WAIT) {
      blocker->motion.returnX = blocker->cellX;
      blocker->motion.returnY = blocker->cellY;
      blocker->motion.returnLevel = blocker->level;
    }
  }
  if (blocker->order == ORDER_BARGED) {
    blocker->orderState.goalX = bestX;
    blocker->orderState.goalY = bestY;
    blocker->orderState.goalLevel = bestZ;
    blocker->Walking() = 0;
    if (!blocker->orderState.replanRequest) blocker->orderState.replanRequest = 1;
  } else {
    blocker->StartBarged(bestX, bestY, bestZ);
  }
  blocker->orderState.standCountdown = 0;
  blocker->motion.pushRank = PushRank() - 1;
  blocker->motion.pushedBy = index;
  blocker->motion.pushed = 1;
  blocker->motion.bargeMark = 1;
  StandFor(kPusherWait);
  Walking() = 1;
  return blocker->order == ORDER_BARGED ? 1 : 0;
}

void CCreature::StartBarged(int x, int y, int z) {
  if (typeNumber == creature_kind::kUnseen) {
    EndHeldState();
    return;
  }
  if (order == ORDER_TRAPPED || order == ORDER_STUNNED || order == ORDER_RETREAT) return;
  if (typeNumber == creature_kind::kStatic || heldKind || (IsAirborneWithoutFlight() && spellState != 3)) return;
  Walking() = 0;
  ReleaseEngagement();
  if (midStep) return;
  orderState.goalX = x;
  orderState.goalY = y;
  orderState.goalLevel = z;
  SetAnimState(ANIM_STAND);
  orderState.replanRequest = 1;
  motion.pushRank = 0;
  if (IsAlive() && order == ORDER_WALK_TO_POS) HideRouteMarkers();
  pendingOrder = ORDER_NONE;
  SetOrder(ORDER_BARGED);
  HideRouteMarkers();
  if (selected) ShowGoalMarker();
}

int CCreature::OrderBarged() {
  const int gx = orderState.goalX, gy = orderState.goalY, gz = orderState.goalLevel;
  const bool atGoal = cellX == gx && cellY == gy && level == gz;
  const CCreatureMotion& m = motion;
  if (atGoal && gx == m.returnX && gy == m.returnY && gz == m.returnLevel) {
    motion.pushRank = 0;
    return EndHeldState();
  }
  if (Walking()) {
    FollowPath();
    return 0;
  }
  if (atGoal) {
    // The side cell reached: head back.
    orderState.goalX = m.returnX;
    orderState.goalY = m.returnY;
    orderState.goalLevel = m.returnLevel;
    Walking() = 0;
  }
  if (!atGoal && std::abs(cellX - gx) <= 1 && std::abs(cellY - gy) <= 1) {
    if (orderState.replanRequest) {
      SetAnimState(ANIM_STAND);
      return 0;
    }
    motion.pushRank = 0;
    return EndHeldState();
  }
  SetAnimState(ANIM_STAND);
  if (!orderState.replanRequest) orderState.replanRequest = 1;
  return 0;
}

void CCreature::SetRouteWait(int flag) {
  motion.routeWait = flag;
  if (flag) g_pathNetwork.ClearNodeCounters();
}
