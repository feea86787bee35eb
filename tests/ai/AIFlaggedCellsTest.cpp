// The grave cells of the map: the lowest flagged block of each column, the first hundred in
// row order, and the reach query that looks at each cell again.
#include <gtest/gtest.h>

#include <vector>

#include "AIField.h"
#include "ai/AIFlaggedCells.h"
#include "core/Options.h"
#include "forge/TerrainTypes.h"
#include "map/Doors.h"
#include "map/Map.h"
#include "map/PathNetwork.h"
#include "map/TerrainType.h"
#include "platform/Files.h"
#include "support/TestSupport.h"

namespace {

using ai_test::AIField;

constexpr int kGrave = forge::terrain::kStone;  // flagged for these tests

class FlaggedCells : public AIField {
 protected:
  void SetUp() override {
    AIField::SetUp();
    std::vector<CTerrainType> types;
    for (int i = 0; i < g_terrainTypes.Count(); ++i) types.push_back(g_terrainTypes.Get(i));
    types[kGrave].typeFlags |= kAIFlaggedTerrainBit;
    g_terrainTypes.Assign(std::move(types));
  }
  void Grave(int x, int y, int level) { g_map.CellAt(x, y, level).terrain = kGrave; }
  int Used() const {
    int used = 0;
    while (used < kAIFlaggedCellsMax && g_aiFlaggedCells[used].inUse) ++used;
    return used;
  }
};

TEST_F(FlaggedCells, AMapWithoutGravesAnswersNo) {
  BuildFlaggedCellTable();
  EXPECT_EQ(Used(), 0);
  EXPECT_FALSE(FindFlaggedCellInReach(100, 5, 5, 0));
}

TEST_F(FlaggedCells, StackedGravesCountOnceAtTheLowest) {
  Grave(3, 4, 2);
  Grave(3, 4, 1);
  BuildFlaggedCellTable();
  ASSERT_EQ(Used(), 1);
  EXPECT_EQ(g_aiFlaggedCells[0].x, 3);
  EXPECT_EQ(g_aiFlaggedCells[0].y, 4);
  EXPECT_EQ(g_aiFlaggedCells[0].level, 1);
}

TEST_F(FlaggedCells, TheFirstHundredColumnsInRowOrderAreKept) {
  for (int y : {2, 3})
    for (int x = 0; x < g_map.width; ++x) Grave(x, y, 1);
  for (int x = 0; x < 101 - 2 * g_map.width; ++x) Grave(x, 5, 1);  // 101 in all
  BuildFlaggedCellTable();
  ASSERT_EQ(Used(), kAIFlaggedCellsMax);
  EXPECT_EQ(g_aiFlaggedCells[g_map.width].x, 0);  // y is the outer loop
  EXPECT_EQ(g_aiFlaggedCells[g_map.width].y, 3);
  const CAIFlaggedCell& last = g_aiFlaggedCells[kAIFlaggedCellsMax - 1];
  EXPECT_EQ(last.y, 5);
  EXPECT_EQ(last.x, 100 - 2 * g_map.width - 1);
}

TEST_F(FlaggedCells, AGraveWithinTwiceTheHalfRangeIsInReachWhileItLasts) {
  Grave(10, 10, 1);
  Grave(1, 20, 1);
  BuildFlaggedCellTable();
  // Along a row the map's distance counts a tile twice: reach 2h is h tiles.
  EXPECT_TRUE(FindFlaggedCellInReach(3, 13, 10, 1));
  EXPECT_FALSE(FindFlaggedCellInReach(3, 14, 10, 1));
  EXPECT_TRUE(FindFlaggedCellInReach(2, g_map.width - 1, 20, 1));  // across the seam
  g_map.CellAt(10, 10, 1).terrain = 0;                             // dug away
  EXPECT_FALSE(FindFlaggedCellInReach(3, 13, 10, 1));
  EXPECT_TRUE(FindFlaggedCellInReach(2, 0, 20, 1));  // the other still counts
}

// What building a map leaves for the tests after this one is undone, whatever the test found.
class ForgedGraves : public ::testing::Test {
 protected:
  void TearDown() override {
    g_map.Clear();
    g_pathNetwork.Clear();
    g_terrainTypes.Clear();
    FreeDoorsConfig();
    g_useNodeMap = 0;
    BuildFlaggedCellTable();  // no map: an empty table
  }
};

// The forged realm's maps hold graves: a map built from its sections gives the table entries,
// each the grave's mound where a walker stands.
TEST_F(ForgedGraves, AMapOfTheForgedRealmHasFlaggedCells) {
  testing_support::ForgedDataCopy data;
  std::vector<uint8_t> file;
  ASSERT_TRUE(platform::ReadWholeFile("maps/moorland/terrain.ttd", file));
  ASSERT_TRUE(g_terrainTypes.Assign(file.data() + 16, file.size() - 16));
  testing_support::BoxRecorder boxes;
  int mapsWithGraves = 0;
  for (int seed : {1, 77, 90210}) {
    ASSERT_EQ(g_map.Build("realms\\moorland\\moorland.cfg", 0, seed), 1) << seed;
    BuildFlaggedCellTable();
    bool any = false;
    for (const CAIFlaggedCell& entry : g_aiFlaggedCells) {
      if (!entry.inUse) break;
      any = true;
      EXPECT_EQ(g_map.CellAt(entry.x, entry.y, entry.level).terrain, forge::terrain::kGrave);
    }
    mapsWithGraves += any;
  }
  EXPECT_GT(mapsWithGraves, 0);
}

}  // namespace
