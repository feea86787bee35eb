// Terrain collapse on small hand-made maps: a face that touches nothing loses its support at
// once and the cell falls without a search; a bridge on one pillar falls frame by frame once
// the pillar is broken, within the frame's cell and node limits; cells on the ground, anchored
// cells and fixed terrain never fall; one seed drops the same cells in the same frames. And
// the wizard returns of a multiplayer battle.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "battle/Battle.h"
#include "battle/Collapse.h"
#include "battle/WizardReturn.h"
#include "core/GameSettings.h"
#include "core/PlayerSlot.h"
#include "core/Random.h"
#include "creatures/Armies.h"
#include "map/Map.h"
#include "map/MapCell.h"
#include "map/PathNetwork.h"
#include "map/TerrainType.h"

namespace {

constexpr int kSolid = 1;  // a whole block of an ordinary kind
constexpr int kFixed = 2;  // a whole block of the fixed kind 255

struct Fall {
  int frame, x, y, z;
  bool operator==(const Fall&) const = default;
};

// Writes down each falling block with the frame it started in.
struct FallingBlocks : ICollapseEffects {
  int frame = 0;
  std::vector<Fall> falls;
  void StartFallingBlock(int x, int y, int z, int) override { falls.push_back({frame, x, y, z}); }
  void EndCellEffects(CMapCell&) override {}
};

class Collapse : public ::testing::Test {
 protected:
  void SetUp() override {
    CTerrainType solid;
    for (uint8_t& byte : solid.solidMask) byte = 0xFF;
    solid.kind = 1;
    CTerrainType fixed = solid;
    fixed.kind = kFixedTerrainKind;
    g_terrainTypes.Assign({CTerrainType{}, solid, fixed});
    g_pathNetwork.Clear();
    ASSERT_EQ(g_map.Create(100, 43, 6, 1, 1), 1);
    g_battleRandom.Seed(77);
  }
  void TearDown() override {
    battle_.ClearCellQueue();
    g_map.Clear();
    g_terrainTypes.Clear();
  }
  CMapCell& At(int x, int y, int level) { return g_map.CellAt(x, y, level); }
  CMapCell& Put(int x, int y, int level, int type, uint16_t bits) {
    CMapCell& cell = At(x, y, level);
    cell.terrain = static_cast<uint16_t>(type);
    cell.shape = bits;
    return cell;
  }
  // Runs collapse steps until the queue is empty (at most `frames`); answers the frames run.
  int RunSteps(int frames = 200) {
    int run = 0;
    while (!battle_.cellQueue.empty() && run < frames) {
      fake_.frame = run++;
      battle_.StepCollapse();
      EXPECT_LE(g_collapseStats.cellsTaken, kCollapseCellsPerFrame);
      EXPECT_LE(g_collapseStats.nodes, kCollapseNodeBudget);
      totalNodes_ += g_collapseStats.nodes;
      maxCollapsedInAFrame_ = std::max(maxCollapsedInAFrame_, g_collapseStats.collapsed);
    }
    return run;
  }

  // A pillar on the ground at (10, 10), levels 1-3, carrying a bridge on level 4 that runs
  // `length` cells east of it.
  void BuildBridge(int length) {
    Put(10, 10, 0, kSolid, 0x0100);
    Put(10, 10, 1, kSolid, 0x0300);
    Put(10, 10, 2, kSolid, 0x0300);
    Put(10, 10, 3, kSolid, 0x0300);
    for (int i = 0; i <= length; ++i) {
      uint16_t bits = 0;
      if (i > 0) bits |= 0x2000;       // west
      if (i < length) bits |= 0x0800;  // east
      if (i == 0) bits |= 0x0200;      // down to the pillar
      Put(10 + i, 10, 4, kSolid, bits);
    }
  }

  FallingBlocks fake_;
  HookScope<ICollapseEffects> scope_{g_collapseEffects, fake_};
  CBattle battle_;
  int maxCollapsedInAFrame_ = 0;
  int totalNodes_ = 0;
};

TEST_F(Collapse, AStaleSupportBitFallsAtOnceWithoutASearch) {
  Put(20, 20, 3, kSolid, 0x0800);  // leans east on nothing
  battle_.QueueCell(&At(20, 20, 3));
  battle_.QueueCell(&At(20, 20, 3));  // queued once only
  EXPECT_EQ(battle_.cellQueue.size(), 1u);
  CRandom before = g_battleRandom;
  fake_.frame = 0;
  battle_.StepCollapse();
  EXPECT_EQ(At(20, 20, 3).terrain, 0);
  EXPECT_EQ(g_collapseStats.nodes, 0);
  EXPECT_EQ(g_battleRandom.Next(), before.Next());  // no search drew from the generator
  // The block starts at the cell's corner one level down.
  EXPECT_EQ(fake_.falls, (std::vector<Fall>{{0, 20 * 32, 20 * 32, 2 * 16}}));
  // The emptied cell went back to the queue and was examined for its neighbours in turn.
  EXPECT_EQ(g_collapseStats.cellsTaken, 2);
  EXPECT_TRUE(battle_.cellQueue.empty());
}

TEST_F(Collapse, ABridgeOnOnePillarStandsAndFallsOverSeveralFramesWhenThePillarBreaks) {
  constexpr int kLength = 80;
  BuildBridge(kLength);
  // While the pillar stands every part of the bridge finds the ground.
  for (int i = 0; i <= kLength; ++i) battle_.QueueCell(&At(10 + i, 10, 4));
  RunSteps();
  EXPECT_TRUE(fake_.falls.empty());
  EXPECT_GT(totalNodes_, kLength);

  // The middle of the pillar is destroyed.
  At(10, 10, 2).Clear();
  battle_.QueueCell(&At(10, 10, 2));
  const int frames = RunSteps();
  EXPECT_EQ(At(10, 10, 3).terrain, 0);
  for (int i = 0; i <= kLength; ++i) EXPECT_EQ(At(10 + i, 10, 4).terrain, 0) << i;
  EXPECT_EQ(fake_.falls.size(), static_cast<size_t>(kLength + 2));
  EXPECT_GT(fake_.falls.back().frame, 2);  // spread over frames
  EXPECT_GT(frames, 3);
  EXPECT_LT(maxCollapsedInAFrame_, kLength);
  // The foot of the pillar still stands on the ground.
  EXPECT_EQ(At(10, 10, 1).terrain, kSolid);
  EXPECT_EQ(At(10, 10, 0).terrain, kSolid);
}

TEST_F(Collapse, CellsOnTheGroundAnchoredOrFixedNeverFall) {
  Put(5, 5, 0, kSolid, 0);                         // level 0
  Put(6, 6, 3, kSolid, 0).state |= kAnchoredCell;  // anchored in the air
  Put(7, 7, 3, kFixed, 0);                         // fixed kind
  Put(8, 8, 2, kSolid, 0);                         // no support at all: falls
  for (auto [x, l] : {std::pair{5, 0}, {6, 3}, {7, 3}, {8, 2}}) battle_.QueueCell(&At(x, x, l));
  RunSteps();
  EXPECT_EQ(At(5, 5, 0).terrain, kSolid);
  EXPECT_EQ(At(6, 6, 3).terrain, kSolid);
  EXPECT_EQ(At(7, 7, 3).terrain, kFixed);
  EXPECT_EQ(At(8, 8, 2).terrain, 0);
  EXPECT_TRUE(IsCellGrounded(&At(5, 5, 0)));
  EXPECT_TRUE(IsCellGrounded(&At(6, 6, 3)));
  EXPECT_TRUE(IsCellGrounded(&At(7, 7, 3)));
  EXPECT_FALSE(IsCellGrounded(&At(9, 9, 3)));

  // A collapse on level 0 (a script's) starts its block at z 0.
  battle_.CollapseCell(&At(5, 5, 0));
  EXPECT_EQ(fake_.falls.back().z, 0);
  EXPECT_EQ(At(5, 5, 0).terrain, 0);
}

TEST_F(Collapse, OneSeedDropsTheSameCellsInTheSameFrames) {
  auto run = [this]() {
    g_map.Create(43, 43, 6, 1, 1);
    fake_.falls.clear();
    battle_.ClearCellQueue();
    g_battleRandom.Seed(5);
    BuildBridge(30);
    // A second span on the same pillar, toward the south.
    At(10, 10, 4).shape |= 0x1000;
    for (int j = 1; j <= 20; ++j) Put(10, 10 + j, 4, kSolid, static_cast<uint16_t>(0x0400 | (j < 20 ? 0x1000 : 0)));
    At(10, 10, 3).Clear();
    battle_.QueueCell(&At(10, 10, 3));
    RunSteps();
    return fake_.falls;
  };
  const std::vector<Fall> first = run();
  const std::vector<Fall> second = run();
  EXPECT_EQ(first.size(), 51u);
  EXPECT_EQ(first, second);
}

// The ground search steps as the map's successors do: down costs 1, sideways 2. A cell on a
// column five levels above the ground, with long ledges to either side, finds the ground within
// a small allowance, because the way down is searched before the ledges; searched at one cost
// a face it would spend the allowance on the ledges first and fall.
TEST_F(Collapse, TheGroundSearchTriesTheWayDownBeforeTheLedges) {
  CPathSection& section = g_pathNetwork.sections[0];
  section.xStart = 30, section.xEnd = 70, section.yStart = 10, section.yEnd = 30;
  section.values[0] = 10;  // the allowance of every search here
  Put(50, 20, 0, kSolid, 0x0100);
  for (int level = 1; level <= 4; ++level) Put(50, 20, level, kSolid, 0x0300);
  Put(50, 20, 5, kSolid, 0x2000 | 0x0800 | 0x0200);
  constexpr int kLedge = 8;
  for (int i = 1; i <= kLedge; ++i) {
    const uint16_t outward = i < kLedge ? 0x2800 : 0;
    Put(50 + i, 20, 5, kSolid, static_cast<uint16_t>(0x2000 | (outward & 0x0800)));
    Put(50 - i, 20, 5, kSolid, static_cast<uint16_t>(0x0800 | (outward & 0x2000)));
  }
  for (uint32_t seed = 1; seed <= 8; ++seed) {
    g_battleRandom.Seed(seed);
    battle_.QueueCell(&At(50, 20, 5));
    fake_.frame = 0;
    battle_.StepCollapse();
    EXPECT_EQ(At(50, 20, 5).terrain, kSolid) << "seed " << seed;
    EXPECT_LE(g_collapseStats.nodes, 9) << "seed " << seed;
  }
  EXPECT_TRUE(fake_.falls.empty());
  g_pathNetwork.Clear();
}

// --- wizard returns --------------------------------------------------------------------------

struct RecordingRedeploy : IWizardRedeploy {
  std::vector<std::tuple<std::string, int, int>> calls;
  bool Redeploy(const char* name, int army, int seed) override {
    calls.emplace_back(name, army, seed);
    return true;
  }
};

TEST(WizardReturn, AReturnFiresOnItsFrameAndNeverOnAPastOne) {
  RecordingRedeploy redeploy;
  HookScope<IWizardRedeploy> scope(g_wizardRedeploy, redeploy);
  g_armyTable.ResetAll();
  std::snprintf(g_armyTable.armies[2].name, sizeof g_armyTable.armies[2].name, "%s", "Morgana");
  ResetPlayerSlots();
  g_playerSlots[1].SetName("Morgana");
  g_networkGame = 1;
  g_battleSetup.mapSeed = 99;
  CBattle battle;
  battle.frameNumber = 50;
  battle.ScheduleWizardReturn(1, 49);  // already passed
  battle.ScheduleWizardReturn(3, 52);  // a slot whose army cannot be found
  for (int frame = 50; frame <= 200; ++frame) {
    battle.frameNumber = frame;
    battle.CheckWizardReturns();
    if (frame == 60) battle.ScheduleWizardReturn(1, 160);
  }
  EXPECT_EQ(redeploy.calls, (std::vector<std::tuple<std::string, int, int>>{{"Morgana", 2, 99}}));
  EXPECT_EQ(battle.wizardReturnFrames[1], -1);
  EXPECT_EQ(battle.wizardReturnFrames[3], -1);

  // Outside a multiplayer battle nothing returns.
  g_networkGame = 0;
  battle.ScheduleWizardReturn(1, 201);
  battle.frameNumber = 201;
  battle.CheckWizardReturns();
  EXPECT_EQ(redeploy.calls.size(), 1u);
  battle.ScheduleWizardReturn(7, 5);  // no such slot: ignored
  ResetPlayerSlots();
  g_armyTable.ResetAll();
}

}  // namespace
