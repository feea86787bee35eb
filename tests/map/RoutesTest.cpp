// Routes over small hand-made networks, entry nodes, the greedy node walk, travel times and
// the cell-level route search.
#include <climits>

#include "MapTestSupport.h"
#include "map/CellRouteSearch.h"
#include "map/MapUnits.h"
#include "map/PathNetwork.h"

using namespace map_test;

namespace {

// A link that only groups with these flags may take, up to a height.
CPathLink MakeLink(int cost, std::initializer_list<int> groups, int height) {
  CPathLink link;
  link.cost = cost;
  for (int group : groups) link.groups[group] = {1, {static_cast<int8_t>(height), static_cast<int8_t>(height)}};
  return link;
}

CMoveQuery Query(int height = 1, int movementKind = 0, int airborne = 0) {
  CMoveQuery query = CMoveQuery::MinimalWalker();
  query.height = height;
  query.movementKind = movementKind;
  query.airborne = airborne;
  return query;
}

}  // namespace

class Routes : public PathNetworkTest {
 protected:
  void Join(int a, int b, const CPathLink& link) {
    for (auto [from, to] : {std::pair{a, b}, std::pair{b, a}}) {
      for (CPathLink& slot : net.nodes[static_cast<size_t>(from)].links) {
        if (slot.cost != 0) continue;
        slot = link;
        slot.target = to;
        break;
      }
    }
  }
  // Plans a route for a query and checks that every link on it admits the query.
  std::vector<int> Plan(int from, int to, const CMoveQuery& query, int* result, int budget = 500) {
    int32_t route[CPathNetwork::kRouteLength];
    CRouteRequest request;
    request.startNode = from;
    request.goalNode = to;
    request.mover.queryGiven = true;
    request.mover.query = query;
    request.route = route;
    request.budget = budget;
    *result = net.BuildCreatureRoute(request);
    // With budget enough to finish, the plain reachability search agrees.
    if (budget >= 500) EXPECT_EQ(net.SearchNodeRoute(from, to, query), *result) << from << "->" << to;
    std::vector<int> nodes;
    for (int i = 0; i < CPathNetwork::kRouteLength && route[i] != -1; ++i) nodes.push_back(route[i]);
    for (size_t i = 1; i < nodes.size(); ++i) {
      bool admitted = false;
      for (const CPathLink& link : net.nodes[static_cast<size_t>(nodes[i - 1])].links)
        admitted |= link.cost && link.target == nodes[i] &&
                    link.Admits(query.height, query.size, query.airborne, query.movementKind);
      EXPECT_TRUE(admitted) << nodes[i - 1] << "->" << nodes[i];
    }
    return nodes;
  }
};

TEST_F(Routes, CorridorDetourUnreachableAndAcrossTheSeam) {
  // A corridor 0-1-2-3-4 along row 10 for walkers up to height 2.
  for (int i = 0; i < 5; ++i) Node(5 + 4 * i, 10);
  for (int i = 0; i < 4; ++i) Join(i, i + 1, MakeLink(16, {kGroupAny}, 2));
  int result;
  EXPECT_EQ(Plan(0, 4, Query(), &result), (std::vector<int>{0, 1, 2, 3, 4}));
  EXPECT_EQ(result, 1);
  EXPECT_EQ(Plan(2, 2, Query(), &result), std::vector<int>{2});  // start is goal
  EXPECT_EQ(result, 1);
  // Too tall for the corridor: no route; the route leads to the start, nearest found.
  EXPECT_EQ(Plan(0, 4, Query(3), &result), std::vector<int>{0});
  EXPECT_EQ(result, 0);

  // A detour: 1 and 3 also meet through 5 and 6 above the corridor; cut 2 out for fliers.
  int a = Node(13, 6), b = Node(17, 6);
  Join(1, a, MakeLink(16, {kGroupAny}, 2));
  Join(a, b, MakeLink(16, {kGroupAny}, 2));
  Join(b, 3, MakeLink(16, {kGroupAny}, 2));
  for (CPathLink& link : net.nodes[2].links) link = CPathLink{};
  for (int n : {1, 3})
    for (CPathLink& link : net.nodes[static_cast<size_t>(n)].links)
      if (link.target == 2) link = CPathLink{};
  EXPECT_EQ(Plan(0, 4, Query(), &result), (std::vector<int>{0, 1, a, b, 3, 4}));
  EXPECT_EQ(result, 1);

  // An unreachable goal: the route leads to the node nearest to it.
  int lonely = Node(24, 30);
  EXPECT_EQ(Plan(0, lonely, Query(), &result).back(), 4);
  EXPECT_EQ(result, 0);

  // Across the seam: 46 and 1 are five tiles apart the short way.
  int west = Node(45, 20), east = Node(2, 20), far = Node(24, 20);
  Join(west, east, MakeLink(20, {kGroupAny}, 2));
  Join(west, far, MakeLink(200, {kGroupAny}, 2));
  Join(far, east, MakeLink(200, {kGroupAny}, 2));
  EXPECT_EQ(Plan(west, east, Query(), &result), (std::vector<int>{west, east}));
  EXPECT_EQ(result, 1);
  EXPECT_EQ(net.nodes[west].HeuristicCost(net.nodes[east]), 4 * CellDistanceApprox(5, 0, 0));
}

TEST_F(Routes, LinksAdmitOnlyTheirKindsOfCreature) {
  int a = Node(5, 5), b = Node(9, 5), c = Node(13, 5);
  Join(a, b, MakeLink(16, {kGroupAny}, 2));
  Join(b, c, MakeLink(16, {kGroupAirborne}, 2));  // only for airborne creatures
  int result;
  Plan(a, c, Query(), &result);
  EXPECT_EQ(result, 0);
  Plan(a, c, Query(1, 0, 1), &result);
  EXPECT_EQ(result, 1);
  // Movement kind 1 needs its group's range: smallest <= height <= tallest.
  CPathLink wading = MakeLink(16, {kGroupKind1}, 3);
  wading.smallest[0] = 2;
  Join(a, c, wading);
  Plan(a, c, Query(1, 1), &result);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(Plan(a, c, Query(2, 1), &result), (std::vector<int>{a, c}));
  EXPECT_EQ(result, 1);
}

TEST_F(Routes, SearchResumedAcrossFramesGivesTheSameRoute) {
  // A grid of nodes 5 x 5, joined to their four neighbours at various costs.
  int grid[5][5];
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 5; ++x) grid[y][x] = Node(4 + 4 * x, 4 + 4 * y);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 5; ++x) {
      if (x < 4) Join(grid[y][x], grid[y][x + 1], MakeLink(16 + 5 * ((x + y) % 3), {kGroupAny}, 2));
      if (y < 4) Join(grid[y][x], grid[y + 1][x], MakeLink(16 + 7 * ((x * y) % 2), {kGroupAny}, 2));
    }
  int whole;
  std::vector<int> once = Plan(grid[0][0], grid[4][4], Query(), &whole);
  ASSERT_EQ(whole, 1);

  // A budget of 1 never gets past the start: its only expansion is dropped.
  int32_t route[CPathNetwork::kRouteLength];
  CRouteRequest request;
  request.startNode = grid[0][0];
  request.goalNode = grid[4][4];
  request.mover.queryGiven = true;
  request.mover.query = Query();
  request.route = route;
  for (int call = 0; call < 20; ++call) {
    request.budget = 1;
    EXPECT_EQ(net.BuildCreatureRoute(request), 0);
    EXPECT_EQ(route[0], grid[0][0]);
    EXPECT_EQ(route[1], -1);
  }
  // With 2 a call, one expansion a call, the restart flag clear after the first.
  request.restart = true;
  int result = 0, calls = 0;
  do {
    request.budget = 2;
    result = net.BuildCreatureRoute(request);
    ++calls;
  } while (!net.nodeSearch.restart && calls < 500);
  EXPECT_EQ(result, 1);
  EXPECT_GT(calls, 5);
  std::vector<int> resumed;
  for (int i = 0; i < CPathNetwork::kRouteLength && route[i] != -1; ++i) resumed.push_back(route[i]);
  EXPECT_EQ(resumed, once);

  // Traffic spreading raises the counters of the nodes handed out.
  request.restart = true;
  request.budget = 500;
  request.mover.trafficFlag = 1;
  ASSERT_EQ(net.BuildCreatureRoute(request), 1);
  EXPECT_EQ(net.nodes[static_cast<size_t>(grid[0][0])].traffic, 1);
  EXPECT_EQ(net.nodes[static_cast<size_t>(grid[4][4])].traffic, 1);
}

TEST(BestFirstSearch, ABudgetOfBMakesBMinusOneExpansions) {
  // A chain 0 -> 1 -> 2 -> ... : each expansion reaches one node further.
  auto generate = [](int node, const CBestFirstSearch::Closed&, std::vector<CSuccessor>& out, int32_t& budget) {
    if (budget < 1) return;
    --budget;
    out.push_back({10, node + 1, CSearchStep{}});
  };
  auto estimate = [](int node) { return 10 * (100 - node); };
  for (int32_t budget : {0, 1, 2, 3, 10, 40}) {
    CBestFirstSearch search;
    int32_t left = budget;
    search.Run(0, 100, left, generate, estimate);
    EXPECT_EQ(search.bestNode, std::max(budget - 1, 0)) << budget;
    EXPECT_EQ(left, 0) << budget;
    EXPECT_FALSE(search.restart) << budget;  // it goes on from here with the next call
    left = 3;
    search.Run(0, 100, left, generate, estimate);  // two more
    EXPECT_EQ(search.bestNode, std::max(budget - 1, 0) + 2) << budget;
  }
}

TEST_F(Routes, LongRoutesFillFiftyIndexes) {
  for (int i = 0; i < 60; ++i) Node(i % 48, 2 + i / 48 * 20);
  for (int i = 0; i < 59; ++i) Join(i, i + 1, MakeLink(16, {kGroupAny}, 2));
  int32_t route[CPathNetwork::kRouteLength];
  CRouteRequest request;
  request.startNode = 0;
  request.goalNode = 59;
  request.mover.queryGiven = true;
  request.mover.query = Query();
  request.route = route;
  request.budget = 5000;
  EXPECT_EQ(net.BuildCreatureRoute(request), 1);  // reached, past the 50th index
  EXPECT_EQ(route[0], 0);
  EXPECT_EQ(route[49], 49);
  request.goalNode = 49;
  request.restart = true;
  request.budget = 5000;
  EXPECT_EQ(net.BuildCreatureRoute(request), 1);  // exactly 50: no terminator
  EXPECT_EQ(route[49], 49);
}

TEST_F(Routes, EntryNodesMidpointsAndTravelTimes) {
  int near = Node(10, 10), farther = Node(14, 10), walled = Node(6, 10);
  for (int z = 0; z < 8; ++z) Set(8, 10, z, t::kStone);  // a wall between 6 and 9
  for (int z = 0; z < 8; ++z) Set(8, 9, z, t::kStone);
  for (int z = 0; z < 8; ++z) Set(8, 11, z, t::kStone);
  net.ComputeCellKeys();
  auto index = [&](int x) {
    for (int i = 0; i < net.count; ++i)
      if (net.nodes[i].x == x) return i;
    return -1;
  };
  (void)near;
  (void)farther;
  (void)walled;
  CLocationRequest location;
  location.x = 9;
  location.y = 10;
  location.mover.queryGiven = true;
  location.mover.query = Query();
  EXPECT_EQ(net.FindNearestReachableNode(location), index(10));
  location.x = 7;  // beside the wall: (6, 10) is nearest and reachable
  EXPECT_EQ(net.FindNearestReachableNode(location), index(6));
  location.x = 30;  // no node within reach
  EXPECT_EQ(net.FindNearestReachableNode(location), -1);

  // The midpoint of a greedy walk over the links.
  net.Clear();
  for (int i = 0; i < 5; ++i) Node(5 + 4 * i, 20);
  for (int i = 0; i < 4; ++i) Join(i, i + 1, MakeLink(16, {kGroupAny}, 2));
  int middle = -7;
  EXPECT_EQ(net.FindRouteMidpoint(0, 4, Query(), &middle), 1);
  EXPECT_EQ(middle, 2);
  EXPECT_EQ(net.walkList.size(), 5u);
  EXPECT_EQ(net.FindRouteMidpoint(0, 4, Query(3), &middle), 0);  // too tall: stuck
  EXPECT_EQ(middle, -1);

  EXPECT_EQ(TravelTime(0, 0), 0);
  EXPECT_EQ(TravelTime(8, 0), INT_MAX);
  EXPECT_EQ(TravelTime(8, 1), 2304);
  EXPECT_EQ(TravelTime(800, 4), 800 / 4 * 2304 / 2 / 4);
}

class CellRoutes : public Routes {
 protected:
  FakeHooks hooks;
  CCellRouteSearch& search = g_cellRouteSearch[0];
  void SetUp() override {
    Routes::SetUp();
    hooks.creatures.Add(1, 5, 10, 0);
  }
  void Plan(int x, int y, int level, int32_t budget = 500) {
    search.search.restart = true;
    search.Search(1, -1, x, y, level, budget);
  }
};

TEST_F(CellRoutes, WaypointsLeadToTheGoal) {
  for (uint8_t& b : search.block.kept) b = 0xA5;
  Plan(8, 10, 0);
  ASSERT_EQ(search.block.count, 3);
  EXPECT_EQ(search.block.waypoints[0].x, 6);
  EXPECT_EQ(search.block.waypoints[2].x, 8);
  EXPECT_EQ(search.block.waypoints[2].facing, 2);
  EXPECT_EQ(search.block.waypoints[1].stepKind, kStepGround);
  EXPECT_EQ(search.block.goalX, 8);
  EXPECT_EQ(search.block.nextWaypoint, 0);
  for (uint8_t b : search.block.kept) EXPECT_EQ(b, 0xA5);  // the creature's own bytes

  Plan(5, 10, 0);  // the goal is where it stands
  EXPECT_EQ(search.block.count, 0);

  Plan(27, 10, 0, 2000);  // 22 steps: the first 16
  ASSERT_EQ(search.block.count, 16);
  EXPECT_EQ(search.block.waypoints[15].x, 21);

  // A wall in the way: the route goes round it (within the box of start and goal).
  for (int y = 9; y <= 10; ++y)
    for (int z = 0; z < 8; ++z) Set(7, y, z, t::kStone);
  Plan(9, 10, 0);
  ASSERT_GT(search.block.count, 3);
  const CWaypoint& last = search.block.waypoints[search.block.count - 1];
  EXPECT_EQ(last.x, 9);
  EXPECT_EQ(last.y, 10);
}

TEST_F(CellRoutes, ClimbingWithinAColumnKeepsTheFacing) {
  hooks.creatures.creatures[1].query.flying = 1;
  hooks.creatures.facing = 6;
  Plan(5, 10, 2);
  ASSERT_EQ(search.block.count, 2);
  EXPECT_EQ(search.block.waypoints[0].level, 1);
  EXPECT_EQ(search.block.waypoints[0].facing, 6);
  EXPECT_EQ(search.block.waypoints[0].levelChange, 1);
  EXPECT_EQ(search.block.waypoints[0].stepKind, kStepTakeOff);
  EXPECT_EQ(search.block.waypoints[0].special, 1);
}

TEST_F(CellRoutes, ASearchSpreadOverCallsEndsWhereOneRunDoes) {
  for (int y = 8; y <= 12; ++y)
    if (y != 12)
      for (int z = 0; z < 8; ++z) Set(9, y, z, t::kStone);
  Plan(12, 11, 0, 5000);
  std::vector<std::pair<int, int>> once;
  for (int i = 0; i < search.block.count; ++i)
    once.push_back({search.block.waypoints[i].x, search.block.waypoints[i].y});
  ASSERT_FALSE(once.empty());

  CCellRouteSearch& continued = g_cellRouteSearch[1];
  continued.search.restart = true;
  int calls = 0;
  do {
    int32_t budget = 3;
    continued.Search(1, -1, 12, 11, 0, budget);
    ++calls;
  } while (!continued.search.restart && calls < 500);
  std::vector<std::pair<int, int>> spread;
  for (int i = 0; i < continued.block.count; ++i)
    spread.push_back({continued.block.waypoints[i].x, continued.block.waypoints[i].y});
  EXPECT_GT(calls, 2);
  EXPECT_EQ(spread, once);
}
