// The map's block of a saved game: what it keeps, and blocks it refuses.
#include <cstdio>

#include "MapTestSupport.h"
#include "core/Bytes.h"
#include "core/Options.h"
#include "core/SavedGame.h"
#include "map/PathNetwork.h"
#include "platform/Files.h"
#include "support/TestSupport.h"

using namespace map_test;

namespace {

std::vector<uint8_t> Saved() {
  FILE* file = std::tmpfile();
  int size = g_map.Save(file);
  std::vector<uint8_t> bytes(static_cast<size_t>(size > 0 ? size : 0));
  std::rewind(file);
  EXPECT_EQ(std::fread(bytes.data(), 1, bytes.size(), file), bytes.size());
  std::fclose(file);
  return bytes;
}

int Load(const std::vector<uint8_t>& bytes) {
  FILE* file = std::tmpfile();
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::rewind(file);
  int result = g_map.Load(file);
  std::fclose(file);
  return result;
}

// Offset of the light size word: header, cells, section size, two empty lists, regions,
// holders, counters, deployment table and map table.
size_t LightSizeOffset() {
  return 76 + 12 * static_cast<size_t>(g_map.cellCount) + 4 + 20 + 20 + 300 + 480 + 480 + 112 + 492;
}

}  // namespace

class MapSave : public MapTest {
 protected:
  void SetUp() override {
    MapTest::SetUp();
    animation.sequences[2] = {{t::kGrass, t::kSand, t::kRubble}, true};
    SetTerrainAnimation(&animation);
    FillLevel(0, t::kGrass);
  }
  void TearDown() override {
    SetTerrainAnimation(nullptr);
    MapTest::TearDown();
  }
  FakeAnimation animation;
};

TEST_F(MapSave, EverythingThatCannotBeDerivedRoundTrips) {
  Cell(4, 5, 1).terrain = t::kStone;
  Cell(4, 5, 1).occupant = 12;
  Cell(4, 5, 1).shape = 0x1234;
  g_map.sectionSize = 20;
  g_map.deploymentZones.items.push_back({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
  g_map.otherPlacements.items.push_back({9, 9, 9, 1, 0, 0, 0, 0, 0, 0});
  g_map.regions[2] = {10, 11, 2, 1, 33};
  g_map.regionHolders[2][5] = 44;
  g_map.regionCounters[14][7] = 99;
  g_map.deploymentTable[27] = -5;
  g_map.mapTable[122] = 6;
  g_map.light[CMap::kLightMemory][17] = -30;
  g_map.waterLevel = 2;
  g_map.maxRegionsOfPower = 3;
  g_map.manaSpriteCount = 1;
  g_map.maxWaterLevel = 5;
  g_map.minWaterLevel = 1;
  g_map.eventAreas.items.push_back({1, 1, 1, 3, 3, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7});
  const std::vector<uint8_t> before = Saved();
  // The lists add 40 bytes an item, the event areas 72.
  EXPECT_EQ(before.size(), LightSizeOffset() + 80 + 4 + g_map.lightBufferSize + 4 + 20 + 20 + 72);
  g_map.Clear();
  ASSERT_EQ(Load(before), static_cast<int>(before.size()));
  EXPECT_EQ(Saved(), before);
  EXPECT_EQ(Cell(4, 5, 1).occupant, 12);
  EXPECT_EQ(g_map.regions[2].value, 33);
  EXPECT_EQ(g_map.maxManaSprites, 6);
  EXPECT_EQ(g_map.light[CMap::kLightShown][17], -30);  // the others start from the memory
  EXPECT_EQ(g_map.eventAreas.items[0][17], 7);
}

TEST_F(MapSave, AnimatedCellsKeepTheirPlayersAndAnEntryWithoutACell) {
  CMapCell& cell = Cell(6, 6, 1);
  g_map.AnimateCell(&cell, 2, nullptr, 2);
  g_map.animatedCells.push_back({nullptr, animation.NewPlayer()});  // its cell is gone
  g_map.animatedCells.back().player->Start(2);
  std::vector<uint8_t> before = Saved();
  ASSERT_EQ(Load(before), static_cast<int>(before.size()));
  ASSERT_EQ(g_map.animatedCells.size(), 2u);
  EXPECT_EQ(g_map.animatedCells.front().cell, &Cell(6, 6, 1));
  EXPECT_EQ(g_map.animatedCells.front().player->CurrentFrame(), t::kSand);
  EXPECT_EQ(g_map.animatedCells.back().cell, nullptr);
  EXPECT_EQ(Saved(), before);

  // Without animated cells the count is 0 and nothing follows it.
  g_map.animatedCells.clear();
  std::vector<uint8_t> none = Saved();
  EXPECT_EQ(bytes::LoadU32(none.data() + LightSizeOffset() + 4 + g_map.lightBufferSize), 0u);
  EXPECT_EQ(none.size(), LightSizeOffset() + 4 + g_map.lightBufferSize + 4 + 20 + 20);
}

TEST_F(MapSave, BadBlocksAreRefusedAndTheMapStaysAsItWas) {
  Cell(3, 3, 3).terrain = t::kStone;
  const std::vector<uint8_t> good = Saved();
  auto refuse = [&](std::vector<uint8_t> bytes, const char* what) {
    EXPECT_EQ(Load(bytes), -1) << what;
    EXPECT_EQ(Saved(), good) << what;
  };
  std::vector<uint8_t> bad = good;
  bytes::StoreU32(bad.data() + LightSizeOffset(), static_cast<uint32_t>(g_map.lightBufferSize + 1));
  refuse(bad, "light size of another level count");
  bad = good;
  bytes::StoreU32(bad.data() + 4, 42);  // below the least width
  refuse(bad, "width");
  bad = good;
  bytes::StoreU32(bad.data() + 20, 12345);  // cell count against the sizes
  refuse(bad, "cell count");
  bad = good;
  bytes::StoreU32(bad.data() + 12, 40);  // more levels than the map can hold
  refuse(bad, "levels");
  for (size_t cut : {size_t{10}, size_t{76 + 100}, LightSizeOffset() + 10, good.size() - 1}) {
    bad.assign(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut));
    refuse(bad, "truncated");
  }
  bad = good;
  bytes::StoreU32(bad.data() + LightSizeOffset() + 4 + g_map.lightBufferSize, 0x7FFFFFFF);  // animated count
  refuse(bad, "animated count");
  // The water level is a level of the map (the tests of passability count on it).
  ASSERT_TRUE(g_map.animatedCells.empty());
  const size_t water = LightSizeOffset() + 4 + static_cast<size_t>(g_map.lightBufferSize) + 4;
  ASSERT_EQ(static_cast<int32_t>(bytes::LoadU32(good.data() + water)), g_map.waterLevel);
  for (int32_t level : {-1, g_map.levels, INT32_MIN}) {
    bad = good;
    bytes::StoreU32(bad.data() + water, static_cast<uint32_t>(level));
    refuse(bad, "water level");
  }
}

TEST_F(MapSave, TheForgedSampleSavedGameLoadsItsBattleMap) {
  struct BattleParts : ISavedGameParts {
    int ReadBattle(FILE* file) override {
      int map = g_map.Load(file), network = g_pathNetwork.Load(file);
      return map < 0 || network < 0 ? -1 : map + network;
    }
    void SetLoadedState(int value) override { state = value; }
    int state = 0;
  } parts;
  ISavedGameParts* previous = g_savedGameParts;
  g_savedGameParts = &parts;
  FILE* file = platform::OpenFile(testing_support::ForgedDataDir() + "/samples/save/battle.sav", "rb");
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(ReadSavedGame(file), 1);
  std::fclose(file);
  g_savedGameParts = previous;
  EXPECT_EQ(parts.state, 1);
  EXPECT_EQ(g_map.width, 43);
  EXPECT_EQ(g_map.levels, 4);
  EXPECT_EQ(Cell(42, 42, 0).terrain, t::kGrass);
  EXPECT_EQ(Cell(42, 42, 1).terrain, 0);
  EXPECT_EQ(g_map.waterLevel, 1);
  EXPECT_EQ(g_pathNetwork.count, 0);
  EXPECT_EQ(g_pathNetwork.nodeUnderTest, -1);
  ResetGlobalOptions();
}
