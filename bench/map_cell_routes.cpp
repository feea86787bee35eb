// The cell-level route search on the bench map, against a plain breadth-first search over the
// same cells with the same step test: trips planned per second, and the cells each expands
// per trip.
#include <benchmark/benchmark.h>

#include <deque>
#include <vector>

#include "core/Random.h"
#include "map/CellRouteSearch.h"
#include "map/MapUnits.h"
#include "support/BenchMap.h"
#include "support/RatioMain.h"

namespace {

struct Trip {
  CellPos from, to;
};

// Short trips between places a walker stands, as creatures plan between waypoints.
const std::vector<Trip>& Trips() {
  static std::vector<Trip> trips = [] {
    BuildBenchMap();
    std::vector<Trip> list;
    CRandom random(41);
    const CMoveQuery walker = CMoveQuery::MinimalWalker();
    auto standing = [&](int x, int y, CellPos& out) {
      for (int z = 0; z < g_map.levels; ++z)
        if (g_map.CanOccupy(x, y, z, walker)) {
          out = CellPos{x, y, z};
          return true;
        }
      return false;
    };
    while (list.size() < 32) {
      int x = static_cast<int>(random.Next() % 100), y = static_cast<int>(random.Next() % 100);
      Trip trip;
      if (standing(x, y, trip.from) &&
          standing(CWrapCoord::WrapX(x + static_cast<int>(random.Next() % 9) - 4),
                   CWrapCoord::WrapY(y + static_cast<int>(random.Next() % 9) - 4), trip.to))
        list.push_back(trip);
    }
    return list;
  }();
  return trips;
}

// Trips are the items; the expansions a trip makes are shown beside them.
void ReportTrips(benchmark::State& state, int64_t expansions) {
  const double trips = static_cast<double>(state.iterations()) * static_cast<double>(Trips().size());
  state.SetItemsProcessed(static_cast<int64_t>(trips));
  state.counters["expansions/trip"] = trips > 0 ? static_cast<double>(expansions) / trips : 0.0;
}

void BM_Baseline_CellBreadthFirst(benchmark::State& state) {
  const auto& trips = Trips();
  const CMoveQuery walker = CMoveQuery::MinimalWalker();
  std::vector<uint8_t> seen(static_cast<size_t>(g_map.cellCount));
  int64_t expansions = 0;
  for (auto _ : state) {
    for (const Trip& trip : trips) {
      std::fill(seen.begin(), seen.end(), 0);
      std::deque<CellPos> open{trip.from};
      for (int budget = 250; !open.empty() && budget > 0; --budget) {
        CellPos at = open.front();
        open.pop_front();
        ++expansions;
        if (at == trip.to) break;
        for (const GridStep& d : kNeighbours26) {
          CellPos n{CWrapCoord::WrapX(at.x + d.dx), CWrapCoord::WrapY(at.y + d.dy), at.z + d.dz};
          if (n.z < 0 || n.z >= g_map.levels) continue;
          size_t index = static_cast<size_t>(g_map.CellIndex(n.x, n.y, n.z));
          if (seen[index]) continue;
          int kind, support = -1;
          if (!g_map.CanStepBetween(at.x, at.y, at.z, n.x, n.y, n.z, walker, &kind, &support)) continue;
          seen[index] = 1;
          open.push_back(n);
        }
      }
    }
  }
  ReportTrips(state, expansions);
}

void BM_CellSuccessorSearch(benchmark::State& state) {
  const auto& trips = Trips();
  CBestFirstSearch search;
  int64_t expansions = 0;
  for (auto _ : state) {
    for (const Trip& trip : trips) {
      CRouteMover mover;
      mover.queryGiven = true;
      mover.query = CMoveQuery::MinimalWalker();
      mover.start = trip.from;
      mover.goal = trip.to;
      int32_t budget = 250;
      search.restart = true;
      search.Run(
          g_map.CellIndex(trip.from.x, trip.from.y, trip.from.z), g_map.CellIndex(trip.to.x, trip.to.y, trip.to.z),
          budget,
          [&](int node, const CBestFirstSearch::Closed& data, std::vector<CSuccessor>& out, int32_t& left) {
            CellSuccessors(node, data, mover, out, left);
          },
          [&](int node) { return CellHeuristic(node, mover.goal); });
      expansions += 250 - budget;
    }
  }
  ReportTrips(state, expansions);
}

BENCHMARK(BM_Baseline_CellBreadthFirst);
BENCHMARK(BM_CellSuccessorSearch);

}  // namespace

VRASK_BENCH_MAIN()
