// The terrain type data file: the forged file loads into the map's table; every malformed
// file is refused and leaves the table it found.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Bytes.h"
#include "creatures/TerrainTypeData.h"
#include "forge/MapData.h"
#include "forge/TerrainTypes.h"
#include "map/TerrainType.h"
#include "support/TestSupport.h"

namespace {

namespace t = forge::terrain;

class TerrainFile : public ::testing::Test {
 protected:
  void TearDown() override {
    g_terrainTypes.Clear();
    g_terrainTypeData.Free();
  }
  std::string Write(const std::vector<uint8_t>& bytes) {
    dir_.Write("terrain.ttd", std::vector<unsigned char>(bytes.begin(), bytes.end()));
    return dir_.File("terrain.ttd");
  }
  testing_support::TempDir dir_;
};

TEST_F(TerrainFile, TheForgedFileFillsTheMapsTable) {
  const std::string path = testing_support::ForgedDataDir() + "/" + forge::kSectionFolder + "/terrain.ttd";
  ASSERT_EQ(g_terrainTypeData.Load(path.c_str()), 1);
  EXPECT_EQ(g_terrainTypes.Count(), t::kCount);
  EXPECT_EQ(g_terrainTypeData.TypeCount(), t::kCount);
  EXPECT_EQ(g_terrainTypes.Get(t::kEarth).groundHeight, 16);
  EXPECT_EQ(g_terrainTypes.Get(t::kWater).kind, 16);
  EXPECT_EQ(g_terrainTypeData.Header().size(), 16u);
}

TEST_F(TerrainFile, TheTypeCountComesFromTheSizeNotTheHeader) {
  std::vector<uint8_t> bytes = forge::TerrainFileBytes(forge::ForgedTerrainTypes());
  bytes::StoreU32(bytes.data() + 12, 3);  // a count that disagrees
  bytes::StoreU32(bytes.data() + 0, 0xDEADBEEF);
  ASSERT_EQ(g_terrainTypeData.Load(Write(bytes).c_str()), 1);
  EXPECT_EQ(g_terrainTypes.Count(), t::kCount);
}

TEST_F(TerrainFile, MalformedFilesAreRefusedAndTheOldTableStays) {
  const std::vector<uint8_t> good = forge::TerrainFileBytes(forge::ForgedTerrainTypes());
  ASSERT_EQ(g_terrainTypeData.Load(Write(good).c_str()), 1);

  std::vector<uint8_t> headerOnly(good.begin(), good.begin() + 16);
  bytes::StoreU32(headerOnly.data() + 4, 16);
  std::vector<uint8_t> sizePlusOne = good;
  bytes::StoreU32(sizePlusOne.data() + 4, static_cast<uint32_t>(good.size() + 1));
  std::vector<uint8_t> partRecord = good;
  partRecord.resize(good.size() + 100);
  bytes::StoreU32(partRecord.data() + 4, static_cast<uint32_t>(partRecord.size()));
  std::vector<uint8_t> truncated(good.begin(), good.begin() + 10);
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
  } cases[] = {{"empty", {}},
               {"16 bytes", headerOnly},
               {"a size one more than the file", sizePlusOne},
               {"a part record", partRecord},
               {"a short header", truncated}};
  for (const Case& c : cases) {
    testing_support::BoxRecorder boxes;
    EXPECT_EQ(g_terrainTypeData.Load(Write(c.bytes).c_str()), 0) << c.what;
    EXPECT_EQ(boxes.Count(), 0u) << c.what;
    EXPECT_EQ(g_terrainTypes.Count(), t::kCount) << c.what;
    EXPECT_EQ(g_terrainTypeData.TypeCount(), t::kCount) << c.what;
  }
  EXPECT_EQ(g_terrainTypeData.Load(dir_.File("absent.ttd").c_str()), 0);
  EXPECT_EQ(g_terrainTypes.Count(), t::kCount);
}

TEST_F(TerrainFile, AnotherVersionIsRefusedWithItsBox) {
  std::vector<forge::TerrainDef> types(3);
  ASSERT_EQ(g_terrainTypeData.Load(Write(forge::TerrainFileBytes(types)).c_str()), 1);
  testing_support::BoxRecorder boxes;
  EXPECT_EQ(g_terrainTypeData.Load(Write(forge::TerrainFileBytes(forge::ForgedTerrainTypes(), 3)).c_str()), 0);
  ASSERT_EQ(boxes.Count(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].caption, "TERRAIN DATA LOAD ERROR");
  EXPECT_EQ(boxes.Boxes()[0].text, "Incorrect terrain type data version:\ncurrent version: 4\nversion loaded: 3");
  EXPECT_EQ(g_terrainTypes.Count(), 3);
}

}  // namespace
