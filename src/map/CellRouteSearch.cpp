#include "map/CellRouteSearch.h"

#include <cstdlib>

#include "map/MapHooks.h"
#include "map/MapUnits.h"

CCellRouteSearch g_cellRouteSearch[2];
int g_routeSearchFloor = 0;

namespace {

// The moves along a cell's connection bits: (dx, dy, dz), the bit, the cost.
struct ConnectionMove {
  int dx, dy, dz;
  uint16_t bit;
  int cost;
};
constexpr ConnectionMove kConnectionMoves[6] = {
    {-1, 0, 0, shape_bits::kConnectWest, 2},  {1, 0, 0, shape_bits::kConnectEast, 2},
    {0, -1, 0, shape_bits::kConnectNorth, 2}, {0, 1, 0, shape_bits::kConnectSouth, 2},
    {0, 0, -1, shape_bits::kConnectDown, 1},  {0, 0, 1, shape_bits::kConnectUp, 3},
};

constexpr int kStepFactorFlying = 1, kStepFactorSpecial = 3, kStepFactorGround = 2;

CellPos PositionOf(int cellIndex) {
  CellPos p;
  g_map.UnpackCellOffset(g_map.cells + cellIndex, p.x, p.y, p.z);
  return p;
}

CSearchStep StepInto(const CSearchStep& arrived, int dx, int dy, int dz, int kind) {
  CSearchStep step;
  step.stepKind = kind;
  step.facing = (dx || dy) ? DirectionFromStep(dx, dy) : arrived.facing;
  step.levelChange = (dx || dy) ? 0 : dz;
  step.turn = DirectionDifference(arrived.facing, step.facing);
  step.length = arrived.length + 1;
  return step;
}

void ConnectionSuccessors(const CellPos& at, const CMapCell& cell, const CBestFirstSearch::Closed& data,
                          const CRouteMover& mover, std::vector<CSuccessor>& out) {
  if (mover.costLimit != -1 && mover.costLimit <= data.step.length) return;
  for (const ConnectionMove& move : kConnectionMoves) {
    if (!(cell.shape & move.bit)) continue;
    int nz = at.z + move.dz;
    if (nz < 0 || nz >= g_map.levels) continue;
    int nx = CWrapCoord::WrapX(at.x + move.dx), ny = CWrapCoord::WrapY(at.y + move.dy);
    if (mover.distanceLimit != -1) {
      int64_t gx = WrapDeltaX(nx, mover.goal.x), gy = WrapDeltaY(ny, mover.goal.y);
      if (static_cast<int64_t>(IntegerSqrt(static_cast<uint64_t>(gx * gx + gy * gy))) >= mover.distanceLimit) continue;
    }
    out.push_back({move.cost, g_map.CellIndex(nx, ny, nz), StepInto(data.step, move.dx, move.dy, move.dz, 0)});
  }
}

// Outside the box of start and goal widened by one cell in some axis.
bool OutsideSearchBox(const CellPos& n, const CRouteMover& mover) {
  int boxX = std::abs(WrapDeltaX(mover.start.x, mover.goal.x)) + 1;
  int boxY = std::abs(WrapDeltaY(mover.start.y, mover.goal.y)) + 1;
  int boxZ = std::abs(mover.goal.z - mover.start.z) + 1;
  for (const CellPos& end : {mover.goal, mover.start}) {
    if (std::abs(WrapDeltaX(n.x, end.x)) > boxX || std::abs(WrapDeltaY(n.y, end.y)) > boxY ||
        std::abs(end.z - n.z) > boxZ)
      return true;
  }
  return false;
}

// A creature's own step cost: its speed, the turn the step makes and the kind of step.
int CreatureStepCost(const CRouteMover& mover, int dx, int dy, int dz, const CSearchStep& step, const CellPos& n) {
  IMapCreatures& creatures = *g_mapHooks.creatures;
  CreatureTypeTraits traits;
  creatures.GetRouteTraits(mover.creature, traits);
  int factor = std::max(creatures.GetMoveTime(mover.creature, step.turn), 1);
  int64_t cost = static_cast<int64_t>(CellDistanceApprox(dx, dy, dz)) * traits.speed * 4 / factor;
  cost *= step.stepKind == 1                           ? kStepFactorFlying
          : (step.stepKind == 2 || step.stepKind == 3) ? kStepFactorSpecial
                                                       : kStepFactorGround;
  if (traits.avoidsWater) {
    bool wet = g_map.CellAt(n.x, n.y, n.z).state & state_bits::kField10;
    if (!wet && n.z >= 1) wet = g_map.CellAt(n.x, n.y, n.z - 1).state & state_bits::kField10;
    if (wet) cost *= 3;
  }
  return cost > INT32_MAX / 4 ? INT32_MAX / 4 : static_cast<int>(cost);
}

}  // namespace

void CellSuccessors(int cellIndex, const CBestFirstSearch::Closed& data, const CRouteMover& mover,
                    std::vector<CSuccessor>& out, int32_t& budget) {
  if (budget < 1 || !g_map.cells) return;
  --budget;
  const CellPos at = PositionOf(cellIndex);
  const CMapCell& cell = g_map.cells[cellIndex];
  if (mover.connectionMoves) {
    ConnectionSuccessors(at, cell, data, mover, out);
    return;
  }
  const bool useQuery = mover.queryGiven || mover.creature < 0;
  const CMoveQuery query = mover.Query();
  int support = -1;
  if (useQuery) {
    if (!g_map.HasRoomAt(at.x, at.y, at.z, query)) return;
    support = g_map.FindGroundSupport(at.x, at.y, at.z, query);
  }
  const int low = std::max(at.z - 1, g_routeSearchFloor), high = std::min(at.z + 1, g_map.levels - 1);
  for (const GridStep& d : kNeighbours26) {
    CellPos n{CWrapCoord::WrapX(at.x + d.dx), CWrapCoord::WrapY(at.y + d.dy), at.z + d.dz};
    if (n.z < low || n.z > high || OutsideSearchBox(n, mover)) continue;
    int kind = kStepRefused;
    int cost;
    if (useQuery) {
      int startSupport = support;
      if (!g_map.CanStepBetween(at.x, at.y, at.z, n.x, n.y, n.z, query, &kind, &startSupport)) continue;
      cost = 8 * CellDistanceApprox(d.dx, d.dy, d.dz);
    } else {
      if (!g_mapHooks.creatures->CanMoveStraightTo(mover.creature, at.x, at.y, at.z, n.x, n.y, n.z, 0, &kind)) continue;
      cost = 0;
    }
    CSearchStep step = StepInto(data.step, d.dx, d.dy, d.dz, kind);
    if (!useQuery) cost = CreatureStepCost(mover, d.dx, d.dy, d.dz, step, n);
    out.push_back({cost, g_map.CellIndex(n.x, n.y, n.z), step});
  }
}

int CellHeuristic(int cellIndex, const CellPos& goal) {
  CellPos at = PositionOf(cellIndex);
  return 20 * CellDistanceApprox(WrapDeltaX(at.x, goal.x), WrapDeltaY(at.y, goal.y), goal.z - at.z);
}

void CCellRouteSearch::Search(int creature, int secondCreature, int goalX, int goalY, int goalLevel, int32_t& budget) {
  block.goalX = goalX;
  block.goalY = goalY;
  block.goalLevel = goalLevel;
  block.count = 0;
  block.nextWaypoint = 0;
  CreaturePlace place;
  if (!g_map.cells || !g_mapHooks.creatures->GetPlace(creature, place)) return;
  CRouteMover mover;
  mover.creature = creature;
  mover.secondCreature = secondCreature;
  mover.start = CellPos{CWrapCoord::WrapX(place.x), CWrapCoord::WrapY(place.y), place.level};
  mover.goal = CellPos{CWrapCoord::WrapX(goalX), CWrapCoord::WrapY(goalY), goalLevel};
  if (!g_map.IsInside(mover.start.x, mover.start.y, mover.start.z) ||
      !g_map.IsInside(mover.goal.x, mover.goal.y, mover.goal.z))
    return;
  const int facing = g_mapHooks.creatures->GetFacing(creature);
  search.startStep.facing = facing;
  int startIndex = g_map.CellIndex(mover.start.x, mover.start.y, mover.start.z);
  int goalIndex = g_map.CellIndex(mover.goal.x, mover.goal.y, mover.goal.z);
  search.Run(
      startIndex, goalIndex, budget,
      [&](int node, const CBestFirstSearch::Closed& data, std::vector<CSuccessor>& out, int32_t& left) {
        CellSuccessors(node, data, mover, out, left);
      },
      [&](int node) { return CellHeuristic(node, mover.goal); });

  // The route from the start: each further cell is a waypoint, at most 16.
  CellPos previous = mover.start;
  int previousFacing = facing;
  for (auto it = search.route.rbegin(); it != search.route.rend(); ++it) {
    if (it == search.route.rbegin()) continue;  // the creature's own cell
    if (block.count >= CRouteBlock::kWaypoints) break;
    CellPos p = PositionOf(it->first);
    CWaypoint& waypoint = block.waypoints[block.count++];
    waypoint.x = p.x;
    waypoint.y = p.y;
    waypoint.level = p.z;
    int dx = WrapDeltaX(previous.x, p.x), dy = WrapDeltaY(previous.y, p.y);
    if (dx == 0 && dy == 0) {
      waypoint.facing = previousFacing;
      waypoint.levelChange = p.z - previous.z;
    } else {
      waypoint.facing = DirectionFromStep(dx, dy);
      waypoint.levelChange = 0;
    }
    waypoint.stepKind = it->second.stepKind;
    waypoint.special = waypoint.stepKind >= 1 && waypoint.stepKind <= 3 ? 1 : 0;
    previous = p;
    previousFacing = waypoint.facing;
  }
  block.nextWaypoint = 0;
}
