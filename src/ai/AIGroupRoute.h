#pragma once
// The route search of the group decisions: an A* search over the path nodes from one member's
// node to a goal node, spread over as many calls as the budget asks. The decisions pay for it
// in budget steps, five node expansions a step; the expansions a search leaves unused are
// given back a fifth of a step each, so a search that finds its goal early costs little.
//
// The search keeps its open list and closed records between calls: a call that runs out of
// expansions leaves the new-search flag clear, and the next call goes on from there.

#include <cstdint>
#include <utility>
#include <vector>

#include "map/BestFirstSearch.h"

class CAIBudget;

// Node expansions a budget step buys.
inline constexpr int kAIExpansionsPerStep = 5;

// What a member's search may spend now: the allowance when it is below what the budget has
// left, else the budget's whole step count. Both are charged; answers the expansions.
int TakeRouteExpansions(CAIBudget& budget, int& allowance);
// Gives the unused expansions back to both: a fifth of a step each, at least one step, and
// nothing when none is left.
void RefundRouteExpansions(CAIBudget& budget, int& allowance, int left);

class CAIGroupRoute {
 public:
  using Route = std::vector<std::pair<int32_t, CSearchStep>>;

  // The next Search starts afresh.
  void NewSearch() { search.restart = true; }
  bool NewSearchPending() const { return search.restart; }

  // One slice of the member's search (a creature slot) from the start node to the goal node
  // over the links the member may take; with danger set every link costs (rating of the
  // node entered x 10 + 1) times its length. Lowers expansions by one per node expanded.
  // True when the goal was reached with expansions to spare. A start or goal that names no
  // node of the network reaches nothing and expands nothing.
  bool Search(int member, int startNode, int goalNode, bool danger, int32_t& expansions);

  // The route found so far: the node reached first, back to the start last.
  const Route& Found() const { return search.route; }
  // The node reached, -1 for none.
  int ReachedNode() const { return search.route.empty() ? -1 : search.route.front().first; }
  // What the links of the route add up to: their lengths, and the member's ratings of the
  // nodes entered.
  int RouteLength() const { return search.route.empty() ? 0 : search.route.front().second.length; }
  int RouteRating() const { return search.route.empty() ? 0 : search.route.front().second.rating; }
  // The cost of the route to the node reached (weighted links with danger set).
  int64_t RouteCost() const { return routeCost_; }

  CBestFirstSearch search;

 private:
  int64_t routeCost_ = 0;
};
