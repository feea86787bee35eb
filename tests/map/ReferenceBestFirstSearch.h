#pragma once
// The best-first search as the route searches were first written: the open set in an
// ordered set, the closed nodes in a hash map. The tests hold the game's search to the
// very results of this one.

#include <climits>
#include <cstddef>
#include <cstdint>
#include <set>
#include <tuple>
#include <unordered_map>
#include <utility>
#include <vector>

#include "map/BestFirstSearch.h"

class ReferenceBestFirstSearch {
 public:
  using Closed = CBestFirstSearch::Closed;

  bool restart = true;
  int32_t bestEstimate = 0;
  int32_t bestNode = -1;
  int32_t start = -1;
  CSearchStep startStep;  // what the start node carries (a creature's facing)
  std::vector<CSuccessor> successors;
  // The route found: (node, what reached it) from the best node back to the start.
  std::vector<std::pair<int32_t, CSearchStep>> route;
  int32_t finalF = 0;

  void Clear() {
    open_.clear();
    closed_.clear();
    successors.clear();
    route.clear();
    restart = true;
    bestNode = start = -1;
  }

  // The f of a node reached so far; INT_MAX for a node not reached.
  int32_t ClosedF(int32_t node) const {
    auto it = closed_.find(node);
    return it == closed_.end() ? INT_MAX : it->second.f;
  }
  const Closed* Find(int32_t node) const {
    auto it = closed_.find(node);
    return it == closed_.end() ? nullptr : &it->second;
  }
  bool OpenEmpty() const { return open_.empty(); }

  // Runs from `from` towards `goal` while budget lasts: a budget of B makes B - 1 expansions,
  // because the expansion that spends the last unit is dropped and made again by the next
  // call (so a budget of 1 never gets past the start). generate(node, closed data,
  // successors, budget) appends the successors of a node and spends one unit (none when
  // the budget is below 1); estimate(node) is the remaining cost's estimate. Afterwards
  // `route` leads from the start to the best node found so far.
  template <typename Generate, typename Estimate>
  void Run(int32_t from, int32_t goal, int32_t& budget, Generate&& generate, Estimate&& estimate) {
    if (restart) {
      open_.clear();
      closed_.clear();
      sequence_ = 0;
      start = from;
      open_.insert({0, sequence_++, from});
      closed_[from] = Closed{0, -1, startStep};
      bestEstimate = estimate(from);
      bestNode = from;
      restart = false;
    }
    while (!open_.empty()) {
      auto [f, seq, node] = *open_.begin();
      if (f >= ClosedF(goal)) {
        restart = true;
        break;
      }
      successors.clear();
      Closed here = closed_[node];
      generate(node, here, successors, budget);
      // Out of budget: the successors just made are dropped, the node stays open, and the
      // next call goes on from this state.
      if (budget <= 0) break;
      open_.erase(open_.begin());
      int32_t hereEstimate = estimate(node);
      for (const CSuccessor& next : successors) {
        int32_t nextEstimate = estimate(next.node);
        int64_t total = static_cast<int64_t>(f) - hereEstimate + next.cost + nextEstimate;
        int32_t fNext = total > INT_MAX ? INT_MAX : static_cast<int32_t>(total);
        if (fNext >= ClosedF(next.node)) continue;
        closed_[next.node] = Closed{fNext, node, next.step};
        open_.insert({fNext, sequence_++, next.node});
        if (nextEstimate < bestEstimate) {
          bestEstimate = nextEstimate;
          bestNode = next.node;
        }
      }
      if (open_.empty()) restart = true;
    }
    if (open_.empty()) restart = true;
    BuildRoute();
  }

 private:
  void BuildRoute() {
    route.clear();
    finalF = ClosedF(bestNode);
    int32_t node = bestNode;
    // Parents always lead back to the start; the count guards against a broken chain.
    for (std::size_t guard = closed_.size() + 1; node != -1 && guard > 0; --guard) {
      const Closed* data = Find(node);
      if (!data) break;
      route.push_back({node, data->step});
      if (node == start) break;
      node = data->parent;
    }
  }

  std::set<std::tuple<int32_t, uint64_t, int32_t>> open_;  // (f, order added, node)
  std::unordered_map<int32_t, Closed> closed_;
  uint64_t sequence_ = 0;
};
