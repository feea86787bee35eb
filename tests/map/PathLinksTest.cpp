// Link tests between path nodes, the upkeep queue and the completion at battle load.
#include "MapTestSupport.h"
#include "core/Options.h"
#include "map/MapUnits.h"
#include "map/PathNetwork.h"

using namespace map_test;

class PathLinks : public PathNetworkTest {
 protected:
  void SetUp() override {
    PathNetworkTest::SetUp();
    hooks.creatures.UseStandardTypes();
  }
  FakeHooks hooks;

  const CPathLink* LinkOf(int a, int b) {
    for (const CPathLink& link : net.nodes[static_cast<size_t>(a)].links)
      if (link.cost && link.target == b) return &link;
    return nullptr;
  }
  void Settle() {
    net.FinishPendingChecks();
    EXPECT_FALSE(net.HasPendingChecks());
  }
  void WallAcross(int x, int type) {
    for (int y = 0; y < g_map.height; ++y)
      for (int z = 0; z < g_map.levels; ++z) Set(x, y, z, type);
  }
};

TEST_F(PathLinks, TestHeightsAreOrderedSmallestThenTallest) {
  net.CollectTestHeights(1, 0, 0, 1);
  EXPECT_EQ(std::vector<int>(net.testHeights, net.testHeights + 4), (std::vector<int>{1, 4, 2, -1}));
  net.CollectTestHeights(1, 0, 0, 2);
  EXPECT_EQ(net.testHeights[0], 1);
  EXPECT_EQ(net.testHeights[1], -1);
  net.CollectTestHeights(0, 1, 0, 0);  // airborne types
  EXPECT_EQ(net.testHeights[0], 1);
  EXPECT_EQ(net.testHeights[1], -1);
  net.CollectTestHeights(0, 0, 1, 0);  // movement kind 1
  EXPECT_EQ(net.testHeights[0], 2);
  hooks.creatures.types.resize(23);
  hooks.creatures.types[22] = {1, 9, 0, 0, 1, false};  // type 22 is never tested
  net.CollectTestHeights(1, 0, 0, 0);
  EXPECT_EQ(std::count(net.testHeights, net.testHeights + 6, 9), 0);
}

TEST_F(PathLinks, ALinkRecordsWhoCanTravelItBothWays) {
  // A wall with a gap one cell wide: large creatures cannot pass, so the link is tested
  // group by group.
  int a = Node(5, 10), b = Node(10, 10);
  for (int y = 0; y < g_map.height; ++y)
    if (y != 10)
      for (int z = 0; z < 8; ++z) Set(7, y, z, t::kStone);
  net.BuildLink(a, b, 1, 0);
  const CPathLink* ab = LinkOf(a, b);
  const CPathLink* ba = LinkOf(b, a);
  ASSERT_NE(ab, nullptr);
  ASSERT_NE(ba, nullptr);
  EXPECT_EQ(ab->cost, 5 * 4 * CellDistanceApprox(1, 0, 0));  // five straight steps
  EXPECT_TRUE(ab->SameCapabilities(*ba));
  EXPECT_EQ(ab->groups[kGroupAny].flag, 1);
  EXPECT_EQ(ab->groups[kGroupAny].tallest[0], 4);  // every size-1 height passes
  EXPECT_EQ(ab->groups[kGroupAny].tallest[1], 0);
  // Without water the swimming and wading groups only copy group 0.
  for (int group : {kGroupKind2, kGroupKind3, kGroupKind1}) {
    EXPECT_EQ(ab->groups[group].flag, 1) << group;
    EXPECT_EQ(ab->groups[group].tallest[0], 4) << group;
  }
  EXPECT_EQ(ab->smallest[0], 0);
  EXPECT_TRUE(ab->Admits(4, 1, 0, 0));
  EXPECT_FALSE(ab->Admits(2, 2, 0, 0));

  // A wall between them: nothing passes, and no link is stored.
  int c = Node(20, 30), d = Node(25, 30);
  for (int y = 26; y <= 34; ++y)
    for (int z = 0; z < 8; ++z) Set(22, y, z, t::kStone);
  net.BuildLink(c, d, 1, 0);
  EXPECT_EQ(LinkOf(c, d), nullptr);
}

TEST_F(PathLinks, WhenTheTallestLargeTypePassesTheLinkAdmitsEverything) {
  // The tallest height listed for the size-2 types decides, not the tallest of all types:
  // the size-1 walker of height 4 is not tested, and the link records height 2 for it too.
  hooks.creatures.types = {
      {2, 1, 0, 0, 4, false}, {2, 2, 0, 0, 4, false}, {1, 1, 0, 1, 4, false}, {1, 4, 0, 0, 4, false}};
  int a = Node(5, 10), b = Node(9, 10);
  net.BuildLink(a, b, 1, 0);
  const CPathLink* link = LinkOf(a, b);
  ASSERT_NE(link, nullptr);
  for (int group = 0; group < kLinkGroups; ++group) {
    EXPECT_EQ(link->groups[group].flag, 1);
    EXPECT_EQ(link->groups[group].tallest[0], 2);
    EXPECT_EQ(link->groups[group].tallest[1], 2);
  }
  EXPECT_EQ(link->smallest[0], 0);  // group 4's whole range
  EXPECT_TRUE(link->Admits(1, 1, 0, 1));
  EXPECT_TRUE(link->Admits(2, 2, 0, 3));
  EXPECT_FALSE(link->Admits(4, 1, 0, 0));
}

TEST_F(PathLinks, ALinkTestSpreadOverCallsFindsTheSameHeightsWhateverEachCallMaySpend) {
  // Large walkers of heights 1, 2 and 3: each height is a quick walk of its own, and every
  // call's budget may run out after any of them.
  hooks.creatures.types = {
      {1, 1, 0, 0, 4, false}, {2, 1, 0, 0, 4, false}, {2, 2, 0, 0, 4, false}, {2, 3, 0, 0, 4, false}};
  int a = Node(5, 10), b = Node(8, 10);
  net.BuildLink(a, b, 1, 0);
  ASSERT_NE(LinkOf(a, b), nullptr);
  const CPathLink whole = *LinkOf(a, b);
  EXPECT_EQ(whole.groups[kGroupAny].tallest[1], 3);
  for (int32_t perCall : {1, 2, 3, 10, 100}) {
    for (int node : {a, b})
      for (CPathLink& link : net.nodes[static_cast<size_t>(node)].links) link = CPathLink{};
    int done = 0, calls = 0;
    for (int start = 1; !done && calls < 10000; start = 0, ++calls) {
      int32_t budget = perCall;
      done = net.TestLinkStep(a, b, start, &budget);
    }
    ASSERT_EQ(done, 1) << perCall;
    const CPathLink* link = LinkOf(a, b);
    ASSERT_NE(link, nullptr) << perCall;
    EXPECT_TRUE(link->SameCapabilities(whole)) << perCall;
    EXPECT_EQ(link->groups[kGroupAny].tallest[1], 3) << perCall;
    EXPECT_EQ(link->cost, whole.cost) << perCall;
    if (perCall == 1) EXPECT_GE(calls, 2);  // one height a call at most
  }
}

TEST_F(PathLinks, SwimmersLinkNodesUnderTheWater) {
  // Deep water over the floor; the nodes lie on the floor, far below where a swimmer floats.
  hooks.creatures.types = {{1, 1, 0, 2, 3, false}, {1, 1, 0, 0, 4, false}};
  g_map.waterLevel = 4;
  int a = Node(5, 10), b = Node(9, 10);
  net.BuildLink(a, b, 1, 0);
  const CPathLink* link = LinkOf(a, b);
  ASSERT_NE(link, nullptr);
  EXPECT_EQ(link->groups[kGroupKind2].flag, 1);
  EXPECT_EQ(link->groups[kGroupKind2].tallest[0], 1);
  EXPECT_EQ(link->groups[kGroupAny].flag, 0);  // walkers cannot go under the water
  EXPECT_TRUE(link->Admits(1, 1, 0, kMovementSwimmer));
  EXPECT_FALSE(link->Admits(1, 1, 0, 0));
  g_map.waterLevel = 0;
}

TEST_F(PathLinks, RebuildingLinksPairsNodesWithinEight) {
  int a = Node(5, 10), b = Node(13, 10);  // (0 + 2 x 8) / 2 = 8
  int c = Node(5, 20), d = Node(14, 20);  // 9
  int e = Node(46, 30), f = Node(2, 30);  // 4 across the seam
  net.ComputeCellKeys();
  net.RebuildLinks(1, 0);
  auto linked = [&](int x1, int y1, int x2, int y2) {
    int i = -1, k = -1;
    for (int n = 0; n < net.count; ++n) {
      if (net.nodes[n].x == x1 && net.nodes[n].y == y1) i = n;
      if (net.nodes[n].x == x2 && net.nodes[n].y == y2) k = n;
    }
    return net.FindLink(i, k) != 0;
  };
  (void)a, (void)b, (void)c, (void)d, (void)e, (void)f;
  EXPECT_TRUE(linked(5, 10, 13, 10));
  EXPECT_FALSE(linked(5, 20, 14, 20));
  EXPECT_TRUE(linked(46, 30, 2, 30));
  EXPECT_GT(hooks.battle.progressSteps, 0);
  net.RebuildLinks(0, 0);  // without wrapping the seam is far
  EXPECT_FALSE(linked(46, 30, 2, 30));
}

TEST_F(PathLinks, LinksFollowTheTerrainRaisedAndDestroyed) {
  int a = Node(5, 10), b = Node(10, 10);
  net.BuildLink(a, b, 1, 0);
  ASSERT_NE(LinkOf(a, b), nullptr);
  WallAcross(7, t::kStone);
  WallAcross(8, t::kStone);
  net.OnCellChanged(7, 10, 0, 0);
  Settle();
  EXPECT_EQ(LinkOf(a, b), nullptr);
  EXPECT_EQ(LinkOf(b, a), nullptr);
  WallAcross(7, 0);
  WallAcross(8, 0);
  Set(7, 10, 0, t::kGrass);
  Set(8, 10, 0, t::kGrass);
  net.OnCellChanged(7, 10, 0, 0);
  Settle();
  ASSERT_NE(LinkOf(a, b), nullptr);
  EXPECT_EQ(LinkOf(a, b)->groups[kGroupAny].tallest[0], 4);

  // Destroying terrain through the map tells the network by itself.
  g_useNodeMap = 1;
  for (int z = 0; z < 8; ++z) Set(8, 10, z, t::kStone);
  for (int y = 0; y < g_map.height; ++y)
    if (y != 10)
      for (int z = 0; z < 8; ++z) Set(8, y, z, t::kRock);
  net.OnCellChanged(8, 10, 0, 0);
  Settle();
  EXPECT_EQ(LinkOf(a, b), nullptr);
  for (int z = 7; z >= 1; --z) Cell(8, 10, z).Damage(1000);
  Cell(8, 10, 0).Damage(80);  // stone leaves rubble, which can be walked over
  EXPECT_EQ(Cell(8, 10, 0).terrain, t::kRubble);
  Settle();
  EXPECT_NE(LinkOf(a, b), nullptr);
  g_useNodeMap = 0;
}

TEST_F(PathLinks, TheQueueKeepsOneEntryPerNodeNearestFirst) {
  EXPECT_EQ(net.checks[0].node, -1);
  net.OnCellChanged(5, 5, 0, 1);  // no nodes: nothing queued
  EXPECT_EQ(net.checks[0].node, -1);

  int n5 = Node(5, 10), n8 = Node(8, 10), n11 = Node(11, 10);
  net.OnCellChanged(11, 10, 0, 1);  // near: within 2 x max + min <= 9, so not node 5
  ASSERT_EQ(net.checks[0].node, n11);
  EXPECT_EQ(net.checks[1].node, n8);
  EXPECT_EQ(net.checks[1].distance, 6);
  EXPECT_EQ(net.checks[2].node, -1);
  // A nearer node goes ahead of farther ones; a report of another kind makes it kind 0.
  net.OnCellChanged(5, 10, 0, 2);
  EXPECT_EQ(net.checks[0].node, n11);
  EXPECT_EQ(net.checks[1].node, n5);
  EXPECT_EQ(net.checks[1].distance, 0);
  EXPECT_EQ(net.checks[1].kind, 2);
  EXPECT_EQ(net.checks[2].node, n8);
  EXPECT_EQ(net.checks[2].kind, 0);
  EXPECT_EQ(net.checks[3].node, -1);

  // A full ring drops new nodes but still lowers the distance of a queued one.
  for (int i = 3; i < CPathNetwork::kChecks; ++i) net.checks[i] = CPathCheck{n8, 0, 50};
  net.writeIndex = 0;
  int late = Node(30, 30);
  net.OnCellChanged(30, 30, 0, 0);
  for (const CPathCheck& check : net.checks) EXPECT_NE(check.node, late);
  net.checks[2].distance = 40;
  net.OnCellChanged(9, 10, 0, 0);  // node 8 at distance 2
  EXPECT_EQ(net.checks[2].distance, 2);
}

TEST_F(PathLinks, InitialiseCompletesTheNetworkAndEnds) {
  g_map.regions[0] = {12, 10, 0, 0, 0};
  g_map.regions[1] = {30, 20, 0, 0, 0};
  int a = Node(5, 10), b = Node(30, 14);
  (void)a;
  (void)b;
  Cell(18, 18, 0).state |= state_bits::kClosedDoor;  // closed doors are re-tested
  net.Initialise();
  EXPECT_EQ(net.count, 4);
  EXPECT_EQ(net.nodeUnderTest, -1);
  EXPECT_EQ(net.checks[net.readIndex].node, -1);
  // Each region's entry node stands at or near it.
  for (int r = 0; r < 2; ++r) {
    int entry = g_map.GetRegionOfPowerValue(r);
    ASSERT_GE(entry, 0) << r;
    const CPathNode& node = net.nodes[static_cast<size_t>(entry)];
    EXPECT_LE(std::abs(node.x - g_map.regions[r].x) + std::abs(node.y - g_map.regions[r].y), 2) << r;
  }
  // The region's node was linked to its neighbour.
  int region0 = g_map.GetRegionOfPowerValue(0), near = -1;
  for (int i = 0; i < net.count; ++i)
    if (net.nodes[i].x == 5) near = i;
  EXPECT_NE(net.FindLink(region0, near), 0);
}
