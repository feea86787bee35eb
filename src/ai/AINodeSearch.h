#pragma once
// The best-first search for the cheapest path node a test accepts, from one member's node: the
// rally decision's node open to the sky, the evade decision's node nobody threatens.

#include <climits>
#include <cstdint>
#include <functional>
#include <map>
#include <vector>

#include "ai/AIGroupRoute.h"
#include "ai/AIQueries.h"

// The search for the cheapest node that qualifies (by default one open to the sky), resumable
// like the route search. Successors are taken in a random order drawn from g_aiRandom, so
// that of equally cheap nodes the one met first wins.
struct CAINodeSearch {
  std::function<bool(int node)> qualifies = NodeOpenAbove;
  bool newSearch = true;
  std::multimap<int32_t, int32_t> open;  // cost -> node, walked in order, never emptied
  std::map<int32_t, CBestFirstSearch::Closed> closed;
  std::multimap<int32_t, int32_t>::iterator position;
  int32_t bestNode = -1;
  int32_t bestCost = INT_MAX;
  std::vector<CSuccessor> successors;
  CAIGroupRoute::Route route;  // the best node first, back to the start

  // One slice from the start node for the creature: true when the search ended (the open
  // list walked or nothing cheaper left to find), false when the expansions ran out first.
  bool Run(int member, int startNode, int32_t& expansions);
  int32_t ClosedCost(int node) const;
  void BuildRoute();
};
