// Routes over the path nodes: the node search, the entry node of a creature, and the greedy
// walk over the links.
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <vector>

#include "map/CellRouteSearch.h"
#include "map/MapHooks.h"
#include "map/MapUnits.h"
#include "map/PathNetwork.h"

namespace {

constexpr int kNodeStepKind = 5;
constexpr int kMaxEntryCandidates = 15;
constexpr int kEntrySearchBudget = 12;

int32_t ClampCost(int64_t cost) { return cost > INT32_MAX / 4 ? INT32_MAX / 4 : static_cast<int32_t>(cost); }

struct Candidate {
  int node;
  int distance;
};

// 2 x the larger plus the smaller of the wrapped |dx| and |dy|.
int WindowDistance(int x, int y, const CPathNode& node) {
  int dx = std::abs(WrapDeltaX(x, node.x)), dy = std::abs(WrapDeltaY(y, node.y));
  return 2 * std::max(dx, dy) + std::min(dx, dy);
}

}  // namespace

void CPathNetwork::GetNodeSuccessors(int node, const CBestFirstSearch::Closed& data, const CRouteMover& mover,
                                     std::vector<CSuccessor>& out, int32_t& budget) {
  if (budget < 1) return;
  --budget;
  const CPathNode* here = GetNode(node);
  if (!here) return;
  const CMoveQuery query = mover.Query();
  const bool creatureGiven = !mover.queryGiven && mover.creature >= 0;
  CSuccessor next;
  next.step.stepKind = kNodeStepKind;
  for (const CPathLink& link : here->links) {
    if (!link.Exists() || !link.Admits(query.height, query.size, query.airborne, query.movementKind)) continue;
    if (link.target < 0 || link.target >= count) continue;
    // The search reads the target's place for its estimate next.
    __builtin_prefetch(&nodes[static_cast<size_t>(link.target)].x);
    int64_t cost = link.cost;
    next.node = link.target;
    next.step.length = data.step.length + link.cost;
    next.step.rating = data.step.rating;
    if (creatureGiven) {
      int rating = g_mapHooks.creatures->RateNode(mover.creature, link.target);
      next.step.rating += rating;
      if (mover.ratingFlag) cost *= 10LL * rating + 1;
    }
    if (mover.trafficFlag) cost *= 2LL * (here->traffic + 1);
    next.cost = ClampCost(cost);
    out.push_back(next);
  }
}

int CPathNetwork::BuildCreatureRoute(CRouteRequest& request) {
  int32_t* route = request.route;
  if (route) route[0] = -1;
  const CPathNode* goal = GetNode(request.goalNode);
  if (!GetNode(request.startNode) || !goal || request.startNode >= count || request.goalNode >= count) return 0;
  if (request.restart) {
    nodeSearch.restart = true;
    request.restart = false;
  }
  nodeSearch.startStep = CSearchStep{};
  nodeSearch.Run(
      request.startNode, request.goalNode, request.budget,
      [&](int node, const CBestFirstSearch::Closed& data, std::vector<CSuccessor>& out, int32_t& left) {
        GetNodeSuccessors(node, data, request.mover, out, left);
      },
      [&](int node) { return nodes[static_cast<size_t>(node)].HeuristicCost(*goal); });

  // From the start: at most 50 indexes, ended by -1 when fewer.
  const bool reached = !nodeSearch.route.empty() && nodeSearch.route.front().first == request.goalNode;
  int written = 0;
  for (auto it = nodeSearch.route.rbegin(); it != nodeSearch.route.rend() && written < kRouteLength; ++it) {
    if (route) route[written] = it->first;
    ++written;
  }
  if (route && written < kRouteLength) route[written] = -1;
  if (reached && request.mover.trafficFlag && route)
    for (int i = 0; i < written; ++i) ++nodes[static_cast<size_t>(route[i])].traffic;
  return reached ? 1 : 0;
}

int CPathNetwork::SearchNodeRoute(int from, int to, const CMoveQuery& query) const {
  if (from < 0 || from >= count || to < 0 || to >= count) return 0;
  std::vector<uint8_t> seen(static_cast<size_t>(count), 0);
  std::vector<int> open{from};
  seen[static_cast<size_t>(from)] = 1;
  while (!open.empty()) {
    const int node = open.back();
    open.pop_back();
    if (node == to) return 1;
    for (const CPathLink& link : nodes[static_cast<size_t>(node)].links) {
      if (!link.Admits(query.height, query.size, query.airborne, query.movementKind)) continue;
      if (link.target < 0 || link.target >= count || seen[static_cast<size_t>(link.target)]) continue;
      seen[static_cast<size_t>(link.target)] = 1;
      open.push_back(link.target);
    }
  }
  return 0;
}

int CPathNetwork::FindNearestReachableNode(const CLocationRequest& location) {
  if (count <= 0 || !g_map.cells) return -1;
  const int x = CWrapCoord::WrapX(location.x), y = CWrapCoord::WrapY(location.y), level = location.level;
  const CMoveQuery query = location.mover.Query();
  int lo = FindFirstNodeAtX(CWrapCoord::WrapX(x - 4)), hi = FindFirstNodeAtX(CWrapCoord::WrapX(x + 5));

  std::vector<Candidate> candidates;
  auto consider = [&](int index) {
    const CPathNode& node = nodes[static_cast<size_t>(index)];
    int d = WindowDistance(x, y, node);
    if (d > 9) return;
    if (location.biasX || location.biasY) d = WindowDistance(x + location.biasX, y + location.biasY, node);
    if (g_map.CanOccupy(node.x, node.y, node.level, query)) candidates.push_back({index, d});
  };
  if (lo < hi) {
    for (int i = lo; i <= hi && static_cast<int>(candidates.size()) < kMaxEntryCandidates; ++i) consider(i);
  } else {
    for (int i = lo; i < count && static_cast<int>(candidates.size()) < kMaxEntryCandidates; ++i) consider(i);
    if (hi < lo)
      for (int i = 0; i <= hi && static_cast<int>(candidates.size()) < kMaxEntryCandidates; ++i) consider(i);
  }
  std::stable_sort(candidates.begin(), candidates.end(),
                   [](const Candidate& a, const Candidate& b) { return a.distance < b.distance; });

  // Where the creature aims for a node: a swimmer floats above a node under the water.
  auto targetOf = [&](const CPathNode& node) {
    CellPos target{node.x, node.y, node.level};
    if (query.movementKind == kMovementSwimmer && node.level < g_map.waterLevel)
      target.z = g_map.waterLevel - query.height;
    return target;
  };
  for (const Candidate& candidate : candidates) {
    CellPos target = targetOf(nodes[static_cast<size_t>(candidate.node)]);
    if (g_map.GreedyWalk(x, y, level, target.x, target.y, target.z, query)) return candidate.node;
  }
  if (!g_map.IsInside(x, y, level)) return -1;
  for (const Candidate& candidate : candidates) {
    CellPos target = targetOf(nodes[static_cast<size_t>(candidate.node)]);
    if (!g_map.IsInside(target.x, target.y, target.z)) continue;
    CRouteMover mover = location.mover;
    mover.queryGiven = true;
    mover.query = query;
    mover.start = CellPos{x, y, level};
    mover.goal = target;
    int32_t budget = kEntrySearchBudget;
    entrySearch.restart = true;
    entrySearch.startStep = CSearchStep{};
    int goalIndex = g_map.CellIndex(target.x, target.y, target.z);
    entrySearch.Run(
        g_map.CellIndex(x, y, level), goalIndex, budget,
        [&](int node, const CBestFirstSearch::Closed& data, std::vector<CSuccessor>& out, int32_t& left) {
          CellSuccessors(node, data, mover, out, left);
        },
        [&](int node) { return CellHeuristic(node, mover.goal); });
    for (const auto& entry : entrySearch.route)
      if (entry.first == goalIndex) return candidate.node;
  }
  return -1;
}

int CPathNetwork::FindRouteMidpoint(int start, int goal, const CMoveQuery& query, int* middle) {
  if (middle) *middle = -1;
  walkList.clear();
  const CPathNode* goalNode = GetNode(goal);
  if (!GetNode(start) || !goalNode) return 0;
  walkList.push_back(start);
  auto distanceSq = [&](const CPathNode& node) {
    int64_t dx = WrapDeltaX(node.x, goalNode->x), dy = WrapDeltaY(node.y, goalNode->y),
            dz = goalNode->level - node.level;
    return dx * dx + dy * dy + dz * dz;
  };
  int current = start;
  // Every step is strictly nearer the goal, so the walk ends.
  while (current != goal) {
    const CPathNode& here = nodes[static_cast<size_t>(current)];
    int64_t best = distanceSq(here);
    int next = -1;
    for (const CPathLink& link : here.links) {
      if (!link.Admits(query.height, query.size, query.airborne, query.movementKind)) continue;
      const CPathNode* target = GetNode(link.target);
      if (!target) continue;
      int64_t d = distanceSq(*target);
      if (d < best) {
        best = d;
        next = link.target;
      }
    }
    if (next < 0) return 0;
    walkList.push_back(next);
    current = next;
  }
  if (middle) *middle = walkList[(walkList.size() - 1) / 2];
  return 1;
}

int TravelTime(int distance, int speed) {
  if (speed <= 0) return distance != 0 ? INT_MAX : 0;
  uint32_t d = static_cast<uint32_t>(distance);
  return static_cast<int>(((d / 4) * 2304u / 2u) / static_cast<uint32_t>(speed));
}
