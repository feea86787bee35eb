// Creatures walking on small hand-made maps: routes planned and followed to the goal, around
// walls, across the map's seam, up to an occupied cell, re-planned when blocked, and a friend
// pushed aside, tick by tick, with every creature's cells naming it in every frame and a
// rerun from one seed giving the same frames.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "WalkWorld.h"
#include "core/Options.h"
#include "creatures/CreatureArray.h"
#include "map/MapUnits.h"

namespace creature_test {
namespace {

struct Placed {
  int type, army, x, y;
};

struct WalkCase {
  friend void PrintTo(const WalkCase& c, std::ostream* out) { *out << c.name; }
  const char* name;
  Placed walker;
  int goalX, goalY;
  std::vector<Placed> others;
  void (*build)();
  int endX, endY;  // where the walker ends: its goal, or one short of it
  int frameLimit;
};

void Open() {}
// A wall in the straight way: the cell search steps round it.
void WallAcross() { Wall(10, 9, 10, 10); }

void Corridor() {
  Wall(6, 9, 20, 9);
  Wall(6, 11, 20, 11);
}

const WalkCase kCases[] = {
    {"open ground", {kBrownie, 0, 5, 5}, 15, 9, {}, Open, 15, 9, 400},
    {"around a wall", {kBrownie, 0, 5, 10}, 15, 10, {}, WallAcross, 15, 10, 600},
    {"across the seam", {kBrownie, 0, 2, 5}, 44, 7, {}, Open, 44, 7, 400},
    {"to an enemy's cell", {kBrownie, 0, 5, 5}, 12, 5, {{kBrownie, 1, 12, 5}}, Open, 11, 5, 400},
    {"to a cell inside a wall", {kBrownie, 0, 5, 5}, 12, 5, {}, []() { Wall(12, 5, 12, 5); }, 11, 5, 400},
    {"to a friend's cell", {kBrownie, 0, 5, 5}, 12, 5, {{kBrownie, 0, 12, 5}}, Open, 12, 5, 400},
    {"blocked by an enemy, re-planning", {kBrownie, 0, 5, 5}, 15, 5, {{kTroll, 1, 9, 4}}, Open, 15, 5, 600},
    {"barging a friend in a corridor", {kBrownie, 0, 4, 10}, 22, 10, {{kBrownie, 0, 12, 10}}, Corridor, 22, 10, 900},
    {"a troll walking", {kTroll, 0, 5, 20}, 14, 26, {}, Open, 14, 26, 600},
};

// Runs a case: the frames it took (-1 when the walker never settled), the trace hash, and the
// cells the walker visited.
struct WalkRun {
  int frames = -1;
  uint64_t hash = 14695981039346656037ULL;
  std::vector<std::pair<int, int>> visited;
  std::string broken;
};

}  // namespace

class CreatureWalkTest : public WalkWorld, public ::testing::WithParamInterface<WalkCase> {
 protected:
  WalkRun Walk(const WalkCase& c) {
    c.build();
    WalkRun run;
    const int walker = Place(c.walker.type, c.walker.army, c.walker.x, c.walker.y, kFloor);
    std::vector<int> others;
    for (const Placed& p : c.others) {
      if (!g_armyTable.armies[p.army].inUse) UseArmy(p.army);
      others.push_back(Place(p.type, p.army, p.x, p.y, kFloor));
    }
    C(walker).WalkTo(c.goalX, c.goalY, kFloor);
    for (int frame = 0; frame < c.frameLimit; ++frame) {
      Tick();
      run.hash = FrameHash(run.hash);
      if (run.broken.empty() && !OccupancyHolds(run.broken)) run.broken += " in frame " + std::to_string(frame);
      const CCreature& w = C(walker);
      if (run.visited.empty() || run.visited.back() != std::make_pair(w.cellX, w.cellY))
        run.visited.emplace_back(w.cellX, w.cellY);
      if (w.order != ORDER_WALK_TO_POS && !w.midStep) {
        bool settled = true;
        for (int o : others) settled = settled && C(o).order != ORDER_BARGED;
        if (settled && run.frames < 0) run.frames = frame;
        if (settled) break;
      }
    }
    return run;
  }
};

TEST_P(CreatureWalkTest, ReachesItsEndTickByTickAndAgainFromOneSeed) {
  const WalkCase& c = GetParam();
  const WalkRun first = Walk(c);
  EXPECT_GE(first.frames, 0) << c.name << ": never arrived";
  EXPECT_TRUE(first.broken.empty()) << c.name << ": " << first.broken;
  const CCreature& walker = C(0);
  EXPECT_EQ(walker.cellX, c.endX) << c.name;
  EXPECT_EQ(walker.cellY, c.endY) << c.name;
  // Every move went to a neighbouring cell.
  for (size_t i = 1; i < first.visited.size(); ++i) {
    EXPECT_LE(std::abs(WrapDeltaX(first.visited[i - 1].first, first.visited[i].first)), 1) << c.name;
    EXPECT_LE(std::abs(WrapDeltaY(first.visited[i - 1].second, first.visited[i].second)), 1) << c.name;
  }
  if (std::string(c.name) == "across the seam") {
    for (const auto& cell : first.visited) EXPECT_TRUE(cell.first <= 2 || cell.first >= 44) << cell.first;
  }
  if (std::string(c.name) == "around a wall") {
    for (const auto& cell : first.visited) EXPECT_FALSE(cell.first == 10 && cell.second >= 9 && cell.second <= 10);
  }
  if (std::string(c.name) == "barging a friend in a corridor") {
    // The friend stepped aside and went back to where it stood.
    EXPECT_EQ(C(1).cellX, 12);
    EXPECT_EQ(C(1).cellY, 10);
    EXPECT_EQ(C(1).order, ORDER_WAIT);
  }

  // The same frames again from the same seed.
  TearDown();
  SetUp();
  g_battleRandom.Seed(4242);
  const WalkRun second = Walk(c);
  EXPECT_EQ(second.frames, first.frames) << c.name;
  EXPECT_EQ(second.hash, first.hash) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Scenes, CreatureWalkTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<WalkCase>& info) {
                           std::string name = info.param.name;
                           for (char& ch : name)
                             if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           return name;
                         });

}  // namespace creature_test
