// The route searches give the routes of the search they were first written with: node
// plans and cell plans on maps built from the forged realm, for walkers, tall and large
// creatures, fliers and swimmers, planned in one call and spread over many small calls.
#include <vector>

#include "MapTestSupport.h"
#include "ReferenceBestFirstSearch.h"
#include "core/Random.h"
#include "map/CellRouteSearch.h"
#include "map/Doors.h"
#include "map/MapUnits.h"
#include "map/PathNetwork.h"
#include "map/RegionSettings.h"
#include "platform/Files.h"
#include "support/TestSupport.h"

using namespace map_test;

namespace {

constexpr const char* kRealm = "realms\\moorland\\moorland.cfg";

// Creatures of the standard types that rate nodes, so that ratings and traffic weigh.
struct RatingCreatures : FakeCreatures {
  int RateNode(int creature, int node) override { return (node * 7 + creature) % 5; }
};

CMoveQuery Query(int height, int size, int airborne, int movementKind) {
  CMoveQuery query = CMoveQuery::MinimalWalker();
  query.height = height;
  query.size = size;
  query.airborne = airborne;
  query.movementKind = movementKind;
  return query;
}

// A walker, a tall one, a large one, a flier, a swimmer and a wader of kind 1.
std::vector<CMoveQuery> Movers() {
  return {Query(1, 1, 0, 0), Query(4, 1, 0, 0), Query(1, 2, 0, 0),
          Query(1, 1, 1, 0), Query(1, 1, 0, 2), Query(2, 1, 0, 1)};
}

bool SameStep(const CSearchStep& a, const CSearchStep& b) {
  return a.stepKind == b.stepKind && a.facing == b.facing && a.levelChange == b.levelChange && a.turn == b.turn &&
         a.spare == b.spare && a.length == b.length && a.rating == b.rating;
}

// Everything a call leaves that its callers read.
template <typename Search>
std::string Outcome(const Search& search, int32_t budget) {
  std::string text = "best " + std::to_string(search.bestNode) + " estimate " + std::to_string(search.bestEstimate) +
                     " f " + std::to_string(search.finalF) + " budget " + std::to_string(budget) +
                     (search.restart ? " restart" : "") + (search.OpenEmpty() ? " open-empty" : "") + " route";
  for (const auto& [node, step] : search.route)
    text += " " + std::to_string(node) + "/" + std::to_string(step.stepKind) + "/" + std::to_string(step.facing) + "/" +
            std::to_string(step.levelChange) + "/" + std::to_string(step.turn) + "/" + std::to_string(step.length) +
            "/" + std::to_string(step.rating);
  return text;
}

// Runs the game's search and the first one side by side over one plan: in one call with
// budget enough, or in calls of a small budget until the plan ends. Both keep their state
// from plan to plan, as the game's do. Answers the number of calls that differed.
template <typename Generate, typename Estimate>
int ComparePlan(CBestFirstSearch& search, ReferenceBestFirstSearch& reference, int from, int goal, int perCall,
                Generate&& generate, Estimate&& estimate, const std::string& what) {
  search.restart = reference.restart = true;
  int differing = 0;
  for (int call = 0; call < 80; ++call) {
    int32_t budget = perCall, referenceBudget = perCall;
    search.Run(from, goal, budget, generate, estimate);
    reference.Run(from, goal, referenceBudget, generate, estimate);
    const std::string got = Outcome(search, budget), expected = Outcome(reference, referenceBudget);
    if (got != expected) {
      ADD_FAILURE() << what << " call " << call << "\n got:      " << got << "\n expected: " << expected;
      if (++differing > 3) break;
    }
    for (const auto& entry : search.route) {
      const CBestFirstSearch::Closed* data = search.Find(entry.first);
      const ReferenceBestFirstSearch::Closed* expectedData = reference.Find(entry.first);
      if (!data || !expectedData || data->f != expectedData->f || data->parent != expectedData->parent ||
          !SameStep(data->step, expectedData->step)) {
        ADD_FAILURE() << what << " call " << call << ": closed data of node " << entry.first;
        ++differing;
        break;
      }
    }
    if (search.restart || differing) break;
  }
  return differing;
}

}  // namespace

class RouteSearch : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<uint8_t> file;
    ASSERT_TRUE(platform::ReadWholeFile("maps/moorland/terrain.ttd", file));
    ASSERT_TRUE(g_terrainTypes.Assign(file.data() + 16, file.size() - 16));
    hooks_.creatures.UseStandardTypes();
  }
  void TearDown() override {
    g_map.Clear();
    ResetMapTables();
    g_pathNetwork.Clear();
    g_terrainTypes.Clear();
    FreeDoorsConfig();
  }
  void BuildMapAndNetwork(int region, int seed) {
    ASSERT_EQ(g_map.Build(kRealm, region, seed), 1);
    g_map.SetWaterLevel(g_regionSettings.waterLevel);
    g_pathNetwork.Clear();
    g_pathNetwork.GenerateNodes(1);
    g_pathNetwork.ComputeCellKeys();
    g_pathNetwork.RebuildLinks(1, 0);
    ASSERT_GT(g_pathNetwork.count, 20);
  }
  // A cell near (x, y) where the query stands, the lowest first.
  bool Standing(int x, int y, const CMoveQuery& query, CellPos& out) {
    for (int z = 0; z < g_map.levels; ++z)
      if (g_map.CanOccupy(x, y, z, query)) {
        out = CellPos{x, y, z};
        return true;
      }
    return false;
  }

  testing_support::ForgedDataCopy data_;
  struct Hooks {
    RatingCreatures creatures;
    FakeEffects effects;
    FakeObjects objects;
    FakeBattle battle;
    FakeAI ai;
    MapHooksScope scope{MapHooks{&creatures, &effects, &objects, &battle, &ai}};
  } hooks_;
};

TEST_F(RouteSearch, NodeAndCellPlansOnForgedMapsFollowTheFirstSearch) {
  struct MapCase {
    int region, seed;
  };
  for (const MapCase& map : {MapCase{2, 7}, MapCase{0, 11}, MapCase{3, 5}}) {
    SCOPED_TRACE("region " + std::to_string(map.region) + " seed " + std::to_string(map.seed));
    BuildMapAndNetwork(map.region, map.seed);
    CPathNetwork& net = g_pathNetwork;
    CRandom random(static_cast<uint32_t>(100 + map.region));
    CBestFirstSearch search;
    ReferenceBestFirstSearch reference;
    int differing = 0;

    // Node plans: each mover between random nodes, as a bare query and (the walker) as a
    // creature whose ratings and the nodes' traffic weigh on the costs.
    hooks_.creatures.Add(3, 0, 0, 0);
    for (int pair = 0; pair < 24 && !differing; ++pair) {
      const int from = static_cast<int>(random.Next() % net.count), to = static_cast<int>(random.Next() % net.count);
      std::vector<CRouteMover> movers;
      for (const CMoveQuery& query : Movers()) {
        CRouteMover mover;
        mover.queryGiven = true;
        mover.query = query;
        movers.push_back(mover);
      }
      CRouteMover creature;
      creature.creature = 3;
      creature.ratingFlag = creature.trafficFlag = 1;
      movers.push_back(creature);
      for (const CRouteMover& mover : movers)
        for (int perCall : {100000, 4}) {
          net.nodes[static_cast<size_t>(from)].traffic = pair % 3;
          auto generate = [&](int node, const CBestFirstSearch::Closed& closed, std::vector<CSuccessor>& out,
                              int32_t& left) { net.GetNodeSuccessors(node, closed, mover, out, left); };
          auto estimate = [&](int node) {
            return net.nodes[static_cast<size_t>(node)].HeuristicCost(net.nodes[static_cast<size_t>(to)]);
          };
          differing += ComparePlan(search, reference, from, to, perCall, generate, estimate,
                                   "nodes " + std::to_string(from) + "->" + std::to_string(to));
        }
      // The game's own entry: the route array as the first search's route for the walker
      // gives it.
      {
        const CRouteMover& walker = movers.front();
        int32_t budget = 100000;
        reference.restart = true;
        reference.Run(
            from, to, budget,
            [&](int node, const CBestFirstSearch::Closed& closed, std::vector<CSuccessor>& out, int32_t& left) {
              net.GetNodeSuccessors(node, closed, walker, out, left);
            },
            [&](int node) {
              return net.nodes[static_cast<size_t>(node)].HeuristicCost(net.nodes[static_cast<size_t>(to)]);
            });
      }
      int32_t route[CPathNetwork::kRouteLength];
      CRouteRequest request;
      request.startNode = from;
      request.goalNode = to;
      request.mover = movers.front();
      request.route = route;
      request.budget = 100000;
      const int reached = net.BuildCreatureRoute(request);
      EXPECT_EQ(reached, !reference.route.empty() && reference.route.front().first == to);
      size_t written = 0;
      for (auto it = reference.route.rbegin(); it != reference.route.rend() && written < 50; ++it, ++written)
        EXPECT_EQ(route[written], it->first) << from << "->" << to;
      if (written < 50) EXPECT_EQ(route[written], -1);
    }

    // Cell plans: short and longer trips between places each mover stands, with the budget
    // a creature plans with and in calls of five expansions.
    for (int trip = 0; trip < 16 && !differing; ++trip) {
      const int range = trip % 2 ? 9 : 25;
      const int x = static_cast<int>(random.Next() % g_map.width), y = static_cast<int>(random.Next() % g_map.height);
      const int gx = CWrapCoord::WrapX(x + static_cast<int>(random.Next() % range) - range / 2);
      const int gy = CWrapCoord::WrapY(y + static_cast<int>(random.Next() % range) - range / 2);
      for (const CMoveQuery& query : Movers()) {
        CRouteMover mover;
        mover.queryGiven = true;
        mover.query = query;
        if (!Standing(x, y, query, mover.start) || !Standing(gx, gy, query, mover.goal)) continue;
        auto generate = [&](int node, const CBestFirstSearch::Closed& closed, std::vector<CSuccessor>& out,
                            int32_t& left) { CellSuccessors(node, closed, mover, out, left); };
        auto estimate = [&](int node) { return CellHeuristic(node, mover.goal); };
        const int from = g_map.CellIndex(mover.start.x, mover.start.y, mover.start.z);
        const int goal = g_map.CellIndex(mover.goal.x, mover.goal.y, mover.goal.z);
        for (int perCall : {250, 5})
          differing += ComparePlan(search, reference, from, goal, perCall, generate, estimate,
                                   "cells " + std::to_string(from) + "->" + std::to_string(goal));
        // Along the cells' connection bits, as the link tests walk.
        mover.connectionMoves = true;
        differing += ComparePlan(search, reference, from, goal, 250, generate, estimate, "connections");
      }
    }
    EXPECT_EQ(differing, 0);
  }
}
