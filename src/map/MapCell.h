#pragma once
// CMapCell: one 12-byte cell of the battle map, six 16-bit words. The same words are the
// cell in memory, in a section map file and in the map's saved-game block.

#include <cstdint>

// A 16-bit link between a cell and an effect, creature or world object that names none.
inline constexpr uint16_t kNoLink = 0xFFFF;

// Bits of the shape word (word 4).
namespace shape_bits {
inline constexpr uint16_t kClassMask = 0x0003;  // class of the terrain, compared with the cell above
inline constexpr uint16_t kCornerSouthEast = 0x0008;
inline constexpr uint16_t kCornerSouthWest = 0x0010;
inline constexpr uint16_t kCornerNorthWest = 0x0020;
inline constexpr uint16_t kCornerNorthEast = 0x0040;
inline constexpr uint16_t kCorners = 0x0078;
inline constexpr uint16_t kOpenSky = 0x0080;  // empty and covered by the tile overlay
inline constexpr uint16_t kConnectUp = 0x0100;
inline constexpr uint16_t kConnectDown = 0x0200;
inline constexpr uint16_t kConnectNorth = 0x0400;
inline constexpr uint16_t kConnectEast = 0x0800;
inline constexpr uint16_t kConnectSouth = 0x1000;
inline constexpr uint16_t kConnectWest = 0x2000;
inline constexpr uint16_t kSideConnections = 0x3C00;
inline constexpr uint16_t kKeepLeftoverDamage = 0x4000;  // leftover damage is not passed to the new terrain
// The same bit marks a cell of a script's trigger area: a living creature on it offers the
// script its occasion.
inline constexpr uint16_t kScriptTrigger = 0x4000;
}  // namespace shape_bits

// Bits of the state word (word 5).
namespace state_bits {
inline constexpr uint16_t kLiquid = 0x0001;  // liquid terrain; also the cell a creature stands on
inline constexpr uint16_t kBody = 0x0002;    // other cells a creature's body fills
inline constexpr uint16_t kOccupancy = 0x0003;
inline constexpr uint16_t kAnimated = 0x0008;
inline constexpr uint16_t kField10 = 0x0010;  // the 2-bit field of the map data ...
inline constexpr uint16_t kField20 = 0x0020;  // ... 0x20 without 0x10 is deep water
inline constexpr uint16_t kFieldMask = 0x0030;
inline constexpr uint16_t kOpenDoorway = 0x0080;  // door cell with no object in the doorway
inline constexpr uint16_t kClosedDoor = 0x0100;   // door cell with an object in the doorway
inline constexpr uint16_t kDoorBits = 0x0180;
inline constexpr uint16_t kClassDiffers0 = 0x0200;  // shifted left by the class 0..3
inline constexpr uint16_t kClassDiffersMask = 0x1E00;
inline constexpr uint16_t kCreatureMark = 0x2000;  // never open sky
inline constexpr uint16_t kSealed = 0x4000;        // enclosed under a roof; no creature may stand in it
inline constexpr uint16_t ClassDiffers(int cls) { return static_cast<uint16_t>(kClassDiffers0 << (cls & 3)); }
}  // namespace state_bits

struct CMapCell {
  uint16_t terrain = 0;         // terrain type, 0 empty
  uint16_t effect = kNoLink;    // first effect of the cell's chain
  uint16_t occupant = kNoLink;  // creature filling the cell
  uint16_t object = kNoLink;    // first world object standing on the cell
  uint16_t shape = 0;           // shape_bits
  uint16_t state = 0;           // state_bits

  bool IsDeepWater() const { return (state & state_bits::kFieldMask) == state_bits::kField20; }
  bool IsOpenDoorway() const { return (state & state_bits::kOpenDoorway) != 0; }
  bool IsClosedDoor() const { return (state & state_bits::kClosedDoor) != 0; }
  bool IsSealed() const { return (state & state_bits::kSealed) != 0; }
  bool IsAnimated() const { return (state & state_bits::kAnimated) != 0; }
  // Terrain 0, no effect, occupant or object, and no creature mark.
  bool IsWhollyEmpty() const {
    return terrain == 0 && effect == kNoLink && occupant == kNoLink && object == kNoLink &&
           !(state & state_bits::kCreatureMark);
  }

  // Changes the terrain type; refused (no change, 0) for a type beyond the table, or for a
  // cell holding a creature unless both types have the same kind and may be stood on.
  int SetTerrain(int type);
  // Steps a terrain animation: no occupant rule; the shapes are updated only for type 0.
  int SetTerrainFrame(int type);
  // Empties the cell and tells the path network what that changed.
  void Clear();
  // The world objects of the cell (of the cell above for a liquid below the top level)
  // start their effects.
  void CreateObjectEffects(int terrainType, int level);
  // The smallest terrain kind of the 2 x 2 footprint from this cell (kinds above 16 as 16),
  // 0 when one of the four cells is empty. The footprint wraps like the map.
  int GetFootprintKind() const;
  int GetMoveCost() const { return 4; }
  // Terrain damage: 1 when the cell changed.
  int Damage(int amount);
  // Breaks the door this cell belongs to, and the door cells around it: 1 when it broke.
  int BreakDoor(int amount);
};
static_assert(sizeof(CMapCell) == 12, "a map cell is six 16-bit words");
