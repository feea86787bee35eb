// The stepped straight move: a creature thrown, leaping or drifting along a line rather than
// walking a planned route. The map's line stepper gives the steps one by one from each point
// reached; the creature then walks them backwards (facing away from where it goes) with the
// airborne form of its step test, so that it may leave the ground on the way.
#include <algorithm>

#include "creatures/CreatureOrders.h"
#include "creatures/CreatureRoutes.h"
#include "map/Map.h"
#include "map/MapUnits.h"

namespace {

// The seven parameters of the move, kept in the record so that a move noted during a step can
// start when the step ends: the target cell, then the shape the stepper reads.
constexpr int kLineWords = 7;

bool HoldsStillForWalk(const CCreature& c) {
  return c.order == ORDER_TRAPPED || c.order == ORDER_STUNNED || c.order == ORDER_LIFTED ||
         c.typeNumber == creature_kind::kStatic || c.provoked || c.orderState.panicking || c.orderState.earthBound;
}

}  // namespace

void CCreature::StoreLineMove(const CLineMoveParams& line) {
  const int32_t words[kLineWords] = {line.targetX,  line.targetY,  line.targetLevel, line.shape[0],
                                     line.shape[1], line.shape[2], line.shape[3]};
  std::copy(words, words + kLineWords, moveWords);
}

CLineMoveParams CCreature::StoredLineMove() const {
  CLineMoveParams line;
  line.targetX = moveWords[0];
  line.targetY = moveWords[1];
  line.targetLevel = moveWords[2];
  std::copy(moveWords + 3, moveWords + kLineWords, line.shape);
  return line;
}

CMoveQuery CCreature::LineMoveQuery() const {
  CMoveQuery query = MakeMoveQuery();
  query.flying = 1;
  return query;
}

int CCreature::StartLineMove(const CLineMoveParams& line) {
  StoreLineMove(line);
  if (midStep) {
    // The walk order starts the stored move again when this step ends.
    motion.walkRestart = 1;
    attackApproach = 1;
    pendingOrder = ORDER_WALK_TO_POS;
    return 1;
  }
  if (!type || !IsAlive() || HoldsStillForWalk(*this)) return 0;
  attackApproach = 1;
  CCreatureRoute planned = route;
  planned.stepCount = 0;
  int x = cellX, y = cellY, z = level, lastFacing = facing;
  while (planned.stepCount < kMaxRouteSteps) {
    int nx = x, ny = y, nz = z, kind = kStepRefused;
    if (!g_map.TraceStepLine(line, LineMoveQuery(), nx, ny, nz, &kind)) break;
    CRouteStep& step = planned.steps[planned.stepCount++];
    FillRouteStep(step, x, y, z, nx, ny, nz, lastFacing, kind);
    lastFacing = step.words[route_step::kFacing];
    x = nx;
    y = ny;
    z = nz;
  }
  if (planned.stepCount == 0) {
    attackApproach = 0;
    return 0;
  }
  planned.goalX = x;
  planned.goalY = y;
  planned.goalLevel = z;
  planned.stepIndex = 0;
  route = planned;
  nodeRoute.header[1] = 0;
  // The walk order to the line's end. A levitating creature that cannot fly takes it too
  // (the drift is its only way of moving), so it is given here rather than through WalkTo.
  ReleaseEngagement();
  orderState.goalX = x;
  orderState.goalY = y;
  orderState.goalLevel = z;
  orderState.replanRequest = 0;
  behaviourSubState = 0;
  orderState.lineMove = 1;
  attackApproach = 1;
  mirrored = 1;
  Walking() = 1;
  SetOrder(ORDER_WALK_TO_POS);
  return 1;
}

void CCreature::StartDrift(int direction, int speed, int length) {
  const GridStep& toward = kDirectionSteps[direction & 7];
  CLineMoveParams line;
  line.targetX = CWrapCoord::WrapX(cellX + toward.dx);
  line.targetY = CWrapCoord::WrapY(cellY + toward.dy);
  line.targetLevel = level;
  line.shape[0] = direction & 7;
  line.shape[2] = speed;
  line.shape[3] = length;
  StartLineMove(line);
}
