// The resumable cell search on hand-made graphs: a start that is a goal, a counter spent in
// the first expansion, and on many random graphs the cheapest goal against a plain Dijkstra.
#include <gtest/gtest.h>

#include <climits>
#include <queue>
#include <random>
#include <set>
#include <vector>

#include "ai/AIPositionSearch.h"
#include "core/Random.h"

namespace {

struct Edge {
  int to, cost;
};

// A hand-made graph: each expansion costs `work` of the counter; every expansion is counted.
struct Graph : IAICellSuccessors {
  std::vector<std::vector<Edge>> edges;
  int work = 1;
  std::vector<int> expansions;
  explicit Graph(int nodes) : edges(static_cast<size_t>(nodes)), expansions(static_cast<size_t>(nodes)) {}
  void Successors(int cell, const CSearchStep&, std::vector<CSuccessor>& out, int32_t& counter) override {
    ++expansions[static_cast<size_t>(cell)];
    for (const Edge& e : edges[static_cast<size_t>(cell)]) {
      CSuccessor s;
      s.cost = e.cost;
      s.node = e.to;
      s.step.facing = cell;  // the move records where it came from
      out.push_back(s);
    }
    counter -= work;
  }
};

std::set<int> g_goals;
bool IsGoal(int cell, const CSearchStep&) { return g_goals.count(cell) != 0; }

int Dijkstra(const Graph& graph, int start) {
  std::vector<int> dist(graph.edges.size(), INT_MAX);
  using Entry = std::pair<int, int>;
  std::priority_queue<Entry, std::vector<Entry>, std::greater<>> open;
  dist[static_cast<size_t>(start)] = 0;
  open.push({0, start});
  while (!open.empty()) {
    auto [d, n] = open.top();
    open.pop();
    if (d > dist[static_cast<size_t>(n)]) continue;
    if (g_goals.count(n)) return d;
    for (const Edge& e : graph.edges[static_cast<size_t>(n)]) {
      if (d + e.cost < dist[static_cast<size_t>(e.to)]) {
        dist[static_cast<size_t>(e.to)] = d + e.cost;
        open.push({d + e.cost, e.to});
      }
    }
  }
  return INT_MAX;
}

TEST(AIPositionSearchTest, AStartThatIsAGoalCostsNothing) {
  Graph graph(3);
  graph.edges[0] = {{1, 0}, {2, 4}};
  g_goals = {0, 1};
  CAIPositionSearch search;
  int32_t counter = 10;
  EXPECT_TRUE(BestFirstSearchStep(search, 0, IsGoal, graph, counter));
  EXPECT_EQ(search.resultCost, 0);
  ASSERT_EQ(search.path.size(), 1u);
  EXPECT_EQ(search.path[0].cell, 0);
  EXPECT_EQ(search.path[0].move.stepKind, 5);  // the start's new record
  EXPECT_EQ(graph.expansions[0], 0);           // nothing is cheaper than 0
  EXPECT_EQ(search.restart, 1);
}

TEST(AIPositionSearchTest, ACounterSpentInTheFirstExpansionExpandsThatCellAgain) {
  Graph graph(3);
  graph.edges[0] = {{1, 2}};
  graph.edges[1] = {{2, 3}};
  graph.work = 5;
  g_goals = {2};
  CAIPositionSearch search;
  int32_t counter = 4;
  EXPECT_FALSE(BestFirstSearchStep(search, 0, IsGoal, graph, counter));
  EXPECT_EQ(search.restart, 0);
  EXPECT_TRUE(search.path.empty());
  EXPECT_EQ(search.resultCost, INT_MAX);
  counter = 100;
  EXPECT_TRUE(BestFirstSearchStep(search, 0, IsGoal, graph, counter));
  EXPECT_EQ(graph.expansions[0], 2);
  EXPECT_EQ(search.resultCost, 5);
  ASSERT_EQ(search.path.size(), 3u);  // goal first, back to the start
  EXPECT_EQ(search.path[0].cell, 2);
  EXPECT_EQ(search.path[0].move.facing, 1);
  EXPECT_EQ(search.path[2].cell, 0);
}

TEST(AIPositionSearchTest, NoGoalEndsEmpty) {
  Graph graph(2);
  graph.edges[0] = {{1, 1}};
  g_goals = {};
  CAIPositionSearch search;
  int32_t counter = 50;
  EXPECT_FALSE(BestFirstSearchStep(search, 0, IsGoal, graph, counter));
  EXPECT_EQ(search.restart, 1);
  EXPECT_TRUE(search.path.empty());
  EXPECT_EQ(search.resultCost, INT_MAX);
}

// On a few hundred random graphs the search finds the cheapest goal, whether it runs at once
// or in slices of two expansions, and starts afresh after it finished.
TEST(AIPositionSearchTest, FindsWhatDijkstraFindsAtOnceAndInSlices) {
  std::mt19937 make(20261211);
  for (int round = 0; round < 300; ++round) {
    const int nodes = 2 + static_cast<int>(make() % 40);
    Graph graph(nodes);
    for (int n = 0; n < nodes; ++n) {
      const int degree = static_cast<int>(make() % 5);
      for (int e = 0; e < degree; ++e)
        graph.edges[static_cast<size_t>(n)].push_back(
            {static_cast<int>(make() % static_cast<unsigned>(nodes)), static_cast<int>(make() % 10)});
    }
    g_goals.clear();
    const int goals = static_cast<int>(make() % 4);
    for (int g = 0; g < goals; ++g) g_goals.insert(static_cast<int>(make() % static_cast<unsigned>(nodes)));
    const int start = static_cast<int>(make() % static_cast<unsigned>(nodes));
    const int expected = Dijkstra(graph, start);

    CAIPositionSearch whole;
    int32_t plenty = 1000000;
    EXPECT_EQ(BestFirstSearchStep(whole, start, IsGoal, graph, plenty), expected != INT_MAX) << round;
    EXPECT_EQ(whole.resultCost, expected) << round;

    CAIPositionSearch sliced;
    bool found = false;
    for (int call = 0; call < 10000; ++call) {
      int32_t slice = 3;
      found = BestFirstSearchStep(sliced, start, IsGoal, graph, slice);
      if (sliced.restart) break;
    }
    EXPECT_EQ(found, expected != INT_MAX) << round;
    EXPECT_EQ(sliced.resultCost, expected) << round;
    if (expected != INT_MAX) {
      // The path runs from a goal back to the start, and its cells chain by their moves.
      EXPECT_TRUE(g_goals.count(sliced.path.front().cell));
      EXPECT_EQ(sliced.path.back().cell, start);
    }
  }
}

}  // namespace
