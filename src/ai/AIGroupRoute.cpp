#include "ai/AIGroupRoute.h"

#include <algorithm>

#include "ai/AIBudget.h"
#include "map/PathNetwork.h"

int TakeRouteExpansions(CAIBudget& budget, int& allowance) {
  // A budget already overdrawn buys nothing (and must not pay the allowance back).
  const int steps = std::max(allowance < budget.Remaining() ? allowance : budget.steps, 0);
  budget.steps -= steps;
  allowance -= steps;
  return steps * kAIExpansionsPerStep;
}

void RefundRouteExpansions(CAIBudget& budget, int& allowance, int left) {
  if (left < 1) return;
  const int steps = std::max(left / kAIExpansionsPerStep, 1);
  budget.steps += steps;
  allowance += steps;
}

namespace {

bool IsUsedNode(int node) { return node >= 0 && node < g_pathNetwork.count && g_pathNetwork.GetNode(node); }

}  // namespace

bool CAIGroupRoute::Search(int member, int startNode, int goalNode, bool danger, int32_t& expansions) {
  if (!IsUsedNode(startNode) || !IsUsedNode(goalNode)) {
    search.Clear();
    routeCost_ = 0;
    return false;
  }
  CRouteMover mover;
  mover.creature = member;
  mover.ratingFlag = danger ? 1 : 0;
  const CPathNode& goal = *g_pathNetwork.GetNode(goalNode);
  search.startStep = CSearchStep{};
  search.Run(
      startNode, goalNode, expansions,
      [&](int node, const CBestFirstSearch::Closed& data, std::vector<CSuccessor>& out, int32_t& left) {
        g_pathNetwork.GetNodeSuccessors(node, data, mover, out, left);
      },
      [&](int node) { return g_pathNetwork.nodes[static_cast<size_t>(node)].HeuristicCost(goal); });
  // The costs the search keeps are the route's cost plus the estimate at the node less the
  // estimate at the start.
  const int reached = ReachedNode();
  routeCost_ = 0;
  if (reached >= 0) {
    const CPathNode& start = *g_pathNetwork.GetNode(search.start);
    const CPathNode& end = *g_pathNetwork.GetNode(reached);
    routeCost_ = int64_t{search.finalF} + start.HeuristicCost(goal) - end.HeuristicCost(goal);
  }
  return reached == goalNode && expansions >= 1;
}
