// The walk order's road end to end on the largest forged map: a hundred creatures of mixed
// types in three allied armies, each sent to a far place it can reach (many across the seam),
// plan over the path nodes and the cells and walk there; in every frame each creature's cells
// name it, two runs from one seed give the same frames, and frames of the walk are drawn by
// the real map view.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "WalkWorld.h"
#include "core/Preferences.h"
#include "map/Doors.h"
#include "map/MapView.h"
#include "map/MapViewHooks.h"
#include "map/RegionSettings.h"
#include "map/TerrainType.h"
#include "platform/Files.h"
#include "support/CreatureField.h"
#include "support/MapViewCanvas.h"
#include "support/Png.h"
#include "support/TestSupport.h"

namespace creature_test {
namespace {

constexpr int kMarchers = 100;
constexpr int kFrameLimit = 1400;
const int kTypes[] = {kBrownie, kCentaur, kPoisoner, kTroll, kBrownie, 3, 5, 6};

class CreatureMarch : public WalkWorld {
 protected:
  void SetUp() override {
    WalkWorld::SetUp();
    data_ = std::make_unique<testing_support::ForgedDataCopy>();  // building the map writes its logs here
    std::vector<uint8_t> types;
    ASSERT_TRUE(platform::ReadWholeFile("maps/moorland/terrain.ttd", types));
    ASSERT_TRUE(g_terrainTypes.Assign(types.data() + 16, types.size() - 16));
    g_map.Clear();
    ASSERT_EQ(g_map.Build("realms\\moorland\\moorland.cfg", 2, 77), 1);
    g_map.SetWaterLevel(g_regionSettings.waterLevel);
    g_map.ResetLight();
    std::fill(g_map.light[CMap::kLightShown].begin(), g_map.light[CMap::kLightShown].end(), int8_t{0});
    if (g_pathNetwork.count == 0) g_pathNetwork.GenerateNodes(1);
    g_pathNetwork.ComputeCellKeys();
    g_pathNetwork.RebuildLinks(1, 0);
    UseArmy(2);
    for (int a = 0; a < 3; ++a)
      for (int b = 0; b < 3; ++b) g_armyTable.armies[a].alliance[b] = 1;
  }
  void TearDown() override {
    FreeDoorsConfig();
    data_.reset();  // back in the forged data, which the creature world then leaves
    WalkWorld::TearDown();
  }
  std::unique_ptr<testing_support::ForgedDataCopy> data_;

  // Whether a creature of the query can get from one place to the other: straight on, or
  // over the path nodes (the map has islands and towers no walker reaches).
  static bool Reachable(const CMoveQuery& query, const CellPos& from, const CellPos& to) {
    if (g_map.GreedyWalk(from.x, from.y, from.z, to.x, to.y, to.z, query)) return true;
    const auto entry = [&](const CellPos& at) {
      CLocationRequest location;
      location.x = at.x;
      location.y = at.y;
      location.level = at.z;
      location.mover.creature = -1;
      location.mover.queryGiven = true;
      location.mover.query = query;
      return g_pathNetwork.FindNearestReachableNode(location);
    };
    int32_t nodes[CPathNetwork::kRouteLength];
    CRouteRequest request;
    request.startNode = entry(from);
    request.goalNode = entry(to);
    request.mover.queryGiven = true;
    request.mover.query = query;
    request.route = nodes;
    request.budget = 5000;
    return request.startNode >= 0 && request.goalNode >= 0 && g_pathNetwork.BuildCreatureRoute(request);
  }

  // Places the marchers on free ground and sends each half the map away: the goals.
  std::vector<CellPos> Deploy() {
    std::vector<CellPos> goals;
    CRandom placing(99);
    for (int n = 0; n < kMarchers; ++n) {
      const int type = kTypes[n % std::size(kTypes)];
      CCreature probe;
      probe.type = &g_creatureTypes[type];
      probe.typeNumber = type;
      probe.index = kCreatureCapacity;
      const CMoveQuery query = probe.MakeMoveQuery();
      for (int attempt = 0; attempt < 50; ++attempt) {
        int x = static_cast<int>(placing.Next() % g_map.width), y = static_cast<int>(placing.Next() % g_map.height);
        int z = g_map.levels - 2;
        while (z > 0 && g_map.CanOccupy(x, y, z - 1, query)) --z;
        if (!g_map.FindFreePositionNear(-1, query, x, y, z)) continue;
        int gx = (x + g_map.width / 2) % g_map.width, gy = (y + g_map.height / 3) % g_map.height, gz = g_map.levels - 2;
        while (gz > 0 && g_map.CanOccupy(gx, gy, gz - 1, query)) --gz;
        if (!g_map.FindFreePositionNear(-1, query, gx, gy, gz)) continue;
        if (!Reachable(query, {x, y, z}, {gx, gy, gz})) continue;
        Place(type, n % 3, x, y, z);
        goals.push_back({gx, gy, gz});
        break;
      }
    }
    return goals;
  }

  struct March {
    int arrived = 0, walking = 0;
    uint64_t hash = 14695981039346656037ULL;
    std::string broken;
  };
  March Run(const std::vector<CellPos>& goals, int frames, const std::function<void(int)>& everyFrame = {}) {
    for (size_t n = 0; n < goals.size(); ++n) C(static_cast<int>(n)).WalkTo(goals[n].x, goals[n].y, goals[n].z);
    March march;
    for (int frame = 0; frame < frames; ++frame) {
      Tick();
      march.hash = FrameHash(march.hash);
      if (march.broken.empty() && !OccupancyHolds(march.broken)) march.broken += " frame " + std::to_string(frame);
      if (everyFrame) everyFrame(frame);
    }
    for (size_t n = 0; n < goals.size(); ++n) {
      const CCreature& c = C(static_cast<int>(n));
      if (c.order == ORDER_WALK_TO_POS) ++march.walking;
      if (std::abs(WrapDeltaX(c.cellX, goals[n].x)) <= 1 && std::abs(WrapDeltaY(c.cellY, goals[n].y)) <= 1)
        ++march.arrived;
    }
    return march;
  }
};

TEST_F(CreatureMarch, AHundredCreaturesReachFarGoalsNeverSharingACellAndAgainFromOneSeed) {
  const std::vector<CellPos> goals = Deploy();
  ASSERT_EQ(goals.size(), static_cast<size_t>(kMarchers));
  constexpr int kCompared = 300;
  uint64_t hashAtCompared = 0;
  const CCreature& shown = C(0);
  const int level = shown.level;
  testing_support::PoolView poolView;
  testing_support::MapViewCanvas view;
  ASSERT_TRUE(view.ready);
  g_prefs.isHighRes = 1;
  std::vector<std::vector<uint16_t>> pictures;
  const March first = Run(goals, kFrameLimit, [&](int frame) {
    if (frame == kCompared - 1) hashAtCompared = FrameHash(0);
    if (frame % 8 != 0 || frame > 64) return;
    MapViewHooksScope hooks(
        MapViewHooks{&poolView, g_mapViewHooks.world, g_mapViewHooks.battle, g_mapViewHooks.commands});
    // Every picture centred on the same cell, so the creatures move across it.
    pictures.push_back(view.Draw(0, goals.empty() ? 0 : shown.cellX, shown.cellY, level));
    const std::string path = testing_support::TestOutputDir() + "/march-" + std::to_string(frame / 8) + ".png";
    EXPECT_TRUE(testing_support::WritePng565(path, 800, 600, pictures.back()));
    std::printf("march picture: %s\n", path.c_str());
  });
  EXPECT_TRUE(first.broken.empty()) << first.broken;
  std::printf("march: %d of %d arrived within %d frames, %d still walking\n", first.arrived, kMarchers, kFrameLimit,
              first.walking);
  EXPECT_GE(first.arrived, kMarchers - 3);
  EXPECT_EQ(first.walking, 0);
  // The walk shows: consecutive pictures differ.
  for (size_t i = 1; i < pictures.size(); ++i) EXPECT_NE(pictures[i], pictures[i - 1]) << i;

  // The same frames again from the same seed.
  TearDown();
  SetUp();
  g_battleRandom.Seed(4242);
  const std::vector<CellPos> again = Deploy();
  ASSERT_EQ(again.size(), goals.size());
  uint64_t secondHash = 0;
  Run(again, kCompared, [&](int frame) {
    if (frame == kCompared - 1) secondHash = FrameHash(0);
  });
  EXPECT_EQ(secondHash, hashAtCompared);
}

}  // namespace
}  // namespace creature_test
