#include "ai/AINodeSearch.h"

#include "ai/AIUtilities.h"
#include "map/PathNetwork.h"

int32_t CAINodeSearch::ClosedCost(int node) const {
  const auto found = closed.find(node);
  return found == closed.end() ? INT_MAX : found->second.f;
}

bool CAINodeSearch::Run(int member, int startNode, int32_t& expansions) {
  if (newSearch) {
    newSearch = false;
    open.clear();
    closed.clear();
    open.insert({0, startNode});
    closed[startNode] = CBestFirstSearch::Closed{0, -1, CSearchStep{}};
    const bool startQualifies = qualifies(startNode);
    bestNode = startQualifies ? startNode : -1;
    bestCost = startQualifies ? 0 : INT_MAX;
    position = open.begin();
  }
  CRouteMover mover;
  mover.creature = member;
  while (position != open.end() && position->first < bestCost) {
    const int32_t node = position->second;
    successors.clear();
    g_pathNetwork.GetNodeSuccessors(node, closed[node], mover, successors, expansions);
    if (expansions < 1) {
      BuildRoute();
      return false;
    }
    while (!successors.empty()) {
      const size_t pick = static_cast<size_t>(RandomBits31()) % successors.size();
      const CSuccessor next = successors[pick];
      successors.erase(successors.begin() + static_cast<std::ptrdiff_t>(pick));
      const int64_t cost = int64_t{position->first} + next.cost;
      if (cost >= ClosedCost(next.node)) continue;
      closed[next.node] = CBestFirstSearch::Closed{static_cast<int32_t>(cost), node, next.step};
      // Costs are never below the entry's: the new entry lands after the position.
      open.insert({static_cast<int32_t>(cost), next.node});
      if (cost < bestCost && qualifies(next.node)) {
        bestNode = next.node;
        bestCost = static_cast<int32_t>(cost);
      }
    }
    ++position;
  }
  newSearch = true;
  BuildRoute();
  return true;
}

void CAINodeSearch::BuildRoute() {
  route.clear();
  int32_t node = bestNode;
  for (size_t guard = closed.size() + 1; node != -1 && guard > 0; --guard) {
    const auto found = closed.find(node);
    if (found == closed.end()) break;
    route.push_back({node, found->second.step});
    node = found->second.parent;
  }
}
