// The group decisions' route search over path nodes: what a slice of it expands and refunds on
// small hand-made networks, and on random networks the cost of the route it finds against an
// independent shortest-route search, with plain and danger-weighted link costs.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <memory>
#include <queue>
#include <set>
#include <vector>

#include "ai/AIBudget.h"
#include "ai/AIGroupRoute.h"
#include "core/Random.h"
#include "map/Map.h"
#include "map/MapHooks.h"
#include "map/PathNetwork.h"

namespace {

// Creatures as the route search asks about them: a plain walker whose rating of node n is
// ratings[n] (0 beyond the table).
struct RatedWalkers : IMapCreatures {
  std::vector<int> ratings;
  bool GetMoveQuery(int, CMoveQuery& out) override {
    out = CMoveQuery::MinimalWalker();
    return true;
  }
  int RateNode(int, int node) override {
    return node >= 0 && node < static_cast<int>(ratings.size()) ? ratings[static_cast<size_t>(node)] : 0;
  }
};

class GroupRouteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(g_map.Create(64, 64, 4, 1, 1), 1);
    g_pathNetwork.Clear();
    MapHooks hooks = g_mapHooks;
    hooks.creatures = &walkers;
    scope = std::make_unique<MapHooksScope>(hooks);
  }
  void TearDown() override {
    scope.reset();
    g_pathNetwork.Clear();
    g_map.Clear();
  }
  int Node(int x, int y) {
    const int index = g_pathNetwork.count++;
    CPathNode& node = g_pathNetwork.nodes[static_cast<size_t>(index)];
    node = CPathNode{};
    node.inUse = 1;
    node.x = x;
    node.y = y;
    return index;
  }
  // A one-way link that every walker may take.
  void Link(int from, int to, int cost) {
    for (CPathLink& link : g_pathNetwork.nodes[static_cast<size_t>(from)].links) {
      if (link.Exists()) continue;
      link = CPathLink{};
      link.cost = cost;
      link.target = to;
      link.groups[kGroupAny].flag = 1;
      link.groups[kGroupAny].tallest[0] = link.groups[kGroupAny].tallest[1] = 10;
      return;
    }
    FAIL() << "node " << from << " has no free link";
  }
  void Both(int a, int b, int cost) {
    Link(a, b, cost);
    Link(b, a, cost);
  }
  // The estimate's share of a link between two nodes, so that costs stay consistent.
  static int Estimate(int a, int b) {
    return g_pathNetwork.nodes[static_cast<size_t>(a)].HeuristicCost(g_pathNetwork.nodes[static_cast<size_t>(b)]);
  }

  RatedWalkers walkers;
  std::unique_ptr<MapHooksScope> scope;
};

// Steps the budget had before and after one member's slice of a search with a fresh
// allowance of 20.
struct Slice {
  int budgetBefore;
  int budgetAfter;
  int allowanceAfter;
  bool reached;
  bool newSearch;
};

Slice RunSlice(CAIGroupRoute& route, int start, int goal, int budgetSteps) {
  CAIBudget budget;
  budget.Start(budgetSteps);
  int allowance = 20;
  int32_t expansions = TakeRouteExpansions(budget, allowance);
  const bool reached = route.Search(7, start, goal, false, expansions);
  RefundRouteExpansions(budget, allowance, expansions);
  return {budgetSteps, budget.steps, allowance, reached, route.NewSearchPending()};
}

TEST_F(GroupRouteTest, ASliceExpandsWhatItsStepsBuyAndRefundsWhatIsLeft) {
  // A chain 0-1-2-3 and a long dead end 0-4-5-...: the goal 3 is reached after expanding
  // 0, 1 and 2.
  const int a = Node(10, 10), b = Node(12, 10), c = Node(14, 10), d = Node(16, 10);
  Both(a, b, Estimate(a, b));
  Both(b, c, Estimate(b, c));
  Both(c, d, Estimate(c, d));
  int previous = a;
  for (int i = 0; i < 6; ++i) {
    const int next = Node(10, 12 + 2 * i);
    Both(previous, next, Estimate(previous, next) + 40);
    previous = next;
  }

  struct Case {
    const char* what;
    int budget;
    int budgetAfter, allowanceAfter;
    bool reached, newSearch;
  };
  const Case cases[] = {
      // 100 expansions, 3 used: trunc(0.2 x 97) = 19 steps come back.
      {"a goal after 3 of 100 expansions", 1000, 1000 - 20 + 19, 0 + 19, true, true},
      // The step count 0: nothing expanded, nothing refunded, the search kept for later.
      {"a budget of no steps", 0, 0, 20, false, false},
      // One step buys 5 expansions; the 2 left over still give the step back.
      {"a budget of one step", 1, 1, 20, true, true},
  };
  for (const Case& test : cases) {
    CAIGroupRoute route;
    route.NewSearch();
    const Slice slice = RunSlice(route, a, d, test.budget);
    EXPECT_EQ(slice.budgetAfter, test.budgetAfter) << test.what;
    EXPECT_EQ(slice.allowanceAfter, test.allowanceAfter) << test.what;
    EXPECT_EQ(slice.reached, test.reached) << test.what;
    EXPECT_EQ(slice.newSearch, test.newSearch) << test.what;
  }
}

TEST_F(GroupRouteTest, AStoppedSearchGoesOnWhereItStopped) {
  const int a = Node(10, 10), b = Node(12, 10), c = Node(14, 10), d = Node(16, 10);
  Both(a, b, Estimate(a, b));
  Both(b, c, Estimate(b, c));
  Both(c, d, Estimate(c, d));
  CAIGroupRoute route;
  route.NewSearch();
  // Two expansions a call (a budget of 3 makes 2): the goal is known after the second call.
  int32_t expansions = 3;
  EXPECT_FALSE(route.Search(1, a, d, false, expansions));
  EXPECT_FALSE(route.NewSearchPending());
  expansions = 3;
  EXPECT_TRUE(route.Search(1, a, d, false, expansions));
  EXPECT_EQ(expansions, 2);  // one spent on the third node
  ASSERT_EQ(route.Found().size(), 4u);
  EXPECT_EQ(route.Found().front().first, d);
  EXPECT_EQ(route.Found().back().first, a);
  EXPECT_EQ(route.RouteLength(), Estimate(a, b) + Estimate(b, c) + Estimate(c, d));
}

TEST_F(GroupRouteTest, FewerThanOneExpansionLeftRefundsNothing) {
  CAIBudget budget;
  budget.Start(50);
  int allowance = 20;
  RefundRouteExpansions(budget, allowance, 0);
  EXPECT_EQ(budget.steps, 50);
  EXPECT_EQ(allowance, 20);
  RefundRouteExpansions(budget, allowance, 3);  // a fifth of 3 is below a step: one step
  EXPECT_EQ(budget.steps, 51);
  EXPECT_EQ(allowance, 21);
}

TEST_F(GroupRouteTest, NodesOutsideTheNetworkReachNothing) {
  const int a = Node(10, 10), b = Node(12, 10);
  Both(a, b, Estimate(a, b));
  for (const auto& [start, goal] : {std::pair{-1, b}, std::pair{a, -1}, std::pair{a, 5}, std::pair{900, a}}) {
    CAIGroupRoute route;
    int32_t expansions = 100;
    EXPECT_FALSE(route.Search(1, start, goal, false, expansions)) << start << " -> " << goal;
    EXPECT_EQ(expansions, 100);
  }
}

// The cheapest route cost from start to every node, by a plain Dijkstra over the same links.
std::vector<int64_t> Dijkstra(int start, const std::vector<int>& ratings, bool danger) {
  std::vector<int64_t> cost(static_cast<size_t>(g_pathNetwork.count), INT64_MAX);
  using Entry = std::pair<int64_t, int>;
  std::priority_queue<Entry, std::vector<Entry>, std::greater<>> open;
  cost[static_cast<size_t>(start)] = 0;
  open.push({0, start});
  while (!open.empty()) {
    const auto [c, node] = open.top();
    open.pop();
    if (c > cost[static_cast<size_t>(node)]) continue;
    for (const CPathLink& link : g_pathNetwork.nodes[static_cast<size_t>(node)].links) {
      if (!link.Exists()) continue;
      const int64_t step =
          danger ? int64_t{link.cost} * (10 * ratings[static_cast<size_t>(link.target)] + 1) : link.cost;
      if (c + step < cost[static_cast<size_t>(link.target)]) {
        cost[static_cast<size_t>(link.target)] = c + step;
        open.push({c + step, link.target});
      }
    }
  }
  return cost;
}

TEST_F(GroupRouteTest, OnRandomNetworksTheRouteCostsWhatTheCheapestRouteCosts) {
  CRandom random;
  random.Seed(77);
  for (int network = 0; network < 12; ++network) {
    g_pathNetwork.Clear();
    const int n = 30 + static_cast<int>(random.Next() % 40);
    walkers.ratings.assign(static_cast<size_t>(n), 0);
    // Nodes at places of their own, as the network has them.
    std::set<std::pair<int, int>> places;
    while (static_cast<int>(places.size()) < n) {
      const int x = static_cast<int>(random.Next() % 64), y = static_cast<int>(random.Next() % 64);
      if (!places.insert({x, y}).second) continue;
      walkers.ratings[static_cast<size_t>(Node(x, y))] = static_cast<int>(random.Next() % 4);
    }
    // Each node links to a few others, at least its estimate apart (a consistent estimate).
    for (int i = 0; i < n; ++i)
      for (int k = 0; k < 3; ++k) {
        const int j = static_cast<int>(random.Next() % static_cast<uint32_t>(n));
        if (j != i) Link(i, j, std::max(Estimate(i, j), 1) + static_cast<int>(random.Next() % 30));
      }
    for (const bool danger : {false, true}) {
      const int start = static_cast<int>(random.Next() % static_cast<uint32_t>(n));
      const std::vector<int64_t> expected = Dijkstra(start, walkers.ratings, danger);
      for (int goal = 0; goal < n; ++goal) {
        CAIGroupRoute route;
        route.NewSearch();
        int32_t expansions = 100000;
        const bool reached = route.Search(3, start, goal, danger, expansions);
        const int64_t want = expected[static_cast<size_t>(goal)];
        ASSERT_EQ(reached, want != INT64_MAX) << "network " << network << " goal " << goal << " danger " << danger;
        if (reached) EXPECT_EQ(route.RouteCost(), want) << "network " << network << " goal " << goal;
      }
    }
  }
}

}  // namespace
