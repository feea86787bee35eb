// The map generator on small hand-made configurations, and the section reader.
#include <climits>
#include <cstdio>

#include "MapTestSupport.h"
#include "core/Bytes.h"
#include "forge/IniText.h"
#include "forge/MapSections.h"
#include "map/MapMaker.h"
#include "map/RegionSettings.h"
#include "platform/Files.h"
#include "platform/Profile.h"
#include "support/TestSupport.h"

using namespace map_test;
using testing_support::BoxRecorder;
using testing_support::ExitCodeOf;
using testing_support::TempDir;

namespace {

// A one-block section with these edge ids (north, east, south, west).
forge::SectionCanvas Block(int north, int east, int south, int west) {
  forge::SectionCanvas canvas(1, 1);
  canvas.GroundAll(forge::kGroundLevel, t::kGrass);
  canvas.edges = {north, north, east, east, south, south, west, west};
  return canvas;
}

}  // namespace

class MapMaker : public MapTest {
 protected:
  void SetUp() override {
    MapTest::SetUp();
    ASSERT_TRUE(platform::MakeDirectory(dir.File("maps")));
  }
  TempDir dir{true};
  void Section(const std::string& name, const forge::SectionCanvas& canvas) {
    dir.Write("maps/" + name + ".map", canvas.MapFileBytes());
  }
  // A region 0 with these keys and values.
  void Config(const std::vector<std::pair<std::string, std::string>>& keys) {
    forge::IniText ini;
    ini.Section("Region0");
    const std::pair<std::string, std::string> defaults[] = {
        {"SectionPreFix", "SEC"}, {"MaxWaterLevel", "5"},    {"MinWaterLevel", "1"},
        {"WaterLevel", "3"},      {"RedFactor", "1"},        {"GreenFactor", "1"},
        {"BlueFactor", "1"},      {"MaxRegionofPower", "2"}, {"Path", "maps"}};
    for (const auto& [key, value] : defaults) {
      bool given = false;
      for (const auto& k : keys) given |= k.first == key;
      if (!given) ini.Key(key, value);
    }
    for (const auto& [key, value] : keys)
      if (value != "-") ini.Key(key, value);
    dir.Write("map.cfg", ini.Text());
    platform::FlushProfileCache();
  }
  // The section numbers of the grid, row by row.
  std::vector<int> Grid(const CMapMaker& maker) {
    std::vector<int> numbers;
    for (int y = 0; y < maker.sizeY; ++y)
      for (int x = 0; x < maker.sizeX; ++x) numbers.push_back(maker.grid[x][y].secNo);
    return numbers;
  }
};

TEST_F(MapMaker, ReadsTheRegionsSettings) {
  Section("SEC_a1", Block(1, 1, 1, 1));
  struct Case {
    const char* flagLevels;
    int expected;
  };
  for (const Case& c : {Case{"1", 3}, Case{"7", 3}, Case{"2", 2}, Case{"-", 3}}) {
    Config({{"MapSize", "(3,3)"},
            {"Random", "(1,9)"},
            {"NumFlagLevels", c.flagLevels},
            {"StartLevel", "-2"},
            {"WindDirection", "SOUTHWEST"},
            {"ManaSpriteRegenRate", "0"},
            {"MaxManaSprites", "6"}});
    auto maker = std::make_unique<CMapMaker>();
    ASSERT_EQ(maker->Generate("map.cfg", 0, 1), 1);
    EXPECT_EQ(g_regionSettings.flagLevelCount, c.expected) << c.flagLevels;
    EXPECT_EQ(g_regionSettings.startLevel, 1);
    EXPECT_EQ(g_regionSettings.windDirection, 5);
    EXPECT_EQ(g_regionSettings.manaSpriteRegenRate, 4000);
    EXPECT_EQ(g_map.maxManaSprites, 6);
    EXPECT_EQ(maker->blockX, 20);
    EXPECT_EQ(maker->levels, 10);
    EXPECT_EQ(Grid(*maker), std::vector<int>(9, 1));
  }
  EXPECT_EQ(platform::CurrentDirectory(), dir.Path());  // the section search left it alone
}

TEST_F(MapMaker, FatalConfigurationErrorsEndTheProgram) {
  Section("SEC_a1", Block(1, 1, 1, 1));
  BoxRecorder boxes;
  struct Case {
    std::vector<std::pair<std::string, std::string>> keys;
    const char* text;
  };
  const Case cases[] = {
      {{{"Random", "(1,9)"}}, "No Sizes specified for map"},
      {{{"MapSize", "3"}, {"Random", "(1,9)"}}, "No Y Size specified for map"},
      {{{"MapSize", "(6,3)"}, {"Random", "(1,9)"}}, "Map size larger than 5 x 5 specified for map"},
      {{{"MapSize", "(3,3)"}, {"WaterLevel", "-"}}, "No water level specified for map"},
      {{{"MapSize", "(3,3)"}, {"BlueFactor", "-"}}, "No BlueFactor specified for map"},
      {{{"MapSize", "(3,3)"}, {"Random", "(1)"}}, "Max placement value missing"},
      {{{"MapSize", "(3,3)"}, {"Specific", "(1,0,1)"}}, "Y placement value missing"},
      {{{"MapSize", "(3,3)"}, {"Specific", "(-1,0,1,1)"}}, "SecNo contains an illegal value"},
      // Not-a-number is no size at all; it must not slip past both range checks.
      {{{"MapSize", "nan"}, {"Random", "(1,9)"}}, "No Sizes specified for map"},
      {{{"MapSize", "(3,nan)"}, {"Random", "(1,9)"}}, "No Y Size specified for map"},
      {{{"MapSize", "(1e10,3)"}, {"Random", "(1,9)"}}, "Map size larger than 5 x 5 specified for map"},
  };
  for (const Case& c : cases) {
    Config(c.keys);
    boxes.Clear();
    auto maker = std::make_unique<CMapMaker>();
    EXPECT_EQ(ExitCodeOf([&] { maker->Generate("map.cfg", 0, 1); }), 1) << c.text;
    ASSERT_GE(boxes.Count(), 1u) << c.text;
    EXPECT_EQ(boxes.Boxes().back().caption, "Map cfg Error");
    EXPECT_EQ(boxes.Boxes().back().text, c.text);
  }
  boxes.Clear();
  auto maker = std::make_unique<CMapMaker>();
  EXPECT_EQ(ExitCodeOf([&] { maker->Generate("missing.cfg", 0, 1); }), 1);
  ASSERT_EQ(boxes.Count(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].caption, "Configuration file error");
}

TEST_F(MapMaker, MissingAndMisfittingSectionsAreLeftOut) {
  Section("SEC_a1", Block(1, 1, 1, 1));
  dir.Write("maps/SEC_b12.map", Block(1, 1, 1, 1).MapFileBytes());
  // Section 3 has blocks of another size: it is dropped with a line in the log.
  std::vector<uint8_t> other = Block(1, 1, 1, 1).MapFileBytes();
  bytes::StoreU32(other.data() + 4, 30);
  dir.Write("maps/SEC_c3.map", other);
  // Section 4 is three blocks across: a section spans one or two squares each way.
  std::vector<uint8_t> wide = Block(1, 1, 1, 1).MapFileBytes();
  bytes::StoreU32(wide.data() + 4, 3 * bytes::LoadU32(wide.data() + 4));
  bytes::StoreU32(wide.data() + 24, 3);
  dir.Write("maps/SEC_d4.map", wide);
  Config({{"MapSize", "(3,3)"}, {"Random", "(1,9)(3,9)(99,9)(2,9)(4,9)"}});
  BoxRecorder boxes;
  boxes.QueueAnswer(platform::kAnswerYes);
  boxes.QueueAnswer(platform::kAnswerYes);
  auto maker = std::make_unique<CMapMaker>();
  ASSERT_EQ(maker->Generate("map.cfg", 0, 1), 1);
  ASSERT_EQ(boxes.Count(), 2u);  // sections 99 and 2 are not found: SEC_b12 is section 12
  EXPECT_EQ(boxes.Boxes()[0].caption, "Map Cfg Error");
  for (int number : Grid(*maker)) EXPECT_EQ(number, 1);
  std::vector<uint8_t> log;
  ASSERT_TRUE(platform::ReadWholeFile("Map Genration.log", log));
  std::string text(log.begin(), log.end());
  EXPECT_NE(text.find("Section 3 dropped"), std::string::npos);
  EXPECT_NE(text.find("Section 4 dropped"), std::string::npos);
  EXPECT_NE(text.find("SecNo_ 1\n"), std::string::npos);

  boxes.Clear();
  boxes.QueueAnswer(platform::kAnswerNo);
  EXPECT_EQ(ExitCodeOf([&] { maker->Generate("map.cfg", 0, 1); }), 1);
}

TEST_F(MapMaker, EdgesMustAgreeRoundTheTorus) {
  // A one-square-wide grid takes only sections whose east and west edges agree.
  Section("SEC_a1", Block(1, 1, 1, 1));
  Section("SEC_b2", Block(1, 2, 1, 1));
  Config({{"MapSize", "(1,3)"}, {"Random", "(2,9)(1,9)"}});
  auto maker = std::make_unique<CMapMaker>();
  ASSERT_EQ(maker->Generate("map.cfg", 0, 3), 1);
  EXPECT_EQ(Grid(*maker), (std::vector<int>{1, 1, 1}));
  // Rivers (edge 2 north and south) must line up; with nothing to join them, no grid at all.
  Section("SEC_r4", Block(2, 1, 2, 1));
  Config({{"MapSize", "(3,3)"}, {"Random", "(4,9)(1,2)"}});
  for (int seed : {1, 2, 3}) {
    if (!maker->Generate("map.cfg", 0, seed)) continue;
    for (int x = 0; x < 3; ++x)
      for (int y = 0; y < 3; ++y) {
        const auto& square = maker->grid[x][y];
        const auto& south = maker->grid[x][(y + 1) % 3];
        const auto& east = maker->grid[(x + 1) % 3][y];
        EXPECT_EQ(square.edges[CMapMaker::kSouth], south.edges[CMapMaker::kNorth]);
        EXPECT_EQ(square.edges[CMapMaker::kEast], east.edges[CMapMaker::kWest]);
      }
  }
}

TEST_F(MapMaker, LargeAndFixedSections) {
  Section("SEC_a1", Block(1, 1, 1, 1));
  forge::SectionCanvas wide(2, 1);
  wide.GroundAll(forge::kGroundLevel, t::kGrass);
  dir.Write("maps/SEC_w5.map", wide.MapFileBytes());
  // A 2 x 1 section on a map one square high: across two columns, never turned a quarter.
  Config({{"MapSize", "(3,1)"}, {"Random", "(5,1)(1,5)"}});
  auto maker = std::make_unique<CMapMaker>();
  int placedWide = 0;
  for (int seed = 1; seed < 6; ++seed) {
    ASSERT_EQ(maker->Generate("map.cfg", 0, seed), 1);
    int blocks = 0, columns = 0;
    for (int x = 0; x < 3; ++x) {
      const auto& square = maker->grid[x][0];
      if (square.secNo != 5) continue;
      EXPECT_EQ(square.rot % 2, 0);
      ++blocks;
      columns |= 1 << square.column;
    }
    EXPECT_TRUE(blocks == 0 || (blocks == 2 && columns == 3)) << seed;
    placedWide += blocks == 2;
  }
  EXPECT_GT(placedWide, 0);
  // A fixed section in a rotation that does not fit is tried in the others.
  Section("SEC_b2", Block(1, 2, 3, 4));  // in no rotation are its east and west edges equal
  Config({{"MapSize", "(1,3)"}, {"Specific", "(2,0,0,1)"}, {"Random", "(1,9)"}});
  BoxRecorder boxes;
  ASSERT_EQ(maker->Generate("map.cfg", 0, 1), 1);
  EXPECT_TRUE(boxes.Saw("Config File Error!"));
  EXPECT_NE(maker->grid[0][1].secNo, 2);  // no rotation fits: left out after the tries
  // A fixed section that fits where it is told.
  boxes.Clear();
  Section("SEC_c3", Block(1, 1, 4, 1));
  Section("SEC_d6", Block(4, 1, 1, 1));
  Config({{"MapSize", "(3,3)"}, {"Specific", "(3,0,1,1)(6,0,1,2)"}, {"Random", "(1,9)"}});
  ASSERT_EQ(maker->Generate("map.cfg", 0, 1), 1);
  EXPECT_EQ(maker->grid[1][1].secNo, 3);
  EXPECT_EQ(maker->grid[1][2].secNo, 6);
  EXPECT_EQ(boxes.Count(), 0u);
}

// Hand-made numbers that once reached casts unchecked: huge and not-a-number values take
// the clamp or the default, a coordinate off the grid is reported as such, and a section
// whose connection id leaves no room for the internal ids is refused.
TEST_F(MapMaker, HostileNumbersTakeTheClampOrTheDefault) {
  Section("SEC_a1", Block(1, 1, 1, 1));
  Config({{"MapSize", "(2,2)"},
          {"Random", "(1,1e10)"},
          {"RedFactor", "nan"},
          {"GreenFactor", "1e999"},
          {"MaxWaterLevel", "99999999999"},
          {"StartLevel", "-99999999999"},
          {"CreatureDeployOffset_0", "1e10"}});
  auto maker = std::make_unique<CMapMaker>();
  ASSERT_EQ(maker->Generate("map.cfg", 0, 1), 1);
  EXPECT_EQ(Grid(*maker), std::vector<int>(4, 1));
  EXPECT_EQ(maker->infos[0].maxOcc, INT_MAX);
  EXPECT_EQ(g_regionSettings.redFactor, 0.0);
  EXPECT_EQ(g_regionSettings.greenFactor, 0.0);
  EXPECT_EQ(g_regionSettings.startLevel, 1);
  EXPECT_EQ(g_regionSettings.creatureDeployOffset[0], INT_MAX);

  BoxRecorder boxes;
  boxes.QueueAnswer(platform::kAnswerYes);
  Config({{"MapSize", "(2,2)"}, {"Specific", "(1,0,-5,1)"}, {"Random", "(1,9)"}});
  ASSERT_EQ(maker->Generate("map.cfg", 0, 1), 1);
  ASSERT_EQ(boxes.Count(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, "Specific Section No: 1. Is placed off map.\nContinue anyway?");

  boxes.Clear();
  Section("SEC_x2", Block(INT_MAX, INT_MAX, INT_MAX, INT_MAX));
  Section("SEC_y3", Block(1, 1, -4, 1));
  Config({{"MapSize", "(2,2)"}, {"Random", "(2,9)(3,9)(1,9)"}});
  ASSERT_EQ(maker->Generate("map.cfg", 0, 1), 1);
  EXPECT_EQ(Grid(*maker), std::vector<int>(4, 1));
  EXPECT_EQ(maker->internalBase, 2);
  ASSERT_EQ(maker->droppedEntries.size(), 2u);
  EXPECT_EQ(maker->droppedEntries[0], "Section 2 dropped: a connection id lies outside 0 to 16777216");
  EXPECT_EQ(boxes.Count(), 0u);
}

TEST_F(MapMaker, MoreBlocksThanTheTablesHoldAreLeftOut) {
  forge::SectionCanvas big(2, 2);
  big.GroundAll(forge::kGroundLevel, t::kGrass);
  dir.Write("maps/SEC_k7.map", big.MapFileBytes());
  Section("SEC_a1", Block(1, 1, 1, 1));
  std::string random = "(1,9)";
  for (int i = 0; i < 14; ++i) random += "(7,1)";  // 14 x 4 blocks
  Config({{"MapSize", "(5,5)"}, {"Random", random}});
  auto maker = std::make_unique<CMapMaker>();
  ASSERT_EQ(maker->Generate("map.cfg", 0, 1), 1);
  int used = 0;
  for (const auto& info : maker->infos) used += info.SecNo != -1;
  EXPECT_LE(used, CMapMaker::kMaxInfos);
  EXPECT_FALSE(maker->droppedEntries.empty());
}

class SectionFiles : public MapTest {
 protected:
  std::vector<uint8_t> OldFile(int format, int width, int height, int levels) {
    bytes::Writer out;
    for (int32_t word : {format, width, height, levels}) out.I32(word);
    out.Zeros(64 - 16);
    int record = format == 4 ? 16 : 12;
    for (int i = 0; i < width * height * levels; ++i) {
      std::vector<uint8_t> r(static_cast<size_t>(record), 0);
      bytes::StoreU16(r.data(), static_cast<uint16_t>(i % 7));
      if (format == 4) {
        r[5] = 0x10;
        bytes::StoreU16(r.data() + 6, 0xFFFF);
        r[10] = 0x02;
      }
      out.Bytes(r.data(), r.size());
    }
    return out.Data();
  }
};

TEST_F(SectionFiles, FormatsAreCheckedAgainstTheirSizes) {
  CSectionImage image;
  std::vector<uint8_t> four = OldFile(4, 5, 4, 2);
  ASSERT_EQ(ParseSectionFile(four.data(), four.size(), image), 1);
  EXPECT_EQ(image.cells.size(), 40u);
  EXPECT_EQ(image.cells[3].terrain, 3);
  EXPECT_EQ(image.cells[3].state, 0x10);
  EXPECT_EQ(image.cells[3].occupant, 0xFFFF);
  EXPECT_EQ(image.cells[3].shape, 0x02);
  EXPECT_EQ(image.header[16], 512);
  EXPECT_EQ(image.header[17], -1);
  std::vector<uint8_t> bad = four;
  bad.resize(bad.size() - 16);
  EXPECT_EQ(ParseSectionFile(bad.data(), bad.size(), image), 0);
  std::vector<uint8_t> five = OldFile(5, 5, 4, 2);
  EXPECT_EQ(ParseSectionFile(five.data(), five.size(), image), 1);
  five.resize(five.size() - 12);
  EXPECT_EQ(ParseSectionFile(five.data(), five.size(), image), 0);

  std::vector<uint8_t> six = Block(1, 1, 1, 1).MapFileBytes();
  ASSERT_EQ(ParseSectionFile(six.data(), six.size(), image), 1);
  EXPECT_EQ(image.cells.size(), 4000u);
  for (int change : {-1, 1}) {
    std::vector<uint8_t> wrong = six;
    wrong.resize(static_cast<size_t>(static_cast<int>(wrong.size()) + change));
    EXPECT_EQ(ParseSectionFile(wrong.data(), wrong.size(), image), 0) << change;
  }
  std::vector<uint8_t> tall = six;
  bytes::StoreU32(tall.data() + 12, 40);  // 40 levels
  EXPECT_EQ(ParseSectionFile(tall.data(), tall.size(), image), 0);
  EXPECT_EQ(ParseSectionFile(six.data(), 30, image), 0);

  BoxRecorder boxes;
  std::vector<uint8_t> seven = six;
  bytes::StoreU32(seven.data(), 7);
  EXPECT_EQ(ExitCodeOf([&] { ParseSectionFile(seven.data(), seven.size(), image); }), 1);
  ASSERT_EQ(boxes.Count(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, "Invalid map version");
  EXPECT_EQ(boxes.Boxes()[0].caption, "MAP ERROR");
}

TEST_F(SectionFiles, PastingTurnsCellsTheirTypesAndTheirSides) {
  MakeMap(48, 44, 4);
  g_map.sectionSize = 20;
  std::vector<CMapCell> block(20 * 20 * 2);
  block[0].terrain = t::kWallNorth;
  block[0].shape = shape_bits::kConnectNorth;
  block[19].terrain = t::kGrass;  // (19, 0)
  g_map.PasteSection(block.data(), 2, 20, 0, 1);
  EXPECT_EQ(Cell(39, 0, 0).terrain, t::kWallEast);  // (0, 0) turned once lands at (S - 1, 0)
  EXPECT_EQ(Cell(39, 0, 0).shape, shape_bits::kConnectEast);
  EXPECT_EQ(Cell(39, 19, 0).terrain, t::kGrass);   // (19, 0) to (19, 19)
  g_map.PasteSection(block.data(), 2, 40, 40, 2);  // across the seams
  EXPECT_EQ(Cell(40 + 19 - 48, (40 + 19) % 44, 0).terrain, t::kWallSouth);
  g_map.PasteSection(block.data(), 2, 0, 0, 3);
  EXPECT_EQ(Cell(0, 19, 0).terrain, t::kWallWest);
  EXPECT_EQ(Cell(0, 19, 0).shape, shape_bits::kConnectWest);
  // An animated cell without such a sequence loses its animation and becomes empty.
  block[1].terrain = 7;
  block[1].state = state_bits::kAnimated;
  g_map.PasteSection(block.data(), 2, 20, 20, 0);
  EXPECT_EQ(Cell(21, 20, 0).terrain, 0);
  EXPECT_FALSE(Cell(21, 20, 0).IsAnimated());
}

TEST_F(SectionFiles, ItemsFarOffTheirSectionStillLandInsideTheMap) {
  // Placement and event-area files may hold any numbers: turning and moving them must not
  // overflow, and whatever lands is wrapped into the map.
  BoxRecorder boxes;
  CMapPlacement placements;
  placements.items.push_back({INT32_MAX, 5, 0, kPlacementCreature, 0, 0, 0, 0, 0, 0});
  placements.items.push_back({3, INT32_MAX - 1, 0, kPlacementArtifact, 0, 0, 0, 0, 0, 0});
  CEventAreas events;
  CEventAreas::Item area{};
  area[0] = INT32_MIN;
  area[1] = INT32_MAX;
  area[3] = INT32_MAX;
  area[4] = INT32_MIN + 1;
  events.items.push_back(area);
  for (int turn = 0; turn < 4; ++turn) {
    g_map.deploymentZones.Clear();
    g_map.eventAreas.Clear();
    g_map.AddSectionPlacements(placements, 40, 40, turn, 20, 20);
    g_map.AddSectionEventAreas(events, 40, 40, turn, 20, 20);
    ASSERT_EQ(g_map.deploymentZones.Count(), 2) << turn;
    for (const auto& item : g_map.deploymentZones.items) {
      EXPECT_TRUE(item[0] >= 0 && item[0] < g_map.width) << turn;
      EXPECT_TRUE(item[1] >= 0 && item[1] < g_map.height) << turn;
    }
    ASSERT_EQ(g_map.eventAreas.Count(), 1) << turn;
    for (int corner : {0, 3}) {
      EXPECT_TRUE(g_map.eventAreas.items[0][corner] >= 0 && g_map.eventAreas.items[0][corner] < g_map.width);
      EXPECT_TRUE(g_map.eventAreas.items[0][corner + 1] >= 0 && g_map.eventAreas.items[0][corner + 1] < g_map.height);
    }
  }
}
