// The map record: creation and its limits, cell addressing, terrain changes and the derived
// cell bits.
#include "MapTestSupport.h"
#include "map/MapUnits.h"
#include "support/TestSupport.h"

using namespace map_test;

class MapCore : public MapTest {};

TEST_F(MapCore, CreateRefusesSizesOutsideItsTablesAndKeepsTheOldMap) {
  testing_support::BoxRecorder boxes;
  struct Case {
    int width, height, levels;
  };
  const Case refused[] = {{42, 100, 8}, {100, 42, 8}, {43, 43, 0}, {43, 129, 4}, {129, 43, 4}, {43, 43, 33}};
  for (const Case& c : refused) {
    boxes.Clear();
    EXPECT_EQ(g_map.Create(c.width, c.height, c.levels, 1, 1), 0) << c.width << "x" << c.height << "x" << c.levels;
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].caption, "MAP SIZE ERROR");
    EXPECT_EQ(g_map.width, 48);  // the old map stays
    EXPECT_TRUE(g_map.HasCells());
  }
  EXPECT_EQ(boxes.Boxes()[0].flags & platform::kBoxIconMask, platform::kBoxIconWarning);
  boxes.Clear();
  EXPECT_EQ(g_map.Create(42, 100, 8, 1, 1), 0);
  EXPECT_EQ(boxes.Boxes()[0].text, "Tried to create a map below the minimum size");
  EXPECT_EQ(g_map.Create(43, 43, 1, 1, 1), 1);
  EXPECT_EQ(g_map.Create(128, 128, 32, 5, 5), 1);
}

TEST_F(MapCore, NewMapHasEmptyCellsAndItsHeader) {
  FakeHooks hooks;
  ASSERT_EQ(g_map.Create(60, 80, 6, 3, 4), 1);
  EXPECT_EQ(g_map.format, 6);
  EXPECT_EQ(g_map.cellsPerLevel, 4800);
  EXPECT_EQ(g_map.cellCount, 28800);
  EXPECT_EQ(g_map.sectionsX, 3);
  EXPECT_EQ(g_map.sectionsY, 4);
  EXPECT_EQ(g_map.sectionValues[0], 512);
  EXPECT_EQ(g_map.sectionValues[1], -1);
  EXPECT_EQ(g_map.sectionValues[2], -1);
  EXPECT_EQ(g_map.levelOffset[5], 5 * 4800);
  EXPECT_EQ(g_map.rowOffset[79], 79 * 60);
  EXPECT_EQ(g_map.lightBufferSize, 4800 * 3);
  EXPECT_EQ(g_mapLevels, 6);
  EXPECT_EQ(g_mapTopUnits, 96);
  EXPECT_EQ(hooks.effects.worldSize, (std::vector<int>{60 * 32, 80 * 32, 6 * 16}));
  for (int i = 0; i < g_map.cellCount; i += 997) {
    const CMapCell& cell = g_map.cells[i];
    EXPECT_EQ(cell.terrain, 0);
    EXPECT_EQ(cell.effect, 0xFFFF);
    EXPECT_EQ(cell.occupant, 0xFFFF);
    EXPECT_EQ(cell.object, 0xFFFF);
    EXPECT_EQ(cell.shape, 0);
    EXPECT_EQ(cell.state, 0);
  }
  for (const auto& row : g_map.regionHolders)
    for (int holder : row) EXPECT_EQ(holder, -1);
}

TEST_F(MapCore, CellAddressingRoundTrips) {
  EXPECT_EQ(g_map.CellIndexFromPointer(nullptr), -1);
  EXPECT_EQ(g_map.CellPointerFromIndex(-1), nullptr);
  EXPECT_EQ(g_map.CellPointerFromIndex(g_map.cellCount), nullptr);
  CMapCell& cell = Cell(47, 43, 7);
  int index = g_map.CellIndexFromPointer(&cell);
  EXPECT_EQ(index, g_map.cellCount - 1);
  EXPECT_EQ(g_map.CellPointerFromIndex(index), &cell);
  int x, y, level;
  ASSERT_TRUE(g_map.UnpackCellOffset(&Cell(13, 29, 4), x, y, level));
  EXPECT_EQ(x, 13);
  EXPECT_EQ(y, 29);
  EXPECT_EQ(level, 4);
  EXPECT_EQ(g_map.CellAtWrapped(-1, 44, 2), &Cell(47, 0, 2));
  EXPECT_EQ(g_map.CellAtWrapped(0, 0, 8), nullptr);
  EXPECT_EQ(g_map.CellAtWrapped(0, 0, -1), nullptr);
  CMapCell outside;
  EXPECT_FALSE(g_map.UnpackCellOffset(&outside, x, y, level));
}

TEST_F(MapCore, SetTerrainKeepsTheLiquidBitAndRespectsAnOccupant) {
  CMapCell& cell = Cell(5, 5, 1);
  EXPECT_EQ(cell.SetTerrain(t::kWater), 1);
  EXPECT_EQ(cell.state & state_bits::kLiquid, state_bits::kLiquid);
  cell.state |= state_bits::kBody;
  EXPECT_EQ(cell.SetTerrain(0), 1);
  EXPECT_EQ(cell.state & state_bits::kOccupancy, 0);
  EXPECT_EQ(cell.SetTerrain(t::kCount), 0);  // beyond the table
  EXPECT_EQ(cell.terrain, 0);

  // A creature in the cell: another kind is refused, the same standable kind is taken.
  cell.SetTerrain(t::kGrass);
  cell.occupant = 3;
  EXPECT_EQ(cell.SetTerrain(t::kEarth), 0);
  EXPECT_EQ(cell.terrain, t::kGrass);
  EXPECT_EQ(cell.SetTerrain(t::kSand), 1);  // grass and sand: kind 2, both standable
  EXPECT_EQ(cell.terrain, t::kSand);
  cell.state |= state_bits::kOpenDoorway;  // an open doorway lifts the rule
  EXPECT_EQ(cell.SetTerrain(t::kEarth), 1);
}

TEST_F(MapCore, EnclosedCellUnderAMatchingRoofIsSealed) {
  // Cell (10, 10, 1) walled on its four sides, a roof above.
  auto build = [&](int roofClass) {
    MakeMap(48, 44, 4);
    Set(10, 10, 1, t::kGrass);
    Set(11, 10, 1, t::kWallWest);
    Set(10, 11, 1, t::kWallNorth);
    Set(9, 10, 1, t::kWallEast);
    Set(10, 9, 1, t::kWallSouth);
    Set(10, 10, 2, t::kRoof);
    Cell(10, 10, 2).shape = static_cast<uint16_t>(roofClass);
    g_map.FinishTerrainShapes();
  };
  build(0);
  const CMapCell& sealed = Cell(10, 10, 1);
  EXPECT_EQ(sealed.shape & shape_bits::kCorners, shape_bits::kCorners);
  EXPECT_EQ(sealed.terrain, 0);
  EXPECT_TRUE(sealed.IsSealed());

  build(1);  // the roof's class differs: the cell stays, and is marked
  const CMapCell& open = Cell(10, 10, 1);
  EXPECT_EQ(open.terrain, t::kGrass);
  EXPECT_FALSE(open.IsSealed());
  EXPECT_EQ(open.state & state_bits::ClassDiffers(0), state_bits::ClassDiffers(0));

  // Three walls only: two corners.
  build(0);
  Set(10, 9, 1, 0);
  Cell(10, 10, 1).terrain = t::kGrass;
  Cell(10, 10, 1).state = 0;
  g_map.FinishTerrainShapes();
  EXPECT_EQ(Cell(10, 10, 1).shape & shape_bits::kCorners, shape_bits::kCornerSouthEast | shape_bits::kCornerSouthWest);
  EXPECT_FALSE(Cell(10, 10, 1).IsSealed());
}

TEST_F(MapCore, OpenSkyFollowsTheOverlayInTheLocalUpdate) {
  g_map.FinishTerrainShapes();
  EXPECT_TRUE(Cell(3, 3, 2).shape & shape_bits::kOpenSky);  // every cell is empty
  Cell(3, 3, 2).SetTerrain(t::kGrass);
  EXPECT_FALSE(Cell(3, 3, 2).shape & shape_bits::kOpenSky);
  EXPECT_EQ(g_map.backgroundDirty, 1);

  // An overlay span ending at the cell keeps it drawn after it is emptied.
  g_tileSpans.MarkColumn(3, 3, 2, 10);
  g_tileSpans.active = 1;
  Cell(3, 3, 2).SetTerrain(0);
  EXPECT_FALSE(Cell(3, 3, 2).shape & shape_bits::kOpenSky);
  g_tileSpans.Reset();
  Cell(3, 3, 2).SetTerrain(0);
  EXPECT_TRUE(Cell(3, 3, 2).shape & shape_bits::kOpenSky);
}

TEST_F(MapCore, VoxelContactAcrossEachFace) {
  Set(20, 20, 2, t::kEarth);      // full block
  Set(21, 20, 2, t::kWallWest);   // solid column 0 only
  Set(19, 20, 2, t::kWallWest);   // its column 7, facing us, is empty
  Set(20, 20, 3, t::kGrass);      // quarter 0 full
  Set(20, 21, 2, t::kWallNorth);  // row 0 full
  struct Case {
    int x2, y2, z2, contact;
  };
  const Case cases[] = {
      {21, 20, 2, 8 * 4},                  // east: its column 0 against our column 7
      {19, 20, 2, 0},                      // west: our column 0 against its column 7, which is empty
      {20, 20, 3, 64},                     // above: its quarter 0 against our quarter 3
      {20, 20, 1, 0},                      // below: empty
      {20, 21, 2, 32},                     // south: its row 0 against our row 7
      {20, 19, 2, 0},     {21, 21, 2, 0},  // (1, 1): the east face is tested, and (21, 21) is empty
  };
  for (const Case& c : cases)
    EXPECT_EQ(g_map.CountVoxelContact(20, 20, 2, c.x2, c.y2, c.z2), c.contact) << c.x2 << "," << c.y2 << "," << c.z2;
  EXPECT_EQ(g_map.CountVoxelContact(20, 20, 3, 20, 20, 2), 64);
  EXPECT_EQ(g_map.CountVoxelContact(20, 20, 2, 20, 20, 8), 0);  // above the levels: nothing
}

TEST_F(MapCore, VoxelContactWrapsAcrossTheSeams) {
  const int w = g_map.width, h = g_map.height;
  Set(w - 1, 5, 2, t::kEarth);
  Set(0, 5, 2, t::kWallWest);  // its column 0 touches the east face of the last column
  Set(7, h - 1, 2, t::kEarth);
  Set(7, 0, 2, t::kWallNorth);  // its row 0 touches the south face of the last row
  struct Case {
    int x1, y1, x2, y2, contact;
  };
  const Case cases[] = {
      {w - 1, 5, w, 5, 32},   {w - 1, 5, 0, 5, 32},   {0, 5, w - 1, 5, 32},  {0, 5, -1, 5, 32},
      {7, h - 1, 7, h, 32},   {7, h - 1, 7, 0, 32},   {7, 0, 7, h - 1, 32},  {7, 0, 7, -1, 32},
      {w - 1, 5, w - 2, 5, 0},  // west of the last column: empty
  };
  for (const Case& c : cases)
    EXPECT_EQ(g_map.CountVoxelContact(c.x1, c.y1, 2, c.x2, c.y2, 2), c.contact)
        << c.x1 << "," << c.y1 << " -> " << c.x2 << "," << c.y2;
}

TEST_F(MapCore, FootprintKindWrapsAcrossTheSeams) {
  Set(47, 43, 1, t::kEarth);  // kind 12
  Set(0, 43, 1, t::kGrass);   // kind 2
  Set(47, 0, 1, t::kWater);   // kind 16
  Set(0, 0, 1, t::kStone);    // kind 15
  EXPECT_EQ(Cell(47, 43, 1).GetFootprintKind(), 2);
  Set(0, 0, 1, 0);
  EXPECT_EQ(Cell(47, 43, 1).GetFootprintKind(), 0);
}

TEST_F(MapCore, ClearingACellEmptiesItAndTellsThePathNetwork) {
  PathNotices path;
  FillLevel(0, t::kEarth);
  Set(6, 6, 1, t::kStone);  // a wall block: nothing may stand in it
  CMapCell& cell = Cell(6, 6, 1);
  cell.state |= state_bits::kField10 | state_bits::kClosedDoor;
  cell.shape |= shape_bits::kConnectNorth | shape_bits::kClassMask;
  cell.Clear();
  EXPECT_EQ(cell.terrain, 0);
  EXPECT_EQ(cell.state & (state_bits::kField10 | state_bits::kDoorBits), 0);
  EXPECT_EQ(cell.shape & (shape_bits::kSideConnections | shape_bits::kClassMask), 0);
  EXPECT_TRUE(cell.shape & shape_bits::kOpenSky);
  // Before: nothing could stand in the wall; after: the cell is open air above earth, where
  // a walker cannot stand either (it stands in the earth block below) but a flyer may be.
  ASSERT_EQ(path.notices.size(), 1u);
  EXPECT_EQ(path.notices[0], (std::vector<int>{6, 6, 1, 1}));
}
