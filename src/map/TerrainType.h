#pragma once
// CTerrainType: the 356-byte record of one terrain type, and the table of them that every
// map cell refers to by number. The creature subsystem loads the terrain type data file
// (terrain.ttd) and hands its body to g_terrainTypes; the map, the creatures, the effects
// and the map view read the records from there.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/Bytes.h"

// Byte offsets of the fields in a record. The record order of the fields the map reads is
// fixed (mask, height, base and rotation variants, kind, threshold, after destruction, side
// flags, door index, type flags), and the ground height sits at 148; the rest is ours.
namespace terrain_layout {
inline constexpr size_t kRecordSize = 356;
inline constexpr size_t kSolidMask = 0;  // 8 bytes per quarter level, 4 levels of 4 quarters
inline constexpr size_t kSolidMaskBytes = 128;
inline constexpr size_t kHeight = 128;
inline constexpr size_t kBaseIndex = 132;
inline constexpr size_t kRotated270 = 136;
inline constexpr size_t kRotated180 = 140;
inline constexpr size_t kRotated90 = 144;
inline constexpr size_t kGroundHeight = 148;
inline constexpr size_t kKind = 152;
inline constexpr size_t kDamageThreshold = 156;
inline constexpr size_t kAfterDestruction = 160;
inline constexpr size_t kSideFlags = 164;  // one byte, then 3 zero bytes
inline constexpr size_t kDoorIndex = 168;
inline constexpr size_t kTypeFlags = 172;        // one byte, then 3 zero bytes
inline constexpr size_t kBlockFrame = 176;       // 4 int32, one per view rotation
inline constexpr size_t kFirstSideFrame = 192;   // 4 int32
inline constexpr size_t kSecondSideFrame = 208;  // 4 int32
inline constexpr size_t kTargetOffset = 224;     // x, y, z in map units
inline constexpr size_t kIgnition = 236;         // chance (1-99) that fire spreads into the type
inline constexpr size_t kBurnValue = 240;        // value a fire on this terrain starts with
inline constexpr size_t kSupportValue = 244;
inline constexpr size_t kStepOnType = 248;  // type a cell takes while a creature stands on it, -1 none
inline constexpr size_t kScannerClass = 252;
inline constexpr size_t kUsedBytes = 256;  // the rest of the record is zero
}  // namespace terrain_layout

// Terrain kinds.
inline constexpr int kKindNoVolume = 0;
inline constexpr int kKindLowGroundMax = 7;  // kinds above need headroom of two levels
inline constexpr int kKindSolidMax = 15;
inline constexpr int kKindLiquid = 16;

// Side flags.
namespace side_flags {
inline constexpr uint8_t kNorth = 0x01;
inline constexpr uint8_t kEast = 0x02;
inline constexpr uint8_t kSouth = 0x04;
inline constexpr uint8_t kWest = 0x08;
inline constexpr uint8_t kRoof = 0x20;
}  // namespace side_flags

// Type flags.
namespace type_flags {
inline constexpr uint8_t kSettles = 0x04;
inline constexpr uint8_t kStandable = 0x08;  // may be stood on; may change under an occupant
inline constexpr uint8_t kChestLid = 0x10;
}  // namespace type_flags

inline constexpr int kNoDoor = 255;
inline constexpr int kIndestructible = 255;
inline constexpr int kRegionOfPowerCentreType = 285;

struct CTerrainType {
  uint8_t solidMask[terrain_layout::kSolidMaskBytes] = {};
  int32_t height = 1;  // levels the type spans (1 to 4)
  int32_t baseIndex = 0;
  int32_t rotated270 = 0;
  int32_t rotated180 = 0;
  int32_t rotated90 = 0;
  int32_t groundHeight = 0;  // map units above the cell floor that a creature stands at
  int32_t kind = kKindNoVolume;
  int32_t damageThreshold = kIndestructible;
  int32_t afterDestruction = 0;
  uint8_t sideFlags = 0;
  int32_t doorIndex = kNoDoor;
  uint8_t typeFlags = 0;
  int32_t blockFrame[4] = {};
  int32_t firstSideFrame[4] = {};
  int32_t secondSideFrame[4] = {};
  int32_t targetOffset[3] = {16, 16, 0};
  int32_t ignition = 0;
  int32_t burnValue = 0;
  int32_t supportValue = 0;
  int32_t stepOnType = -1;
  int32_t scannerClass = 0;

  bool IsLiquid() const { return kind == kKindLiquid; }
  bool IsStandable() const { return (typeFlags & type_flags::kStandable) != 0; }
  // 1 when the voxel (x 0-7, y 0-7, quarter level q) is solid. Outside the mask: 0.
  int TestVoxel(int x, int y, int q) const;
  // Set voxels over height x 4 quarter levels.
  int CountVoxels() const;
  // The largest number of set voxels in one quarter level.
  int MaxVoxelsPerLevel() const;
  // The type to use after a section is turned by this many quarter turns clockwise (0-3).
  int RotatedType(int turns) const;

  // Reads one record; false on a short block.
  bool Read(bytes::Reader& in);
};

class CTerrainTypeTable {
 public:
  // Splits a body of whole records into the table; false (and the table emptied) when the
  // body is not a whole number of records.
  bool Assign(const uint8_t* body, size_t size);
  void Assign(std::vector<CTerrainType> types) { types_ = std::move(types); }
  void Clear() { types_.clear(); }

  int Count() const { return static_cast<int>(types_.size()); }
  bool IsValid(int type) const { return type >= 0 && type < Count(); }
  // The record of a type; a number outside the table reads as an empty type, so that cell
  // data naming a type the table lacks cannot read past it.
  const CTerrainType& Get(int type) const { return IsValid(type) ? types_[static_cast<size_t>(type)] : Empty(); }
  static const CTerrainType& Empty();

 private:
  std::vector<CTerrainType> types_;
};

extern CTerrainTypeTable g_terrainTypes;

inline const CTerrainType& TerrainOf(int type) { return g_terrainTypes.Get(type); }
