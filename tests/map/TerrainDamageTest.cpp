// Terrain damage over thresholds, breaking and opening doors, and the doors file.
#include "MapTestSupport.h"
#include "core/Options.h"
#include "forge/MapData.h"
#include "map/Doors.h"
#include "platform/Profile.h"
#include "support/TestSupport.h"

using namespace map_test;

namespace {

constexpr int kWall = 100, kWeak = 101, kLoop = 102;

// The forged types with a wall (threshold 20) that leaves a weak remnant (threshold 5), and
// a type that turns into itself at threshold 0.
std::vector<CTerrainType> DamageTypes() {
  std::vector<CTerrainType> types = ForgedTypes();
  types[kWall] = types[t::kStoneTop];
  types[kWall].damageThreshold = 20;
  types[kWall].afterDestruction = kWeak;
  types[kWeak] = types[t::kRubble];
  types[kWeak].damageThreshold = 5;
  types[kWeak].afterDestruction = 0;
  types[kLoop] = types[t::kStone];
  types[kLoop].damageThreshold = 0;
  types[kLoop].afterDestruction = kLoop;
  return types;
}

}  // namespace

class TerrainDamage : public MapTest {
 protected:
  void SetUp() override {
    MapTest::SetUp();
    UseTypes(DamageTypes());
    g_useNodeMap = 1;
  }
  void TearDown() override {
    g_useNodeMap = 0;
    MapTest::TearDown();
  }
};

TEST_F(TerrainDamage, DamageOverThresholdsDestroysInTurn) {
  FakeHooks hooks;
  struct Case {
    int amount;
    int changed;
    int terrain;
  };
  const Case cases[] = {
      {19, 0, kWall},  // below the threshold
      {20, 1, kWeak},  // equal: changed, nothing left over
      {24, 1, kWeak},  // 4 left over is below the remnant's 5
      {25, 1, 0},      // 5 left over destroys the remnant too
      {30, 1, 0},
  };
  for (const Case& c : cases) {
    Set(8, 8, 1, kWall);
    EXPECT_EQ(Cell(8, 8, 1).Damage(c.amount), c.changed) << c.amount;
    EXPECT_EQ(Cell(8, 8, 1).terrain, c.terrain) << c.amount;
  }
  Set(9, 9, 1, t::kRock);
  EXPECT_EQ(Cell(9, 9, 1).Damage(100000), 0);  // indestructible
  EXPECT_EQ(Cell(9, 9, 2).Damage(100), 0);     // nothing to damage
  // A cell that keeps its leftover does not pass it on.
  Set(8, 8, 1, kWall);
  Cell(8, 8, 1).shape |= shape_bits::kKeepLeftoverDamage;
  EXPECT_EQ(Cell(8, 8, 1).Damage(30), 1);
  EXPECT_EQ(Cell(8, 8, 1).terrain, kWeak);
  // A type that turns into itself ends.
  Set(7, 7, 1, kLoop);
  EXPECT_EQ(Cell(7, 7, 1).Damage(50), 1);
  EXPECT_EQ(Cell(7, 7, 1).terrain, kLoop);
  EXPECT_FALSE(hooks.battle.changedCells.empty());
}

TEST_F(TerrainDamage, DamageTellsEffectsObjectsAndThePathNetwork) {
  FakeHooks hooks;
  PathNotices path;
  FillLevel(0, t::kGrass);
  // A wall on the floor leaves a remnant; a fire on it holds the remnant.
  Set(8, 8, 1, kWall);
  CMapCell& cell = Cell(8, 8, 1);
  cell.effect = 3;
  hooks.effects.kinds = {{3, 33}, {4, 14}};
  hooks.effects.next = {{3, 4}};
  EXPECT_EQ(cell.Damage(20), 1);
  EXPECT_EQ(hooks.effects.tileAffected, std::vector<int>{3});
  EXPECT_TRUE(hooks.effects.deactivated.empty());  // the fire holds the remnant
  ASSERT_EQ(hooks.battle.changedCells.size(), 1u);
  EXPECT_EQ(hooks.battle.changedCells[0], &cell);
  EXPECT_TRUE(path.notices.empty());  // a walker and a flyer stand there as before

  // Fire on a cell that ends empty is put out; the objects there start their effects.
  Set(10, 10, 1, kWeak);
  CMapCell& weak = Cell(10, 10, 1);
  weak.effect = 4;
  weak.object = 21;
  hooks.objects.next = {{21, 22}};
  EXPECT_EQ(weak.Damage(5), 1);
  EXPECT_EQ(hooks.effects.deactivated, std::vector<int>{4});
  EXPECT_EQ(hooks.objects.effectsCreated, (std::vector<int>{21, 22}));
  // A walker stood on the rubble; on the empty cell it does not.
  ASSERT_EQ(path.notices.size(), 1u);
  EXPECT_EQ(path.notices[0], (std::vector<int>{10, 10, 1, 0}));

  // A destroyed liquid wakes the objects of the cell above.
  std::vector<CTerrainType> types = DamageTypes();
  types[kWeak].kind = kKindLiquid;
  UseTypes(types);
  Set(11, 11, 1, kWeak);
  Cell(11, 11, 2).object = 30;
  hooks.objects.effectsCreated.clear();
  EXPECT_EQ(Cell(11, 11, 1).Damage(5), 1);
  EXPECT_EQ(hooks.objects.effectsCreated, std::vector<int>{30});
}

class Doors : public MapTest {
 protected:
  void TearDown() override {
    FreeDoorsConfig();
    MapTest::TearDown();
  }
  void WriteDoors(const testing_support::TempDir& dir, const std::string& text) { dir.Write("doors.cfg", text); }
};

TEST_F(Doors, DoorsFileIsReadWithItsClampsAndDefaults) {
  testing_support::TempDir dir(true);
  WriteDoors(dir,
             "[HEADER]\nNumberOfDoors=3\n"
             "[DOOR_0]\nHeight=15\nOpenAnim=12000\nSoundNum=-4\nObjectNum=NONE ;nothing here\n"
             "[DOOR_1]\nHeight=2\nObjectNum=12;a chest\n"
             "[DOOR_2]\nObjectNum=  40000 \n");
  EXPECT_EQ(LoadDoorsConfig("doors.cfg"), 1);
  ASSERT_EQ(g_doors.size(), 3u);
  EXPECT_EQ(g_doors[0].Height, 10);
  EXPECT_EQ(g_doors[0].OpenAnim, 9999);
  EXPECT_EQ(g_doors[0].SoundNum, 0);
  EXPECT_EQ(g_doors[0].ObjectNum, -1);
  EXPECT_EQ(g_doors[1].Height, 2);
  EXPECT_EQ(g_doors[1].OpenAnim, 0);  // missing: 0
  EXPECT_EQ(g_doors[1].ObjectNum, 12);
  EXPECT_EQ(g_doors[2].ObjectNum, 9999);
  EXPECT_EQ(FindDoor(3), nullptr);
  EXPECT_EQ(FindDoor(255), nullptr);

  struct Case {
    const char* count;
    size_t doors;
  };
  for (const Case& c : {Case{"700", 500}, Case{"-3", 0}, Case{"0", 0}}) {
    WriteDoors(dir, std::string("[HEADER]\nNumberOfDoors=") + c.count + "\n");
    platform::FlushProfileCache();
    LoadDoorsConfig("doors.cfg");
    EXPECT_EQ(g_doors.size(), c.doors) << c.count;
    if (!g_doors.empty()) EXPECT_EQ(g_doors[499].ObjectNum, -1);  // a missing section: no object
  }
  LoadDoorsConfig("missing.cfg");
  EXPECT_TRUE(g_doors.empty());
}

TEST_F(Doors, ForgedDoorsMarkTheirCells) {
  testing_support::TempDir dir(true);
  WriteDoors(dir, forge::DoorsFileText(forge::ForgedDoors()));
  Set(3, 3, 1, t::kDoor);
  Set(4, 4, 1, t::kIronDoor);
  LoadDoorsConfig("doors.cfg");
  ASSERT_EQ(g_doors.size(), 2u);
  EXPECT_EQ(g_doors[0].Height, 3);
  EXPECT_EQ(g_doors[1].ObjectNum, 7);
  EXPECT_EQ(Cell(3, 3, 1).state & state_bits::kDoorBits, state_bits::kOpenDoorway);
  EXPECT_EQ(Cell(4, 4, 1).state & state_bits::kDoorBits, state_bits::kClosedDoor);
  EXPECT_EQ(Cell(5, 5, 1).state & state_bits::kDoorBits, 0);
}

TEST_F(Doors, OpeningADoorOfHeightThreeEmptiesItsColumnAndTheNextOne) {
  testing_support::TempDir dir(true);
  WriteDoors(dir, forge::DoorsFileText(forge::ForgedDoors()));
  // Two door columns side by side, four cells high from the ground.
  for (int z = 0; z <= 3; ++z) {
    Set(10, 10, z, t::kDoor);
    Set(11, 10, z, t::kDoor);
  }
  Set(13, 10, 0, t::kDoor);  // not touching: stays
  LoadDoorsConfig("doors.cfg");
  PathNotices path;
  int result = 0;
  g_map.OpenDoor(10, 10, 2, 0, &result);
  EXPECT_EQ(result, 813);
  for (int x : {10, 11}) {
    for (int z = 0; z <= 2; ++z) {
      EXPECT_EQ(Cell(x, 10, z).terrain, 0) << x << "," << z;
      EXPECT_EQ(Cell(x, 10, z).state & state_bits::kDoorBits, 0);
    }
    EXPECT_EQ(Cell(x, 10, 3).terrain, t::kDoor);  // above the door's height
  }
  EXPECT_EQ(Cell(13, 10, 0).terrain, t::kDoor);
  EXPECT_EQ(path.notices.size(), 6u);
  for (const auto& notice : path.notices) EXPECT_EQ(notice[3], 1);
  // A structure collapses with its door's sound.
  int sound = 0;
  EXPECT_EQ(g_map.DestroyStructure(13, 10, 0, 2, &sound), 1);
  EXPECT_EQ(sound, 1011);
  EXPECT_EQ(Cell(13, 10, 0).terrain, 0);
  EXPECT_EQ(g_map.DestroyStructure(13, 10, 0, 2, &sound), 0);
  EXPECT_EQ(sound, -1);
  // Not a door cell: nothing.
  result = 0;
  g_map.OpenDoor(20, 20, 1, 0, &result);
  EXPECT_EQ(result, 813);
  EXPECT_EQ(Cell(20, 20, 1).terrain, 0);
}

TEST_F(Doors, OpeningAtTheTopAndWithNoHeightEnds) {
  testing_support::TempDir dir(true);
  WriteDoors(dir, "[HEADER]\nNumberOfDoors=1\n[DOOR_0]\nHeight=0\n");
  Set(5, 5, 7, t::kDoor);
  Set(6, 5, 7, t::kDoor);
  LoadDoorsConfig("doors.cfg");
  g_map.OpenDoor(5, 5, 7, 0, nullptr);  // a door that opens nothing
  EXPECT_EQ(Cell(5, 5, 7).terrain, t::kDoor);
  WriteDoors(dir, "[HEADER]\nNumberOfDoors=1\n[DOOR_0]\nHeight=10\n");
  platform::FlushProfileCache();
  LoadDoorsConfig("doors.cfg");
  g_map.OpenDoor(5, 5, 7, 0, nullptr);  // level 7 of 8: the column stops at the top
  EXPECT_EQ(Cell(5, 5, 7).terrain, 0);
  EXPECT_EQ(Cell(6, 5, 7).terrain, 0);
}

TEST_F(Doors, BreakingADoorSpreadsToTouchingDoorCellsAcrossTheSeam) {
  testing_support::TempDir dir(true);
  WriteDoors(dir, forge::DoorsFileText(forge::ForgedDoors()));
  Set(47, 10, 1, t::kDoor);
  Set(0, 10, 1, t::kDoor);   // east of (47, 10) across the seam
  Set(0, 12, 1, t::kDoor);   // two rows down: not touching (the next row's first cell + W)
  Set(47, 10, 2, t::kDoor);  // above
  LoadDoorsConfig("doors.cfg");
  EXPECT_EQ(Cell(47, 10, 1).BreakDoor(29), 0);  // below the threshold of 30
  EXPECT_EQ(Cell(47, 10, 1).BreakDoor(30), 1);
  EXPECT_EQ(Cell(47, 10, 1).terrain, 0);
  EXPECT_EQ(Cell(0, 10, 1).terrain, 0);
  EXPECT_EQ(Cell(47, 10, 2).terrain, 0);
  EXPECT_EQ(Cell(0, 12, 1).terrain, t::kDoor);
  EXPECT_EQ(Cell(0, 10, 1).state & state_bits::kDoorBits, 0);
  // Damage to a door type breaks the door.
  EXPECT_EQ(Cell(0, 12, 1).Damage(30), 1);
  EXPECT_EQ(Cell(0, 12, 1).terrain, 0);
}
