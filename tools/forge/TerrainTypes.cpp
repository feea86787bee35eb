// The forged terrain types and the terrain type data file of the section folder.
#include "forge/TerrainTypes.h"

#include "core/Bytes.h"
#include "forge/Forge.h"
#include "forge/MapData.h"
#include "forge/TerrainArt.h"

namespace forge {

TerrainDef& TerrainDef::SolidQuarters(int first, int last) {
  for (int q = first; q <= last; ++q)
    for (int y = 0; y < 8; ++y) solidMask[static_cast<size_t>(y + 8 * q)] = 0xFF;
  return *this;
}

TerrainDef& TerrainDef::WallSide(uint8_t side) {
  for (int q = 0; q < 4 * height; ++q) {
    for (int y = 0; y < 8; ++y) {
      uint8_t& row = solidMask[static_cast<size_t>(y + 8 * q)];
      if (side == 0x01 && y == 0) row = 0xFF;
      if (side == 0x04 && y == 7) row = 0xFF;
      if (side == 0x02) row |= 0x01;  // column 7
      if (side == 0x08) row |= 0x80;  // column 0
    }
  }
  return *this;
}

namespace {

constexpr uint8_t kStandable = 0x08;
constexpr uint8_t kChestPart = 0x10;
// The dead lie here: a raising may call them up, and the computer player looks for such cells.
constexpr uint8_t kGraveFlag = 0x04;
// Fire burns on the type but leaves it whole (and two such types never burn one on the other).
constexpr uint8_t kOutlastsFire = 0x20;

TerrainDef Floor(int kind, int groundHeight, int lastQuarter) {
  TerrainDef type;
  type.kind = kind;
  type.groundHeight = groundHeight;
  type.typeFlags = kStandable;
  type.SolidQuarters(0, lastQuarter);
  return type;
}

// A full block; a top can be stood on, fill cannot.
TerrainDef Block(int kind, int threshold, int after, bool top = false) {
  TerrainDef type = Floor(kind, 16, 3);
  type.typeFlags = top ? kStandable : 0;
  type.damageThreshold = threshold;
  type.afterDestruction = after;
  return type;
}

TerrainDef ThinWall(uint8_t side) {
  TerrainDef type;
  type.kind = 10;
  type.sideFlags = side;
  type.damageThreshold = 50;
  type.afterDestruction = terrain::kRubble;
  type.WallSide(side);
  return type;
}

TerrainDef Liquid(bool walkable) {
  TerrainDef type;
  type.kind = 16;
  type.groundHeight = 12;
  type.typeFlags = walkable ? kStandable : 0;
  type.scannerClass = 1;
  return type;
}

// The compass side (0 north, 1 east, 2 south, 3 west) of the chest side s (north, west,
// south, east, as the chest rule looks round its object's cell).
int ChestCompass(int s) { return (4 - s) & 3; }

// A chest's part: it carries the chest flag and is wood that neither burns nor breaks (a
// broken body would leave its lid in the air); nothing stands on it.
TerrainDef ChestPart(int groundHeight) {
  TerrainDef type;
  type.kind = 3;
  type.groundHeight = groundHeight;
  type.typeFlags = kChestPart;
  type.damageThreshold = 255;
  type.scannerClass = 3;
  return type;
}

// The four chest types from `first`, one per side, turning into each other as the walls do;
// shape(compass, x, y, quarter) says which voxels are solid for a chest whose back (the
// side away from its object's cell) is on that compass side.
template <class Shape>
void ChestTypes(std::vector<TerrainDef>& types, int first, int groundHeight, Shape shape) {
  for (int s = 0; s < 4; ++s) {
    TerrainDef& type = types[static_cast<size_t>(first + s)];
    type = ChestPart(groundHeight);
    const int back = ChestCompass(s);
    for (int q = 0; q < 4; ++q) type.SolidWhere(q, q, [&](int x, int y) { return shape(back, x, y, q); });
    // A quarter turn moves the compass side on by one: chest side s becomes side s - 1.
    type.rotated90 = first + ((s + 3) & 3);
    type.rotated180 = first + ((s + 2) & 3);
    type.rotated270 = first + ((s + 1) & 3);
  }
}

// How far a sub-voxel column lies toward the chest's back (0 at the back edge .. 7 at the
// front) and whether it is inside the chest's width.
int FromBack(int back, int x, int y) { return back == 0 ? y : back == 1 ? 7 - x : back == 2 ? 7 - y : x; }
bool InsideChest(int x, int y) { return x >= 1 && x <= 6 && y >= 1 && y <= 6; }

void Chests(std::vector<TerrainDef>& types) {
  using namespace terrain;
  // The body: a floor round a box of a full level.
  ChestTypes(types, kChestBodyFirst, 16, [](int, int x, int y, int q) { return q == 0 || InsideChest(x, y); });
  // A shut lid: a slab over the box.
  ChestTypes(types, kChestLidFirst, 5, [](int, int x, int y, int q) { return q <= 1 && InsideChest(x, y); });
  // Ajar: leaning back over its hinge.
  ChestTypes(types, kChestLidAjarFirst, 12, [](int back, int x, int y, int q) {
    return InsideChest(x, y) && FromBack(back, x, y) <= 2 + (q < 2 ? 1 : 0) && FromBack(back, x, y) >= 1;
  });
  // Open: standing up at the back.
  ChestTypes(types, kChestLidOpenFirst, 16,
             [](int back, int x, int y, int) { return InsideChest(x, y) && FromBack(back, x, y) == 1; });
}

// Grass burns: a fire takes on it now and then (ignition is a chance in 99 for each try of a
// neighbouring fire), carries itself (the support) and burns for a while, and the grass
// outlasts it, so the ground stays where it was. Dry enough to spread a little, not so dry
// that one fireball burns the moor: with the fireball's spread every 9 frames and its
// 2-in-99 chance a frame to die down, a fire burns a handful of cells.
void Grassy(TerrainDef& type) {
  type.ignition = 30;
  type.burnValue = 70;
  type.supportValue = 5;
  type.typeFlags |= kOutlastsFire;
}

// Each type turns into itself unless told otherwise; its pictures are the terrain sprite's
// frames of its material, per view rotation.
void FinishType(TerrainDef& type, int number) {
  type.baseIndex = number;
  if (type.rotated90 == 0 && type.rotated180 == 0 && type.rotated270 == 0)
    type.rotated90 = type.rotated180 = type.rotated270 = number;
  for (int r = 0; r < 4; ++r) type.blockFrame[static_cast<size_t>(r)] = TerrainBlockFrame(number, r);
}

}  // namespace

std::vector<TerrainDef> ForgedTerrainTypes() {
  using namespace terrain;
  std::vector<TerrainDef> types(kCount);
  types[kGrass] = Floor(2, 4, 0);
  types[kGrass].scannerClass = 8;
  Grassy(types[kGrass]);
  types[kEarth] = Block(12, 60, kRubble);
  types[kEarth].scannerClass = 4;
  // The fill that lines a lake or a river under the water is earth in all but its look.
  types[kBankFill] = types[kEarth];
  types[kRock] = Block(14, 255, 0);
  types[kRock].scannerClass = 2;
  types[kStone] = Block(15, 80, kRubble);
  types[kStone].scannerClass = 6;
  types[kRubble] = Floor(4, 8, 1);
  types[kRubble].damageThreshold = 20;
  types[kWater] = Liquid(false);
  types[kFord] = Liquid(true);
  types[kBridge] = Floor(3, 4, 0);
  types[kBridge].damageThreshold = 40;
  types[kBridge].ignition = 50;
  types[kBridge].burnValue = 200;
  types[kBridge].supportValue = 5;  // wood carries a fire
  types[kDoor] = Block(15, 30, 0);
  types[kDoor].doorIndex = 0;
  types[kDoor].ignition = 30;
  types[kDoor].burnValue = 120;
  types[kDoor].supportValue = 5;
  types[kDoor].scannerClass = 3;
  types[kIronDoor] = Block(15, 120, 0);
  types[kIronDoor].doorIndex = 1;
  types[kIronDoor].scannerClass = 3;
  types[kRoof] = Floor(3, 4, 0);
  types[kRoof].sideFlags = 0x20;
  types[kRoof].damageThreshold = 40;
  types[kRoof].afterDestruction = 0;
  types[kWallNorth] = ThinWall(0x01);
  types[kWallEast] = ThinWall(0x02);
  types[kWallSouth] = ThinWall(0x04);
  types[kWallWest] = ThinWall(0x08);
  const int walls[4] = {kWallNorth, kWallEast, kWallSouth, kWallWest};
  for (int i = 0; i < 4; ++i) {
    TerrainDef& wall = types[static_cast<size_t>(walls[i])];
    wall.scannerClass = 3;  // walls show grey on the scanner
    wall.rotated90 = walls[(i + 1) % 4];
    wall.rotated180 = walls[(i + 2) % 4];
    wall.rotated270 = walls[(i + 3) % 4];
  }
  types[kSand] = Floor(2, 4, 0);
  types[kSand].scannerClass = 6;
  types[kCliff] = Block(15, 255, 0);
  types[kCliff].scannerClass = 2;
  types[kTurf] = Block(12, 60, kRubble, true);
  types[kTurf].scannerClass = 8;
  Grassy(types[kTurf]);
  types[kStoneTop] = Block(15, 80, kRubble, true);
  types[kStoneTop].scannerClass = 6;
  types[kGrave] = Floor(4, 8, 1);
  types[kGrave].typeFlags |= kGraveFlag;
  types[kGrave].scannerClass = 4;
  for (int n = kRegionPatternFirst; n <= kRegionPatternLast; ++n) types[static_cast<size_t>(n)] = Floor(2, 4, 0);
  for (int n = kRegionFrameFirst; n <= kRegionCentre; ++n) types[static_cast<size_t>(n)] = Floor(2, 4, 0);
  // Grown walls: stone blocks; their tops may be stood on.
  for (int n = kWallMiddleFirst; n < kWallMiddleFirst + 12; ++n) types[static_cast<size_t>(n)] = Block(15, 80, kRubble);
  for (int n : {kWallBaseLow, kWallBaseLow + 1, kWallBaseTall}) types[static_cast<size_t>(n)] = Block(15, 80, kRubble);
  for (int n = kWallTopFirst; n < kWallTopFirst + 5; ++n) types[static_cast<size_t>(n)] = Block(15, 80, kRubble, true);
  for (int n = kWallMiddleFirst; n <= kWallBaseTall; ++n) types[static_cast<size_t>(n)].scannerClass = 6;
  Chests(types);
  // Totem tiles: a carved pillar that a hard blow brings down (the totem then collapses).
  // Nothing stands in or on one, but it holds no solid voxels: a totem sees and shoots
  // from its top over its own pillar.
  for (int n = kTotemFirst; n <= kTotemLast; ++n) {
    TerrainDef& tile = types[static_cast<size_t>(n)];
    tile = Block(15, 60, 0);
    tile.solidMask.fill(0);
    tile.scannerClass = 3;
  }
  for (int n = 0; n < kCount; ++n) FinishType(types[static_cast<size_t>(n)], n);
  return types;
}

std::vector<uint8_t> TerrainRecordBytes(const TerrainDef& type) {
  bytes::Writer out;
  out.Bytes(type.solidMask.data(), type.solidMask.size());
  for (int32_t v : {type.height, type.baseIndex, type.rotated270, type.rotated180, type.rotated90, type.groundHeight,
                    type.kind, type.damageThreshold, type.afterDestruction})
    out.I32(v);
  out.U8(type.sideFlags);
  out.Zeros(3);
  out.I32(type.doorIndex);
  out.U8(type.typeFlags);
  out.Zeros(3);
  for (const auto* frames : {&type.blockFrame, &type.firstSideFrame, &type.secondSideFrame})
    for (int32_t v : *frames) out.I32(v);
  for (int32_t v : type.targetOffset) out.I32(v);
  for (int32_t v : {type.ignition, type.burnValue, type.supportValue, type.stepOnType, type.scannerClass}) out.I32(v);
  out.Zeros(356 - out.Size());
  return out.Data();
}

std::vector<uint8_t> TerrainFileBytes(const std::vector<TerrainDef>& types, int32_t version) {
  bytes::Writer out;
  out.I32(0);
  out.I32(static_cast<int32_t>(16 + 356 * types.size()));
  out.I32(version);
  out.I32(static_cast<int32_t>(types.size()));
  for (const TerrainDef& type : types) {
    std::vector<uint8_t> record = TerrainRecordBytes(type);
    out.Bytes(record.data(), record.size());
  }
  return out.Data();
}

}  // namespace forge

namespace {

FORGE_STEP(MapTerrainTypes) {
  ctx.WriteFile(std::string(forge::kSectionFolder) + "\\terrain.ttd",
                forge::TerrainFileBytes(forge::ForgedTerrainTypes()));
}

}  // namespace
