// Path nodes: node files and sections, sorting and link targets, generation, the saved block.
#include <cstdio>

#include "MapTestSupport.h"
#include "core/Bytes.h"
#include "forge/NodeFiles.h"
#include "map/PathNetwork.h"
#include "support/TestSupport.h"

using namespace map_test;
using testing_support::TempDir;

class PathNodes : public PathNetworkTest {
 protected:
  void SetUp() override {
    MakeMap(72, 60, 8);
    FillLevel(0, t::kGrass);
    g_pathNetwork.Clear();
  }
  TempDir dir;
  std::string WriteNodes(const std::string& name, const std::vector<forge::NodeDef>& nodes) {
    dir.Write(name, forge::NodeFileBytes(nodes));
    return dir.File(name);
  }
};

TEST_F(PathNodes, NodeFilesLoadTurnedAndMovedIntoPlace) {
  // A 20 x 30 section with three nodes: its corners and one between, linked in a chain.
  std::vector<forge::NodeDef> nodes(3);
  nodes[0] = {0, 0, 0, 1, {forge::OpenLink(1, 12)}};
  nodes[1] = {19, 29, 0, 1, {forge::OpenLink(0, 12), forge::OpenLink(2, 20)}};
  nodes[2] = {5, 7, 1, 1, {forge::OpenLink(1, 20)}};
  std::string path = WriteNodes("a.nod", nodes);
  for (int i = 0; i < 5; ++i) Node(i, 50, 0);  // five nodes already there
  ASSERT_EQ(net.LoadSection(path.c_str(), 40, 0, 20, 30, 1, 7, 8, 9, 10), 1);
  ASSERT_EQ(net.count, 8);
  EXPECT_EQ(net.nodes[5].x, 69);  // local (0, 0) turned by a quarter
  EXPECT_EQ(net.nodes[5].y, 0);
  EXPECT_EQ(net.nodes[6].x, 40);  // local (19, 29)
  EXPECT_EQ(net.nodes[6].y, 19);
  EXPECT_EQ(net.nodes[7].level, 1);
  EXPECT_EQ(net.nodes[5].links[0].target, 6);  // targets move by the old count
  EXPECT_EQ(net.nodes[6].links[1].target, 7);
  EXPECT_EQ(net.nodes[6].links[1].cost, 20);
  EXPECT_EQ(net.nodes[5].topOfColumn, 1);
  EXPECT_EQ(net.FindLink(6, 7), 20);
  EXPECT_EQ(net.FindLink(5, 7), 0);

  const CPathSection& section = net.sections[0];
  EXPECT_EQ(section.xEnd, 70);  // turned: 30 wide
  EXPECT_EQ(section.yEnd, 20);
  EXPECT_EQ(section.rotation, 1);
  EXPECT_EQ(net.FindSection(69, 0), 0);
  EXPECT_EQ(net.FindSection(70, 0), CPathNetwork::kSections);
  int x = 69, y = 0;
  EXPECT_EQ(net.GetSectionLocalPosition(x, y, 0), 7);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
  x = 40, y = 19;
  net.GetSectionLocalPosition(x, y, 0);
  EXPECT_EQ(x, 19);
  EXPECT_EQ(y, 29);
  EXPECT_EQ(net.IsOnSectionExitEdge(40, 5), 1);  // turned: its own east edge lies at x start
  EXPECT_EQ(net.IsOnSectionExitEdge(50, 19), 1);
  EXPECT_EQ(net.IsOnSectionExitEdge(50, 5), 0);
}

TEST_F(PathNodes, BadNodeFilesAreRefusedAndChangeNothing) {
  std::vector<uint8_t> empty = forge::NodeFileBytes({});
  ASSERT_EQ(empty.size(), 24u);
  dir.Write("empty.nod", empty);
  EXPECT_EQ(net.LoadSection(dir.File("empty.nod").c_str(), 0, 0, 20, 20, 0, 0, 0, 0, 0), 1);
  EXPECT_EQ(net.count, 0);
  EXPECT_EQ(net.sections[0].xEnd, 0);  // no section either

  std::vector<forge::NodeDef> one(1);
  one[0] = {3, 3, 0, 1, {}};
  std::vector<uint8_t> good = forge::NodeFileBytes(one);
  std::vector<uint8_t> longer = good, shorter = good, badTarget = good, offSection = good, badLevel = good;
  longer.push_back(0);
  shorter.pop_back();
  bytes::StoreU32(badTarget.data() + 16 + 20, 5);   // link 0 cost
  bytes::StoreU32(badTarget.data() + 16 + 24, 1);   // link 0 target: there is no record 1
  bytes::StoreU32(offSection.data() + 16 + 8, 20);  // x 20 in a 20-wide section
  bytes::StoreU32(badLevel.data() + 16 + 16, 8);    // level 8 of 8
  std::vector<uint8_t> huge = good;
  bytes::StoreU32(huge.data() + 12, 0x40000000u);
  for (auto [name, data] : {std::pair{"long", longer},
                            {"short", shorter},
                            {"target", badTarget},
                            {"section", offSection},
                            {"level", badLevel},
                            {"huge", huge}}) {
    dir.Write(name, data);
    EXPECT_EQ(net.LoadSection(dir.File(name).c_str(), 0, 0, 20, 20, 0, 0, 0, 0, 0), 0) << name;
    EXPECT_EQ(net.count, 0) << name;
  }
  EXPECT_EQ(net.LoadSection(dir.File("missing.nod").c_str(), 0, 0, 20, 20, 0, 0, 0, 0, 0), 0);
  EXPECT_EQ(net.sections[0].xEnd, 0);

  // With 999 nodes in use a file of one more is refused: one record stays free.
  for (int i = 0; i < 999; ++i) Node(i % 72, i / 72, 0);
  dir.Write("good", good);
  EXPECT_EQ(net.LoadSection(dir.File("good").c_str(), 0, 0, 20, 20, 0, 0, 0, 0, 0), 0);
  net.count = 998;
  EXPECT_EQ(net.LoadSection(dir.File("good").c_str(), 0, 0, 20, 20, 0, 0, 0, 0, 0), 1);
}

TEST_F(PathNodes, SectionsWrapRoundTheMap) {
  net.AddSection(60, 50, 80, 70, 0, "edge.nod", 1, 2, 3, 4);
  EXPECT_EQ(net.sections[0].xEnd, 8);
  EXPECT_EQ(net.sections[0].yEnd, 10);
  EXPECT_EQ(net.FindSection(71, 55), 0);
  EXPECT_EQ(net.FindSection(3, 2), 0);
  EXPECT_EQ(net.FindSection(10, 55), CPathNetwork::kSections);
  int x = 3, y = 2;
  net.GetSectionLocalPosition(x, y, 0);
  EXPECT_EQ(x, 15);
  EXPECT_EQ(y, 12);
  for (int i = 1; i < CPathNetwork::kSections; ++i) net.AddSection(0, 0, 1, 1, 0, "more", 0, 0, 0, 0);
  net.AddSection(30, 30, 40, 40, 0, "37th", 0, 0, 0, 0);  // no slot left: not recorded
  EXPECT_EQ(net.FindSection(35, 35), CPathNetwork::kSections);
}

TEST_F(PathNodes, SortingKeepsEveryLinkOnItsNodes) {
  EXPECT_EQ(net.FindFirstNodeAtX(5), -1);
  const int positions[][3] = {{9, 1, 0}, {3, 4, 0}, {7, 2, 1}, {3, 1, 0}, {7, 2, 0}};
  for (const auto& p : positions) Node(p[0], p[1], p[2]);
  auto link = [&](int a, int b, int cost) {
    net.nodes[static_cast<size_t>(a)].links[0].cost = cost;
    net.nodes[static_cast<size_t>(a)].links[0].target = b;
  };
  link(0, 1, 10);
  link(1, 4, 11);
  link(2, 3, 12);
  link(3, 0, 13);
  link(4, 2, 14);
  net.ResolveLinkTargets();
  ASSERT_EQ(net.count, 5);
  for (int i = 1; i < net.count; ++i) EXPECT_LE(net.nodes[i - 1].sortKey, net.nodes[i].sortKey);
  EXPECT_EQ(net.nodes[0].x, 3);
  EXPECT_EQ(net.nodes[4].x, 9);
  // Every link joins the same two positions as before.
  auto at = [&](int x, int y, int level) {
    for (int i = 0; i < net.count; ++i)
      if (net.nodes[i].x == x && net.nodes[i].y == y && net.nodes[i].level == level) return i;
    return -1;
  };
  EXPECT_EQ(net.FindLink(at(9, 1, 0), at(3, 4, 0)), 10);
  EXPECT_EQ(net.FindLink(at(3, 4, 0), at(7, 2, 0)), 11);
  EXPECT_EQ(net.FindLink(at(7, 2, 1), at(3, 1, 0)), 12);
  EXPECT_EQ(net.FindLink(at(3, 1, 0), at(9, 1, 0)), 13);
  EXPECT_EQ(net.FindLink(at(7, 2, 0), at(7, 2, 1)), 14);
  EXPECT_EQ(net.FindFirstNodeAtX(0), 0);
  EXPECT_EQ(net.FindFirstNodeAtX(4), 2);
  EXPECT_EQ(net.FindFirstNodeAtX(7), 2);
  EXPECT_EQ(net.FindFirstNodeAtX(8), 4);
  EXPECT_EQ(net.FindFirstNodeAtX(50), 4);  // all left of it: the last

  net.nodes[0].traffic = 5;
  net.nodes[1].currentMark[2] = 9;
  net.nodes[1].values[1] = 3;
  net.StoreMarks(4);
  EXPECT_EQ(net.nodes[1].savedMarks[4][2], 9);
  net.ClearNodeCounters();
  net.ClearVisitMarks();
  net.ClearSearchState();
  EXPECT_EQ(net.nodes[0].traffic, 0);
  EXPECT_EQ(net.nodes[1].currentMark[2], 0);
  EXPECT_EQ(net.nodes[1].values[1], 0);
  EXPECT_EQ(net.nodes[1].savedMarks[4][2], 9);
  net.cursor = 0;
  int walked = 0;
  while (net.NextNode()) ++walked;
  EXPECT_EQ(walked, 5);
  EXPECT_EQ(net.GetNode(1000), nullptr);
  EXPECT_EQ(net.GetNode(-1), nullptr);
}

TEST_F(PathNodes, SavedBlockRoundTripsByteForByteAndRefusesBadBlocks) {
  FakeHooks hooks;
  for (int i = 0; i < 4; ++i) Node(5 + 3 * i, 10, 0);
  net.nodes[1].links[0].cost = 30;
  net.nodes[1].links[0].target = 2;
  net.nodes[1].links[0].groups[kGroupAirborne] = {1, {3, 1}};
  net.nodes[2].savedMarks[1][3] = 7;
  net.AddSection(0, 0, 20, 20, 2, "x.nod", 5, 6, 7, 8);
  net.OnCellChanged(9, 10, 0, 1);
  ASSERT_NE(net.checks[0].node, -1);
  FILE* file = std::tmpfile();
  int size = net.Save(file);
  EXPECT_EQ(size, CPathNetwork::kSaveFixedBytes + 4 * CPathNode::kBytes);
  std::vector<uint8_t> first(static_cast<size_t>(size));
  std::rewind(file);
  ASSERT_EQ(std::fread(first.data(), 1, first.size(), file), first.size());
  std::rewind(file);
  net.Clear();
  ASSERT_EQ(net.Load(file), size);
  std::fclose(file);
  EXPECT_EQ(net.count, 4);
  EXPECT_EQ(net.FindLink(1, 2), 30);
  file = std::tmpfile();
  net.Save(file);
  std::vector<uint8_t> second(first.size());
  std::rewind(file);
  ASSERT_EQ(std::fread(second.data(), 1, second.size(), file), second.size());
  std::fclose(file);
  EXPECT_EQ(first, second);

  // An empty network is 22608 bytes.
  CPathNetwork& empty = *new CPathNetwork;
  std::unique_ptr<CPathNetwork> owner(&empty);
  file = std::tmpfile();
  EXPECT_EQ(empty.Save(file), 22608);
  std::fclose(file);

  // Bad counts, bad targets and short blocks are refused; the network stays as it was.
  auto refuse = [&](std::vector<uint8_t> bytes, const char* what) {
    FILE* bad = std::tmpfile();
    std::fwrite(bytes.data(), 1, bytes.size(), bad);
    std::rewind(bad);
    EXPECT_EQ(net.Load(bad), -1) << what;
    std::fclose(bad);
    EXPECT_EQ(net.count, 4) << what;
    EXPECT_EQ(net.FindLink(1, 2), 30) << what;
  };
  std::vector<uint8_t> bad = first;
  bytes::StoreU32(bad.data(), 1001);
  refuse(bad, "count");
  bad = first;
  bytes::StoreU32(bad.data() + 4 + CPathNode::kBytes + 16 + 4, 9);  // node 1, link 0 target
  refuse(bad, "target");
  bad = first;
  bad.resize(bad.size() - 1);
  refuse(bad, "short");
  bad = first;
  bytes::StoreU32(bad.data() + 4 + 4 * CPathNode::kBytes + 28 + 12000 + 10512, 1000);  // read index
  refuse(bad, "read index");
  // A section in use lies in the map: its start inside it, its end at most one map further.
  const size_t section = 4 + 4 * CPathNode::kBytes + 28 + 12000;
  for (auto [field, value] : {std::pair{0, -1}, std::pair{0, INT32_MIN}, std::pair{4, 60}, std::pair{8, 73},
                              std::pair{12, -5}, std::pair{12, 0}}) {
    bad = first;
    bytes::StoreU32(bad.data() + section + static_cast<size_t>(field), static_cast<uint32_t>(value));
    refuse(bad, "section");
  }
}

TEST_F(PathNodes, AnInterruptedTestIsQueuedAgainAfterALoad) {
  for (int i = 0; i < 3; ++i) Node(5 + 3 * i, 10, 0);
  net.nodeUnderTest = 1;
  net.candidateIndex = 2;
  FILE* file = std::tmpfile();
  net.Save(file);
  std::rewind(file);
  net.Clear();
  ASSERT_GT(net.Load(file), 0);
  std::fclose(file);
  EXPECT_EQ(net.nodeUnderTest, -1);
  EXPECT_EQ(net.checks[net.readIndex].node, 1);
  EXPECT_EQ(net.checks[net.readIndex].kind, 0);
}

TEST_F(PathNodes, GeneratedNodesCoverTheMap) {
  FakeHooks hooks;
  MakeMap(48, 44, 4);
  FillLevel(0, t::kGrass);
  for (int y = 0; y < 30; ++y) Set(20, y, 1, t::kStoneTop);  // a low wall, walked on top
  Set(20, 0, 2, t::kStoneTop);
  net.GenerateNodes(1);
  ASSERT_GT(net.count, 50);
  EXPECT_GT(hooks.battle.progressSteps, 0);
  for (int i = 0; i < net.count; ++i) {
    EXPECT_EQ(net.nodes[i].inUse, 1);
    if (i) EXPECT_LE(net.nodes[i - 1].sortKey, net.nodes[i].sortKey);
  }
  // A node on the grid: (2, 2) stands on the floor.
  bool gridNode = false;
  for (int i = 0; i < net.count; ++i) gridNode |= net.nodes[i].x == 2 && net.nodes[i].y == 2 && net.nodes[i].level == 0;
  EXPECT_TRUE(gridNode);
  // Every place a walker stands reaches a node.
  for (auto [x, y, level] : {std::tuple{11, 13, 0}, {20, 10, 1}, {45, 40, 0}, {0, 0, 0}}) {
    CLocationRequest location;
    location.x = x;
    location.y = y;
    location.level = level;
    location.mover.queryGiven = true;
    location.mover.query = CMoveQuery::MinimalWalker();
    EXPECT_NE(net.FindNearestReachableNode(location), -1) << x << "," << y << "," << level;
  }
}

TEST_F(PathNodes, CoverageGoesOnOverEveryCellOfAColumn) {
  // A walled-in cell on the floor under a sealed cell, and the place on top of that sealed
  // cell: no grid node reaches either, and the nodes placed up the column from the floor
  // stop at the sealed cell. Both need nodes of their own.
  FakeHooks hooks;
  MakeMap(48, 44, 8);
  FillLevel(0, t::kGrass);
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx)
      if (dx || dy)
        for (int z = 0; z < 2; ++z) Set(10 + dx, 10 + dy, z, t::kStone);
  Cell(10, 10, 1).state |= state_bits::kSealed;
  net.GenerateNodes(1);
  for (int level : {0, 2}) {
    CLocationRequest location;
    location.x = location.y = 10;
    location.level = level;
    location.mover.queryGiven = true;
    location.mover.query = CMoveQuery::MinimalWalker();
    EXPECT_NE(net.FindNearestReachableNode(location), -1) << level;
  }
}
