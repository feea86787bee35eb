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
  types[kEarth] = Block(12, 60, kRubble);
  types[kEarth].scannerClass = 4;
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
  types[kStoneTop] = Block(15, 80, kRubble, true);
  types[kStoneTop].scannerClass = 6;
  for (int n = kRegionPatternFirst; n <= kRegionPatternLast; ++n) types[static_cast<size_t>(n)] = Floor(2, 4, 0);
  for (int n = kRegionFrameFirst; n <= kRegionCentre; ++n) types[static_cast<size_t>(n)] = Floor(2, 4, 0);
  // Grown walls: stone blocks; their tops may be stood on.
  for (int n = kWallMiddleFirst; n < kWallMiddleFirst + 12; ++n) types[static_cast<size_t>(n)] = Block(15, 80, kRubble);
  for (int n : {kWallBaseLow, kWallBaseLow + 1, kWallBaseTall}) types[static_cast<size_t>(n)] = Block(15, 80, kRubble);
  for (int n = kWallTopFirst; n < kWallTopFirst + 5; ++n) types[static_cast<size_t>(n)] = Block(15, 80, kRubble, true);
  for (int n = kWallMiddleFirst; n <= kWallBaseTall; ++n) types[static_cast<size_t>(n)].scannerClass = 6;
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
