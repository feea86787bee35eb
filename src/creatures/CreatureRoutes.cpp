// Route planning: a coarse route over the path nodes and a fine route of at most 16 cell steps
// toward the next node or the goal, the one pending request that lets a cell search run over
// several frames within the scheduler's budget, the straight-line route, and who blocks a
// refused step.
#include "creatures/CreatureRoutes.h"

#include <algorithm>
#include <cstdlib>

#include "core/Options.h"
#include "creatures/CreatureArray.h"
#include "map/CellRouteSearch.h"
#include "map/LineStepper.h"
#include "map/Map.h"
#include "map/MapCell.h"
#include "map/MapUnits.h"
#include "map/PathNetwork.h"
#include "map/TerrainType.h"

namespace {

using namespace route_step;
namespace rq = route_request;

constexpr int kShortLinks = 180;  // two network links shorter than this are walked as one
constexpr int kNodeRouteLimit = 500;
constexpr int kBlockerChainLimit = 10;
constexpr int kCutWithNetwork = 3;
constexpr int kRouteNodes = 50;

// While a search plans with the avoid flag, its steps are tested against the map alone.
int g_searchMapOnly = 0;

int Sign(int v) { return (v > 0) - (v < 0); }

// The direction toward a goal the short way round the map: +1, -1 or 0.
int Toward(int from, int to, int size) {
  if (size <= 0) return Sign(to - from);
  int d = to - from;
  if (d > size / 2) d -= size;
  if (d < -size / 2) d += size;
  return Sign(d);
}

void CopyFromBlock(const CRouteBlock& block, CCreatureRoute& route) {
  route.goalX = block.goalX;
  route.goalY = block.goalY;
  route.goalLevel = block.goalLevel;
  route.stepIndex = block.nextWaypoint;
  route.stepCount = std::clamp(block.count, 0, kMaxRouteSteps);
  for (int i = 0; i < route.stepCount; ++i) {
    const CWaypoint& w = block.waypoints[i];
    int32_t* s = route.steps[i].words;
    s[kX] = w.x;
    s[kY] = w.y;
    s[kLevel] = w.level;
    s[kFacing] = w.facing;
    s[kLevelChange] = w.levelChange;
    s[kAirborne] = w.special;
    s[kKind] = w.stepKind;
  }
}

struct NodePoint {
  bool valid = false;
  int x = 0, y = 0, z = 0;
};

}  // namespace

bool CellBurns(int x, int y, int z) { return g_map.FireBurnsIn(x, y, z) || (z > 1 && g_map.FireBurnsIn(x, y, z - 1)); }

const CRouteStep* CCreature::CurrentStep() const {
  if (route.stepIndex < 0 || route.stepIndex >= route.stepCount || route.stepIndex >= kMaxRouteSteps) return nullptr;
  return &route.steps[route.stepIndex];
}

// --- the step test ---

bool CCreature::FitsAt(int x, int y, int z) const {
  const CMoveQuery query = MakeMoveQuery();
  return g_map.CanOccupy(x, y, z, query) && g_map.HasRoomForCreature(x, y, z, index, query);
}

int CCreature::CanMoveStraightTo(int x0, int y0, int z0, int x1, int y1, int z1, int* kind, int mapOnly) const {
  int stepKind = kStepRefused;
  int support = -1;
  const CMoveQuery query = MakeMoveQuery();
  int passes = g_map.CanStepBetween(x0, y0, z0, x1, y1, z1, query, &stepKind, &support);
  if (passes && !mapOnly) {
    const int dx = WrapDeltaX(x0, x1), dy = WrapDeltaY(y0, y1), dz = z1 - z0;
    if (!FitsAt(x1, y1, z1)) {
      passes = 0;
    } else if ((type && type->TileSizeXY == 2) || dx * dx + dy * dy + dz * dz < 2) {
      passes = 1;
    } else {
      // Round the corner the creature passes through the air beside the step: one side needs
      // room clear of others, but no ground to stand on (as in the map's own corner rule), or
      // no creature could ever step up or down a level sideways.
      const auto clear = [&](int x, int y, int z) {
        return g_map.HasRoomAt(x, y, z, query) && g_map.HasRoomForCreature(x, y, z, index, query);
      };
      passes = (clear(x1, y0, z0) && clear(x0, y1, z0) && clear(x1, y1, z0)) ||
               (clear(x0, y0, z1) && clear(x1, y0, z1) && clear(x0, y1, z1));
    }
  }
  if (kind) *kind = passes ? stepKind : kStepRefused;
  return passes ? 1 : 0;
}

int CCreature::CanMoveStraightTo(int x, int y, int z) {
  int kind = kStepRefused;
  return CanMoveStraightTo(cellX, cellY, level, x, y, z, &kind, 0);
}

int CreatureStepTest(int slot, int x0, int y0, int z0, int x1, int y1, int z1, int mapOnly, int* kind) {
  const CCreature* creature = g_creatureArray.InUse(slot);
  if (!creature) {
    if (kind) *kind = kStepRefused;
    return 0;
  }
  return creature->CanMoveStraightTo(x0, y0, z0, x1, y1, z1, kind, mapOnly || g_searchMapOnly);
}

// --- the straight route ---

void FillRouteStep(CRouteStep& step, int px, int py, int pz, int nx, int ny, int nz, int lastFacing, int kind) {
  int32_t* s = step.words;
  const int dx = WrapDeltaX(px, nx), dy = WrapDeltaY(py, ny);
  s[kX] = nx;
  s[kY] = ny;
  s[kLevel] = nz;
  s[kFacing] = (dx || dy) ? DirectionFromStep(dx, dy) : lastFacing;
  s[kLevelChange] = (dx || dy) ? 0 : nz - pz;
  s[kAirborne] = kind >= 1 && kind <= 3 ? 1 : 0;
  s[kKind] = kind;
}

int CCreature::BuildStraightRoute(int x, int y, int z, CCreatureRoute& out) const {
  out = route;
  out.goalX = x;
  out.goalY = y;
  out.goalLevel = z;
  out.stepCount = 0;
  CLineStepper line;
  int32_t length = 0;
  line.StartWrapped(cellX, cellY, level, x, y, z, &length);
  int px = cellX, py = cellY, pz = level;
  int lastFacing = facing;
  const CMoveQuery query = MakeMoveQuery();
  const bool burnable = type && type->BurnDamage != 0;
  for (;;) {
    if (px == CWrapCoord::WrapX(x) && py == CWrapCoord::WrapY(y) && pz == z) {
      out.stepIndex = 0;
      return 1;
    }
    if (out.stepCount >= kMaxRouteSteps) return 0;
    int nx = px, ny = py, nz = pz;
    line.Step(nx, ny, nz, length);
    nx = CWrapCoord::WrapX(nx);
    ny = CWrapCoord::WrapY(ny);
    if (nz < 0 || nz >= g_map.levels) return 0;
    int kind = kStepRefused, support = -1;
    if (!g_map.CanStepBetween(px, py, pz, nx, ny, nz, query, &kind, &support)) return 0;
    if (burnable && CellBurns(nx, ny, nz)) return 0;
    CRouteStep& step = out.steps[out.stepCount++];
    FillRouteStep(step, px, py, pz, nx, ny, nz, lastFacing, kind);
    lastFacing = step.words[kFacing];
    px = nx;
    py = ny;
    pz = nz;
  }
}

// --- path-node goals ---

void CCreature::AdjustNodeGoal(int nodeX, int nodeY, int& nodeLevel, int nodeFlag, int goalX, int goalY,
                               int goalLevel) const {
  if (!type) return;
  if (type->CanFly && nodeFlag) {
    const int height = type->FlyingHeight;
    bool room = goalLevel > height;
    for (int z = goalLevel; room && z > goalLevel - height; --z) room = z > 0 && HasRoomAt(goalX, goalY, z);
    if (room) {
      for (int raised = 0;
           raised < height - 1 && nodeLevel + 1 < g_map.levels && HasRoomAt(nodeX, nodeY, nodeLevel + 1); ++raised)
        ++nodeLevel;
    } else if (nodeLevel < level && HasRoomAt(nodeX, nodeY, level)) {
      nodeLevel = level;
    }
  }
  if (type->SwimmingAbility == kMovementSwimmer && nodeLevel < g_map.waterLevel)
    nodeLevel = g_map.waterLevel - type->TileHeight;
}

namespace {

NodePoint AdjustedNode(const CCreature& creature, int node, int goalX, int goalY, int goalLevel) {
  NodePoint p;
  const CPathNode* n = g_pathNetwork.GetNode(node);
  if (!n) return p;
  p.valid = true;
  p.x = n->x;
  p.y = n->y;
  p.z = n->level;
  creature.AdjustNodeGoal(p.x, p.y, p.z, n->values[0], goalX, goalY, goalLevel);
  return p;
}

int EntryNode(const CCreature& creature, int x, int y, int z, int biasX, int biasY) {
  CLocationRequest location;
  location.x = x;
  location.y = y;
  location.level = z;
  location.mover.creature = creature.index;
  location.mover.queryGiven = true;
  location.mover.query = creature.MakeMoveQuery();
  location.biasX = biasX;
  location.biasY = biasY;
  return g_pathNetwork.FindNearestReachableNode(location);
}

int Link(int a, int b) { return g_pathNetwork.FindLink(a, b); }

// Builds a fresh network route toward the goal: true when it became active.
bool StartNodeRoute(CCreature& c, int gx, int gy, int gz) {
  CNodeRoute& nr = c.nodeRoute;
  nr.header[1] = 0;
  nr.nodes[0] = -1;
  const int entry =
      EntryNode(c, c.cellX, c.cellY, c.level, Toward(c.cellX, gx, g_map.width), Toward(c.cellY, gy, g_map.height));
  int ax = gx, ay = gy, az = gz;
  const CMoveQuery query = c.MakeMoveQuery();
  if (!g_map.CanOccupy(CWrapCoord::WrapX(ax), CWrapCoord::WrapY(ay), az, query)) {
    ax = CWrapCoord::WrapX(ax);
    ay = CWrapCoord::WrapY(ay);
    g_map.AdjustRouteGoal(query, ax, ay, az);
  }
  const int goalNode = EntryNode(c, ax, ay, az, 0, 0);
  if (entry < 0 || goalNode < 0) return false;
  CRouteRequest request;
  request.startNode = entry;
  request.goalNode = goalNode;
  request.mover.creature = c.index;
  request.mover.queryGiven = true;
  request.mover.query = c.MakeMoveQuery();
  if (c.aiDangerRoute) {
    // The node search then asks the creature for its query and its ratings of the nodes.
    request.mover.queryGiven = false;
    request.mover.ratingFlag = 1;
  }
  request.route = nr.nodes;
  request.budget = kNodeRouteLimit;
  if (!g_pathNetwork.BuildCreatureRoute(request)) return false;
  if (nr.nodes[0] < 0 || nr.nodes[1] < 0 || nr.nodes[2] < 0) return false;
  nr.header[1] = 1;
  nr.goal[0] = gx;
  nr.goal[1] = gy;
  nr.goal[2] = gz;
  nr.position = 1;
  if (Link(nr.nodes[0], nr.nodes[1]) + Link(nr.nodes[1], nr.nodes[2]) < kShortLinks) {
    if (kRouteNodes <= 3 || nr.nodes[3] < 0) {
      nr.header[1] = 0;
      return false;
    }
    nr.position = 2;
  }
  return true;
}

}  // namespace

// --- planning ---

int CCreature::PlanRoute(int x, int y, int z, int avoid, int useNetwork, int& budget) {
  CCreatureArray& pool = g_creatureArray;
  int32_t* req = pool.routeRequest;
  CNodeRoute& nr = nodeRoute;
  const bool sameRequest = pool.searchPending && req[rq::kGoalX] == x && req[rq::kGoalY] == y &&
                           req[rq::kGoalLevel] == z && req[rq::kAvoid] == avoid;
  if (sameRequest && !nr.header[1]) useNetwork = 0;

  int gx = x, gy = y, gz = z;  // the (sub-)goal searched toward
  bool networkUsed = false;
  if (g_useNodeMap && useNetwork) {
    const bool sameGoal = nr.header[1] && nr.goal[0] == x && nr.goal[1] == y && nr.goal[2] == z;
    if (!sameGoal) {
      route.stepCount = 0;
      route.stepIndex = 0;
      if (StartNodeRoute(*this, x, y, z)) {
        const NodePoint p = AdjustedNode(*this, nr.nodes[nr.position], x, y, z);
        gx = p.x;
        gy = p.y;
        gz = p.z;
        networkUsed = true;
      }
    } else {
      const int pos = nr.position;
      const NodePoint here =
          pos < kRouteNodes && nr.nodes[pos] >= 0 ? AdjustedNode(*this, nr.nodes[pos], x, y, z) : NodePoint{};
      if (pool.searchPending && here.valid && req[rq::kGoalX] == here.x && req[rq::kGoalY] == here.y &&
          req[rq::kGoalLevel] == here.z) {
        gx = here.x;
        gy = here.y;
        gz = here.z;
        networkUsed = true;
      } else {
        const bool nextIsLast = pos + 1 >= kRouteNodes || nr.nodes[pos + 1] < 0;
        const int previousLink = pos >= 1 && here.valid ? Link(nr.nodes[pos - 1], nr.nodes[pos]) : 0;
        if (!here.valid || (nextIsLast && previousLink < kShortLinks)) {
          nr.header[1] = 0;
        } else {
          if (pos + 2 < kRouteNodes && nr.nodes[pos + 1] >= 0 && nr.nodes[pos + 2] >= 0 &&
              previousLink + Link(nr.nodes[pos], nr.nodes[pos + 1]) < kShortLinks)
            ++nr.position;
          const NodePoint p = AdjustedNode(*this, nr.nodes[nr.position], x, y, z);
          if (p.valid) {
            gx = p.x;
            gy = p.y;
            gz = p.z;
            networkUsed = true;
          } else {
            nr.header[1] = 0;
          }
        }
      }
    }
  }

  CCellRouteSearch& search = g_cellRouteSearch[1];
  const bool continues = pool.searchPending && req[rq::kGoalX] == gx && req[rq::kGoalY] == gy &&
                         req[rq::kGoalLevel] == gz && req[rq::kAvoid] == avoid && req[rq::kStartX] == cellX &&
                         req[rq::kStartY] == cellY && req[rq::kStartLevel] == level;
  bool done = false;
  if (!continues) {
    search.search.restart = true;
    req[rq::kBudget] = kRequestBudget;
    if (avoid) {
      CCreatureRoute straight;
      if (BuildStraightRoute(gx, gy, gz, straight)) {
        route = straight;
        done = true;
      }
    }
  }
  if (!done) {
    int32_t spend = std::min(budget, req[rq::kBudget]);
    const int32_t before = spend;
    g_searchMapOnly = avoid;
    search.Search(index, -1, gx, gy, gz, spend);
    g_searchMapOnly = 0;
    budget -= before - spend;
    req[rq::kBudget] -= before - spend;
    if (budget <= 0 && req[rq::kBudget] >= 1) {
      pool.searchPending = 1;
      req[rq::kGoalX] = gx;
      req[rq::kGoalY] = gy;
      req[rq::kGoalLevel] = gz;
      req[rq::kAvoid] = avoid;
      req[rq::kStartX] = cellX;
      req[rq::kStartY] = cellY;
      req[rq::kStartLevel] = level;
      motion.routeWait = 0;
      return 2;
    }
    CopyFromBlock(search.block, route);
  }
  if (networkUsed && nr.header[1]) {
    route.goalX = x;
    route.goalY = y;
    route.goalLevel = z;
    if (route.stepCount > kCutWithNetwork) route.stepCount -= kCutWithNetwork;
  }
  Walking() = route.stepCount ? 1 : 0;
  pool.searchPending = 0;
  req[rq::kPushTrial] = 0;
  motion.routeWait = 0;
  return route.stepCount ? 1 : 0;
}

int CCreature::PlanCellRoute(int x, int y, int z) {
  CCellRouteSearch& search = g_cellRouteSearch[0];
  search.search.restart = true;
  int32_t budget = std::max(g_maxNodesForRouteFinding, 0);
  search.Search(index, -1, x, y, z, budget);
  CopyFromBlock(search.block, route);
  nodeRoute.header[1] = 0;
  Walking() = route.stepCount ? 1 : 0;
  return route.stepCount ? 1 : 0;
}

// --- blockers ---

int CCreature::IsStandingObstacle(int asker) const {
  if (!IsAlive()) return 0;
  if (midStep) return 1;
  if (orderState.replanRequest == 1 && animState == ANIM_STAND && order != ORDER_BARGED) return 1;
  if (!motion.blocker) return 0;
  if (asker == -1) return 1;
  if (motion.blocker - 1 == asker) return 0;
  const CCreature* link = this;
  for (int links = 0; links < kBlockerChainLimit; ++links) {
    link = g_creatureArray.InUse(link->motion.blocker - 1);
    if (!link) return 1;
    if (link->index == asker) return 0;
    if (!link->motion.blocker) return 1;
  }
  return 1;
}

int CCreature::FindOccupantAt(int x, int y, int z) const {
  const int size = type ? type->TileSizeXY : 1, height = type ? type->TileHeight : 1;
  for (int dz = 0; dz < height && z + dz < g_map.levels; ++dz)
    for (int dy = 0; dy < size; ++dy)
      for (int dx = 0; dx < size; ++dx) {
        const CMapCell* cell = g_map.CellAtWrapped(x + dx, y + dy, z + dz);
        if (!cell || !(cell->state & state_bits::kOccupancy) || cell->occupant == kNoOccupant ||
            cell->occupant == index)
          continue;
        const CCreature* other = g_creatureArray.InUse(cell->occupant);
        if (other && other->IsStandingObstacle(index)) return other->index + 1;
      }
  return 0;
}

int CCreature::FindBlocker() {
  const CRouteStep* step = CurrentStep();
  if (!step) return 0;
  const int sx = step->words[kX], sy = step->words[kY], sz = step->words[kLevel];
  int kind = kStepRefused;
  if (!CanMoveStraightTo(cellX, cellY, level, sx, sy, sz, &kind, 1)) return 0;
  if (const CMapCell* cell = g_map.CellAtWrapped(sx, sy, sz))
    if ((cell->state & state_bits::kFieldMask) == state_bits::kField20) return 0;
  int hit = FindOccupantAt(sx, sy, sz);
  if (!hit) {
    const int dx = WrapDeltaX(cellX, sx), dy = WrapDeltaY(cellY, sy), dz = sz - level;
    if ((type && type->TileSizeXY == 2) || dx * dx + dy * dy + dz * dz <= 1) return 0;
    hit =
        ProbeCorners(cellX, cellY, level, sx, sy, sz, [this](int x, int y, int z) { return FindOccupantAt(x, y, z); });
  }
  if (!hit) return 0;
  motion.blocker = hit;
  return 1;
}
