// Route plans over the path network of the bench map, against a plain breadth-first search
// over the same node graph: plans per second, and the nodes each expands per plan.
#include <benchmark/benchmark.h>

#include <deque>
#include <vector>

#include "core/Random.h"
#include "map/PathNetwork.h"
#include "support/BenchMap.h"
#include "support/RatioMain.h"

namespace {

void BuildNetwork() {
  static bool built = false;
  if (built) return;
  built = true;
  BuildBenchMap();
  InstallBenchCreatureTypes();
  g_pathNetwork.Clear();
  g_pathNetwork.GenerateNodes(1);
  g_pathNetwork.ComputeCellKeys();
  g_pathNetwork.RebuildLinks(1, 0);
}

struct Pair {
  int from, to;
};
const std::vector<Pair>& Pairs() {
  static std::vector<Pair> pairs = [] {
    std::vector<Pair> list;
    CRandom random(31);
    int count = g_pathNetwork.count;
    for (int i = 0; i < 64 && count > 1; ++i)
      list.push_back({static_cast<int>(random.Next() % count), static_cast<int>(random.Next() % count)});
    return list;
  }();
  return pairs;
}

CMoveQuery Walker() { return CMoveQuery::MinimalWalker(); }

// Plans are the items; the expansions a plan makes are shown beside them.
void ReportPlans(benchmark::State& state, int64_t expansions) {
  const double plans = static_cast<double>(state.iterations()) * static_cast<double>(Pairs().size());
  state.SetItemsProcessed(static_cast<int64_t>(plans));
  state.counters["expansions/plan"] = plans > 0 ? static_cast<double>(expansions) / plans : 0.0;
}

template <bool kSkipEmptySlots>
void NodeBreadthFirst(benchmark::State& state) {
  BuildNetwork();
  const CMoveQuery query = Walker();
  std::vector<int> seen(static_cast<size_t>(g_pathNetwork.count));
  int64_t expansions = 0;
  for (auto _ : state) {
    int found = 0;
    for (const Pair& pair : Pairs()) {
      std::fill(seen.begin(), seen.end(), 0);
      std::deque<int> open{pair.from};
      seen[static_cast<size_t>(pair.from)] = 1;
      while (!open.empty()) {
        int node = open.front();
        open.pop_front();
        ++expansions;
        if (node == pair.to) {
          ++found;
          break;
        }
        for (const CPathLink& link : g_pathNetwork.nodes[static_cast<size_t>(node)].links) {
          if (kSkipEmptySlots && !link.Exists()) continue;
          if (!link.Admits(query.height, query.size, query.airborne, query.movementKind)) continue;
          if (seen[static_cast<size_t>(link.target)]) continue;
          seen[static_cast<size_t>(link.target)] = 1;
          open.push_back(link.target);
        }
      }
    }
    benchmark::DoNotOptimize(found);
  }
  ReportPlans(state, expansions);
}

// The plain breadth-first search, testing every link slot as the game's test is called.
void BM_Baseline_NodeBreadthFirst(benchmark::State& state) { NodeBreadthFirst<false>(state); }
// The same, passing over empty slots before calling the test: a tighter yardstick, shown so
// that the figure above is read with it.
void BM_NodeBreadthFirstSkippingEmptySlots(benchmark::State& state) { NodeBreadthFirst<true>(state); }

void BM_BuildCreatureRoute(benchmark::State& state) {
  BuildNetwork();
  int32_t route[CPathNetwork::kRouteLength];
  int64_t expansions = 0;
  for (auto _ : state) {
    int found = 0;
    for (const Pair& pair : Pairs()) {
      CRouteRequest request;
      request.startNode = pair.from;
      request.goalNode = pair.to;
      request.mover.queryGiven = true;
      request.mover.query = Walker();
      request.route = route;
      request.budget = 100000;
      found += g_pathNetwork.BuildCreatureRoute(request);
      expansions += 100000 - request.budget;
    }
    benchmark::DoNotOptimize(found);
  }
  ReportPlans(state, expansions);
  state.counters["nodes"] = g_pathNetwork.count;
  int links = 0;
  for (int i = 0; i < g_pathNetwork.count; ++i)
    for (const CPathLink& link : g_pathNetwork.nodes[static_cast<size_t>(i)].links) links += link.cost != 0;
  state.counters["links"] = links;
}

BENCHMARK(BM_Baseline_NodeBreadthFirst);
BENCHMARK(BM_NodeBreadthFirstSkippingEmptySlots);
BENCHMARK(BM_BuildCreatureRoute);

}  // namespace

VRASK_BENCH_MAIN()
