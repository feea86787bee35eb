// Generating and building battle maps from the forged realm's sections.
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "MapTestSupport.h"
#include "core/Options.h"
#include "map/Doors.h"
#include "map/MapMaker.h"
#include "map/PathNetwork.h"
#include "map/RegionSettings.h"
#include "platform/Files.h"
#include "support/TestSupport.h"

using namespace map_test;
using testing_support::BoxRecorder;
using testing_support::TempDir;

namespace {

constexpr const char* kRealm = "realms\\moorland\\moorland.cfg";
constexpr int kRegions = 5;

// The map's saved block: every byte of what was built.
std::vector<uint8_t> MapBytes() {
  FILE* file = std::tmpfile();
  int size = g_map.Save(file);
  EXPECT_GT(size, 0);
  std::vector<uint8_t> bytes(static_cast<size_t>(size > 0 ? size : 0));
  std::rewind(file);
  EXPECT_EQ(std::fread(bytes.data(), 1, bytes.size(), file), bytes.size());
  std::fclose(file);
  return bytes;
}

}  // namespace

// Runs in a copy of the forged data, as the game runs in its data folder: building a map
// writes logs into the current directory.
class MapBuild : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<uint8_t> file;
    ASSERT_TRUE(platform::ReadWholeFile("maps/moorland/terrain.ttd", file));
    ASSERT_TRUE(g_terrainTypes.Assign(file.data() + 16, file.size() - 16));
  }
  void TearDown() override {
    g_map.Clear();
    ResetMapTables();
    g_pathNetwork.Clear();
    g_terrainTypes.Clear();
    FreeDoorsConfig();
    g_useNodeMap = 0;
  }
  testing_support::ForgedDataCopy data_;
};

TEST_F(MapBuild, EveryRegionOfTheForgedRealmGeneratesAndBuilds) {
  BoxRecorder boxes;
  const int sizes[kRegions][2] = {{3, 3}, {4, 4}, {5, 5}, {5, 3}, {3, 4}};
  for (int region = 0; region < kRegions; ++region) {
    for (int seed : {1, 77, 90210}) {
      ASSERT_EQ(g_map.Build(kRealm, region, seed), 1) << "region " << region << " seed " << seed;
      EXPECT_EQ(g_map.width, 20 * sizes[region][0]);
      EXPECT_EQ(g_map.height, 20 * sizes[region][1]);
      EXPECT_EQ(g_map.levels, 10);
      EXPECT_EQ(g_map.sectionSize, 20);
      EXPECT_GT(g_map.deploymentZones.Count(), 0);
      EXPECT_EQ(g_map.CellAt(0, 0, 0).terrain, forge::terrain::kRock);  // the bottom of every section
    }
  }
  EXPECT_EQ(boxes.Count(), 0u) << boxes.Boxes()[0].caption << ": " << boxes.Boxes()[0].text;
  EXPECT_EQ(g_regionSettings.windDirection, 7);  // the last region read: NORTHWEST
  EXPECT_EQ(g_regionSettings.flagLevelCount, 2);
  EXPECT_EQ(g_regionSettings.startLevel, 4);
  EXPECT_EQ(g_regionSettings.waterLevel, 3);
  EXPECT_EQ(g_map.minWaterLevel, 1);
  EXPECT_EQ(g_map.maxWaterLevel, 5);
  EXPECT_EQ(g_map.maxRegionsOfPower, 3);
  EXPECT_EQ(g_map.deploymentTable[0], -2);
  EXPECT_EQ(g_map.deploymentTable[4], 2);
}

TEST_F(MapBuild, TheSameSeedGivesTheSameMapAndAnotherSeedAnother) {
  ASSERT_EQ(g_map.Build(kRealm, 2, 5), 1);
  std::vector<uint8_t> first = MapBytes();
  ASSERT_EQ(g_map.Build(kRealm, 2, 5), 1);
  EXPECT_EQ(MapBytes(), first);
  int different = 0;
  for (int seed : {6, 7, 8}) {
    ASSERT_EQ(g_map.Build(kRealm, 2, seed), 1);
    different += MapBytes() != first;
  }
  EXPECT_GE(different, 2);
}

// Nothing of a map built before, nor what its battle did to it, reaches the next one built:
// the same seed gives the same bytes and the same counts as in a fresh process.
TEST_F(MapBuild, AMapBuiltAfterAnotherKeepsNothingOfIt) {
  ASSERT_EQ(g_map.Build(kRealm, 2, 5), 1);
  const std::vector<uint8_t> first = MapBytes();
  const int zones = g_map.deploymentZones.Count(), events = g_map.eventAreas.Count();
  ASSERT_EQ(g_map.Build(kRealm, 4, 9), 1);
  // What a battle on that map leaves behind.
  g_map.otherPlacements.AddItem({1, 2, 3, 4, 5, 6});
  g_map.deploymentZones.header[2] = 1;  // as a saved map read back leaves it
  g_map.manaSpriteCount = 3;
  g_map.manaSpriteSites.push_back(CManaSite{1, 2, 3});
  g_map.waterLevel = 5;
  g_map.creaturePhase = 2;
  g_map.creatureCursor = 7;
  g_map.fullRefresh = 0;
  ASSERT_EQ(g_map.Build(kRealm, 2, 5), 1);
  EXPECT_EQ(MapBytes(), first);
  EXPECT_EQ(g_map.deploymentZones.Count(), zones);
  EXPECT_EQ(g_map.eventAreas.Count(), events);
  EXPECT_EQ(g_map.otherPlacements.Count(), 0);
  EXPECT_EQ(g_map.manaSpriteCount, 0);
  EXPECT_TRUE(g_map.manaSpriteSites.empty());
  EXPECT_EQ(g_map.waterLevel, 0);
  EXPECT_EQ(g_map.creaturePhase, 0);
  EXPECT_EQ(g_map.creatureCursor, -1);
  EXPECT_EQ(g_map.fullRefresh, 1);
}

// Builds a map and writes its bytes where the parent process asks (see the next test).
TEST_F(MapBuild, ChildProcessWritesItsMap) {
  const char* out = std::getenv("VRASK_MAP_BYTES_OUT");
  if (!out) GTEST_SKIP() << "run by the cross-process test";
  ASSERT_EQ(g_map.Build(kRealm, 2, 5), 1);
  std::vector<uint8_t> bytes = MapBytes();
  ASSERT_TRUE(platform::WriteWholeFile(out, bytes.data(), bytes.size()));
}

TEST_F(MapBuild, TheSameSeedGivesTheSameMapInAnotherProcess) {
  TempDir dir;
  std::string out = dir.File("map.bin");
  std::string command = "VRASK_MAP_BYTES_OUT=" + out + " /proc/" + std::to_string(getpid()) +
                        "/exe --gtest_filter=MapBuild.ChildProcessWritesItsMap > /dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0);
  std::vector<uint8_t> theirs;
  ASSERT_TRUE(platform::ReadWholeFile(out, theirs));
  ASSERT_EQ(g_map.Build(kRealm, 2, 5), 1);
  EXPECT_EQ(MapBytes(), theirs);
}

TEST_F(MapBuild, ABuiltMapSavedAndLoadedIsTheSame) {
  ASSERT_EQ(g_map.Build(kRealm, 1, 3), 1);
  g_map.waterLevel = 4;
  g_map.regionCounters[3][2] = 77;
  std::vector<uint8_t> saved = MapBytes();
  FILE* file = std::tmpfile();
  std::fwrite(saved.data(), 1, saved.size(), file);
  std::rewind(file);
  g_map.Clear();
  ASSERT_EQ(g_map.Load(file), static_cast<int>(saved.size()));
  std::fclose(file);
  EXPECT_EQ(MapBytes(), saved);
  EXPECT_EQ(g_map.waterLevel, 4);
  EXPECT_EQ(g_map.regionCounters[3][2], 77);
  EXPECT_EQ(g_mapLevels, 10);
  EXPECT_EQ(g_map.fullRefresh, 1);
}

TEST_F(MapBuild, NodeFilesOfTheSectionsLoadIntoTheNetwork) {
  g_useNodeMap = 1;
  g_pathNetwork.Clear();
  ASSERT_EQ(g_map.Build(kRealm, 0, 11), 1);
  g_map.SetWaterLevel(g_regionSettings.waterLevel);  // as the battle does after building
  EXPECT_GT(g_pathNetwork.count, 9 * 10);
  int sections = 0;
  for (const CPathSection& section : g_pathNetwork.sections) sections += section.xEnd != 0;
  EXPECT_EQ(sections, 9);
  for (int i = 0; i < g_pathNetwork.count; ++i) {
    const CPathNode& node = g_pathNetwork.nodes[static_cast<size_t>(i)];
    EXPECT_TRUE(g_map.IsInside(node.x, node.y, node.level));
    CMoveQuery walker = CMoveQuery::MinimalWalker();
    EXPECT_TRUE(g_map.CanOccupy(node.x, node.y, node.level, walker)) << node.x << "," << node.y << "," << node.level;
  }
}

TEST_F(MapBuild, SpoolingWritesTheLogsAndDeploymentLogIsAlwaysWritten) {
  // The logs go to the current directory, the fixture's copy of the data.
  ASSERT_FALSE(platform::FileExists("Map Genration.log"));
  ASSERT_EQ(g_map.Build(kRealm, 0, 4), 1);
  EXPECT_TRUE(platform::FileExists("deploy.plc"));
  EXPECT_TRUE(platform::FileExists("Map Genration.log"));
  EXPECT_FALSE(platform::FileExists("mapgen.log"));
  g_spoolMapGenInfo = 1;
  ASSERT_EQ(g_map.Build(kRealm, 0, 4), 1);
  g_spoolMapGenInfo = 0;
  std::vector<uint8_t> log;
  ASSERT_TRUE(platform::ReadWholeFile("mapgen.log", log));
  std::string text(log.begin(), log.end());
  EXPECT_NE(text.find("Map Generation Log\n"), std::string::npos);
  EXPECT_NE(text.find("Map Size (tiles)      : 60,60\n"), std::string::npos);
  EXPECT_NE(text.find("segments copied     : (0,0)\n"), std::string::npos);
  EXPECT_NE(text.find("---- end of log ----"), std::string::npos);
  ASSERT_TRUE(platform::ReadWholeFile("deploy.plc", log));
  text.assign(log.begin(), log.end());
  EXPECT_NE(text.find("Num Friendly Wizard deployemt  zones : "), std::string::npos);
  EXPECT_TRUE(platform::FileExists("mapplace.plc"));
}
