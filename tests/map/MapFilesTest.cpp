// Placement lists, event areas and terrain types: forged files read back, bad files refused,
// and the lists' saved-game blocks.
#include <cstdio>

#include "MapTestSupport.h"
#include "core/Bytes.h"
#include "core/Options.h"
#include "forge/MapData.h"
#include "platform/Files.h"
#include "support/TestSupport.h"

using namespace map_test;
using testing_support::BoxRecorder;
using testing_support::TempDir;

namespace {

forge::PlacementItem Placement(int x, int y, int level, int category, int extra = 0) {
  return {x, y, level, category, extra, 100, 0, 0, 0, extra};
}

// A file through the list's saved-game block and back.
template <typename List>
int SaveAndLoad(const List& from, List& to) {
  FILE* file = std::tmpfile();
  int written = from.Write(file);
  std::rewind(file);
  int read = to.Read(file);
  std::fclose(file);
  EXPECT_EQ(written, read);
  return read;
}

}  // namespace

TEST(MapPlacementFiles, ForgedListsReadBack) {
  std::string sample = testing_support::ForgedDataDir() + "/samples/map/sample.mps";
  CMapPlacement list;
  ASSERT_EQ(list.Load(sample.c_str()), 1);
  ASSERT_EQ(list.Count(), 4);
  EXPECT_EQ(list.header[2], 1);
  EXPECT_EQ(list.header[3], 4);
  EXPECT_EQ(list.items[1][0], 30);
  EXPECT_EQ(list.items[1][3], kPlacementEnemyWizard);
  EXPECT_EQ(list.items[3][4], 19);

  CMapPlacement empty;
  std::string emptyPath = testing_support::ForgedDataDir() + "/samples/map/empty.mps";
  EXPECT_EQ(empty.Load(emptyPath.c_str()), 1);
  EXPECT_EQ(empty.Count(), 0);

  CEventAreas areas;
  std::string events = testing_support::ForgedDataDir() + "/samples/map/sample.evt";
  ASSERT_EQ(areas.Load(events.c_str()), 1);
  ASSERT_EQ(areas.Count(), 1);
  EXPECT_EQ(areas.items[0][3], 6);
  EXPECT_EQ(areas.items[0][5], 3);
}

TEST(MapPlacementFiles, BadFilesAreRefusedAndTheOldListStays) {
  TempDir dir;
  BoxRecorder boxes;
  std::vector<uint8_t> good = forge::PlacementFileBytes({Placement(1, 2, 3, 4)});
  CMapPlacement list;
  dir.Write("good.mps", good);
  ASSERT_EQ(list.Load(dir.File("good.mps").c_str()), 1);

  std::vector<uint8_t> longer = good;
  longer.push_back(0);
  std::vector<uint8_t> negative = forge::PlacementFileBytes({});
  bytes::StoreU32(negative.data() + 12, static_cast<uint32_t>(-1));
  struct Case {
    const char* name;
    std::vector<uint8_t> data;
    bool versionBox;
  };
  const Case cases[] = {
      {"long.mps", longer, false},
      {"short.mps", std::vector<uint8_t>(good.begin(), good.end() - 1), false},
      {"header.mps", std::vector<uint8_t>(good.begin(), good.begin() + 10), false},
      {"version.mps", forge::PlacementFileBytes({Placement(1, 1, 1, 1)}, 2), true},
      {"negative.mps", negative, false},
  };
  for (const Case& c : cases) {
    dir.Write(c.name, c.data);
    boxes.Clear();
    EXPECT_EQ(list.Load(dir.File(c.name).c_str()), 0) << c.name;
    ASSERT_EQ(boxes.Count(), c.versionBox ? 2u : 1u) << c.name;
    if (c.versionBox) {
      EXPECT_EQ(boxes.Boxes()[0].caption, "Version Error");
      EXPECT_EQ(boxes.Boxes()[0].text, "Old map placement data file format !");
    }
    EXPECT_EQ(boxes.Boxes().back().caption, "File Error");
    EXPECT_EQ(boxes.Boxes().back().text, "Problem reading map placement data file.");
    ASSERT_EQ(list.Count(), 1) << c.name;
    EXPECT_EQ(list.items[0][2], 3);
  }
  boxes.Clear();
  EXPECT_EQ(list.Load(""), 0);
  EXPECT_EQ(list.Load(dir.File("missing.mps").c_str()), 0);
  EXPECT_EQ(boxes.Count(), 1u);  // the empty name is refused without a box

  CEventAreas areas;
  dir.Write("bad.evt", forge::EventAreaFileBytes({forge::EventAreaItem{}}, 0));
  std::vector<uint8_t> longEvents = forge::EventAreaFileBytes({forge::EventAreaItem{}});
  longEvents.push_back(0);
  dir.Write("long.evt", longEvents);
  boxes.Clear();
  EXPECT_EQ(areas.Load(dir.File("bad.evt").c_str()), 0);
  ASSERT_EQ(boxes.Count(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, "Old event areas (.evt) data file format !");
  EXPECT_EQ(areas.Load(dir.File("missing.evt").c_str()), 0);
  EXPECT_EQ(areas.Load(dir.File("long.evt").c_str()), 0);
  EXPECT_EQ(boxes.Count(), 1u);  // those fail silently
}

TEST(MapPlacementFiles, AddingAndRemovingItems) {
  BoxRecorder boxes;
  CMapPlacement list;
  list.AddItem(Placement(1, 2, 3, 4, 0));
  list.AddItem(Placement(1, 2, 3, 4, 9));  // differs only in its last six words
  ASSERT_EQ(boxes.Count(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].caption, "Add Placement Item");
  list.AddItem(Placement(1, 2, 3, 5));
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(list.RemoveItem(Placement(7, 7, 7, 7)), 0);
  EXPECT_EQ(boxes.Boxes().back().text, "Item not found.");
  EXPECT_EQ(list.RemoveItem(Placement(1, 2, 3, 4, 5)), 1);
  EXPECT_EQ(list.items[0][3], 5);
  EXPECT_EQ(list.RemoveItem(Placement(1, 2, 3, 5)), 1);
  EXPECT_EQ(list.Count(), 0);

  CEventAreas areas;
  CEventAreas::Item area{};
  area = {1, 1, 0, 4, 4, 2};
  EXPECT_EQ(areas.AddItem(area), 1);
  CEventAreas::Item touching{};
  touching = {4, 4, 2, 9, 9, 3};  // its first corner is the other's second corner
  boxes.Clear();
  EXPECT_EQ(areas.AddItem(touching), 1);
  ASSERT_EQ(boxes.Count(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].caption, "Add Event Area Item");
  touching[0] = 5;
  EXPECT_EQ(areas.AddItem(touching), 2);
}

TEST(MapPlacementFiles, SavedGameBlocksRoundTripAndRefuseShortData) {
  CMapPlacement list, back;
  list.header[0] = 77;
  list.header[2] = 1;
  list.items = {Placement(1, 2, 3, 4), Placement(5, 6, 7, 1, -3)};
  EXPECT_EQ(SaveAndLoad(list, back), 20 + 80);
  EXPECT_EQ(back.items, list.items);
  EXPECT_EQ(back.header[0], 77);

  CMapPlacement empty;
  EXPECT_EQ(SaveAndLoad(empty, back), 20);
  EXPECT_EQ(back.Count(), 0);

  CEventAreas areas, areasBack;
  areas.items.resize(3);
  areas.items[2][17] = -9;
  EXPECT_EQ(SaveAndLoad(areas, areasBack), 20 + 3 * 72);
  EXPECT_EQ(areasBack.items, areas.items);

  // A count larger than the data fails and keeps the list; so does a short header.
  FILE* file = std::tmpfile();
  bytes::Writer out;
  for (int i = 0; i < 4; ++i) out.I32(0);
  out.I32(1000000);
  out.Zeros(40);
  std::fwrite(out.Data().data(), 1, out.Size(), file);
  std::rewind(file);
  EXPECT_EQ(back.Read(file), -1);
  std::rewind(file);
  EXPECT_EQ(back.Count(), 0);
  std::fclose(file);
  file = std::tmpfile();
  std::fwrite("abc", 1, 3, file);
  std::rewind(file);
  back.items = list.items;
  EXPECT_EQ(back.Read(file), -1);
  EXPECT_EQ(back.Count(), 2);
  std::fclose(file);
}

TEST(MapPlacementFiles, SpoolingWritesThePlacementLog) {
  TempDir dir(true);
  dir.Write("a.mps", forge::PlacementFileBytes({Placement(1, 1, 1, 1), Placement(2, 2, 2, 9)}));
  g_spoolMapGenInfo = 1;
  CMapPlacement list;
  list.Load("a.mps");
  g_spoolMapGenInfo = 0;
  std::vector<uint8_t> log;
  ASSERT_TRUE(platform::ReadWholeFile(dir.File("mapplace.plc"), log));
  std::string text(log.begin(), log.end());
  EXPECT_NE(text.find("** New Section List (a.mps)**\nNumber Elements in list 2\nFriendly Wizard\nInvalid 9,"),
            std::string::npos)
      << text;
}

TEST(TerrainTypeFile, ForgedTypesReadBackFieldByField) {
  std::vector<uint8_t> file;
  ASSERT_TRUE(platform::ReadWholeFile(testing_support::ForgedDataDir() + "/maps/moorland/terrain.ttd", file));
  ASSERT_GT(file.size(), 16u);
  EXPECT_EQ(bytes::LoadU32(file.data() + 4), file.size());
  EXPECT_EQ(bytes::LoadU32(file.data() + 8), 4u);
  CTerrainTypeTable table;
  ASSERT_TRUE(table.Assign(file.data() + 16, file.size() - 16));
  EXPECT_EQ(table.Count(), t::kCount);

  const CTerrainType& earth = table.Get(t::kEarth);
  EXPECT_EQ(earth.kind, 12);
  EXPECT_EQ(earth.groundHeight, 16);
  EXPECT_EQ(bytes::LoadU32(file.data() + 16 + 356 * t::kEarth + 148), 16u);  // the ground height's place
  EXPECT_EQ(earth.CountVoxels(), 256);
  EXPECT_EQ(earth.MaxVoxelsPerLevel(), 64);
  EXPECT_FALSE(earth.IsStandable());               // fill
  EXPECT_TRUE(table.Get(t::kTurf).IsStandable());  // the top of raised ground
  EXPECT_EQ(table.Get(t::kTurf).kind, 12);
  EXPECT_EQ(earth.afterDestruction, t::kRubble);
  EXPECT_TRUE(table.Get(t::kWater).IsLiquid());
  EXPECT_EQ(table.Get(t::kDoor).doorIndex, 0);
  EXPECT_EQ(table.Get(t::kGrass).doorIndex, 255);
  const CTerrainType& north = table.Get(t::kWallNorth);
  EXPECT_EQ(north.sideFlags, side_flags::kNorth);
  EXPECT_EQ(north.RotatedType(1), t::kWallEast);
  EXPECT_EQ(north.RotatedType(2), t::kWallSouth);
  EXPECT_EQ(north.RotatedType(3), t::kWallWest);
  EXPECT_EQ(north.RotatedType(0), t::kWallNorth);
  EXPECT_EQ(north.TestVoxel(3, 0, 2), 1);
  EXPECT_EQ(north.TestVoxel(3, 1, 2), 0);
  EXPECT_EQ(table.Get(t::kWallWest).TestVoxel(0, 5, 1), 1);
  EXPECT_EQ(table.Get(t::kWallEast).TestVoxel(7, 5, 1), 1);
  EXPECT_EQ(table.Get(t::kRoof).sideFlags, side_flags::kRoof);
  EXPECT_EQ(table.Get(t::kGrass).CountVoxels(), 64);

  // Out of the table reads as empty; a body that is not whole records is refused.
  EXPECT_EQ(table.Get(t::kCount).kind, 0);
  EXPECT_EQ(table.Get(-1).damageThreshold, 255);
  EXPECT_FALSE(table.Assign(file.data() + 16, 355));
  EXPECT_EQ(table.Count(), 0);
}
