#pragma once
// The forged terrain types: what each type number is, and the terrain type data file
// (terrain.ttd: a 16-byte header, then one 356-byte record per type number).

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace forge {

// One terrain type as the forge describes it; written field by field into its record.
struct TerrainDef {
  std::array<uint8_t, 128> solidMask{};  // 8 bytes per quarter level
  int32_t height = 1;
  int32_t baseIndex = 0;
  int32_t rotated270 = 0, rotated180 = 0, rotated90 = 0;
  int32_t groundHeight = 0;
  int32_t kind = 0;
  int32_t damageThreshold = 255;
  int32_t afterDestruction = 0;
  uint8_t sideFlags = 0;
  int32_t doorIndex = 255;
  uint8_t typeFlags = 0;
  std::array<int32_t, 4> blockFrame{}, firstSideFrame{}, secondSideFrame{};
  std::array<int32_t, 3> targetOffset{16, 16, 0};
  int32_t ignition = 0, burnValue = 0, supportValue = 0, stepOnType = -1, scannerClass = 0;

  // Fills quarter levels first..last (inclusive) of the mask solid.
  TerrainDef& SolidQuarters(int first, int last);
  // Fills the voxels of quarter levels first..last (inclusive) for which inside(x, y) holds
  // (x and y the sub-voxel column, 0-7).
  template <class Inside>
  TerrainDef& SolidWhere(int first, int last, Inside inside) {
    for (int q = first; q <= last; ++q)
      for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
          if (inside(x, y)) solidMask[static_cast<std::size_t>(y + 8 * q)] |= static_cast<uint8_t>(0x80 >> x);
    return *this;
  }
  // Makes one side of every quarter level solid (a thin wall): row 0 north, column 7 east,
  // row 7 south, column 0 west.
  TerrainDef& WallSide(uint8_t side);
};

// Numbers of the forged terrain types the section generator uses. Creatures stand in cells of
// standable terrain: floors (a low slab) and the tops of raised ground and walls (a full
// block, stood on from above). The blocks under a surface are fill, which nothing stands in,
// so that only surfaces count as ground.
namespace terrain {
inline constexpr int kEmpty = 0;
inline constexpr int kGrass = 1;       // low floor
inline constexpr int kEarth = 2;       // full block of fill
inline constexpr int kRock = 3;        // indestructible fill: the bottom of the map
inline constexpr int kStone = 4;       // wall block (fill)
inline constexpr int kRubble = 5;      // what walls leave
inline constexpr int kWater = 6;       // liquid surface
inline constexpr int kFord = 7;        // liquid that may be walked on
inline constexpr int kBridge = 8;      // wooden deck over water
inline constexpr int kDoor = 9;        // wooden door block, door 0
inline constexpr int kRoof = 10;       // roof slab
inline constexpr int kWallNorth = 11;  // thin walls, one per side; they turn into each other
inline constexpr int kWallEast = 12;
inline constexpr int kWallSouth = 13;
inline constexpr int kWallWest = 14;
inline constexpr int kSand = 15;              // low floor by the water
inline constexpr int kCliff = 16;             // indestructible high rock
inline constexpr int kIronDoor = 17;          // door 1, a door with an object in its doorway
inline constexpr int kTurf = 18;              // full block: the top of raised ground
inline constexpr int kStoneTop = 19;          // full block: the top of a wall
inline constexpr int kGrave = 20;             // a grave's mound, where the dead may be raised
inline constexpr int kBankFill = 21;          // earth fill lining a basin below the water: wet sand
inline constexpr int kWallMiddleFirst = 117;  // 117..128: the middle blocks of a grown wall
inline constexpr int kWallBaseLow = 129;      // 129, 130: a wall's foot on low ground
inline constexpr int kWallTopFirst = 131;     // 131..135: a wall's standable top
inline constexpr int kWallBaseTall = 137;     // a wall's foot in tall ground
// Chests, four of each part, one per side the chest stands on from the cell where its world
// object lies, in the order the chest rule looks: north, west, south, east. The body stands
// on the object's level, the lid one level above it; opening turns a shut lid (201-204) into
// an open one (217-220) through an ajar one.
inline constexpr int kChestLidFirst = 201;
inline constexpr int kChestBodyFirst = 205;
inline constexpr int kChestLidAjarFirst = 209;
inline constexpr int kChestLidOpenFirst = 217;
inline constexpr int kRegionPatternFirst = 237;  // 237..260: ground around regions of power
inline constexpr int kRegionPatternLast = 260;
inline constexpr int kRegionFrameFirst = 280;  // frames of the region centre's animation
inline constexpr int kRegionCentre = 285;
inline constexpr int kTotemFirst = 333;  // 333..366: totem tiles, one run of levels per totem spell
inline constexpr int kTotemLast = 366;
inline constexpr int kCount = 367;
}  // namespace terrain

// Every forged type, indexed by its number.
std::vector<TerrainDef> ForgedTerrainTypes();

// The 356-byte record of a type.
std::vector<uint8_t> TerrainRecordBytes(const TerrainDef& type);

// A whole terrain type data file: header (0, total size, version 4, type count), records.
std::vector<uint8_t> TerrainFileBytes(const std::vector<TerrainDef>& types, int32_t version = 4);

}  // namespace forge
