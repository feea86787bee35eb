#pragma once
// The terrain sprite of the forged map folder (terrain.spr): textured isometric blocks, one
// cell 64 pixels wide and 32 high, a level 16 pixels high, lit from the upper left. Each
// frame's hot spot is the centre of the cell's floor.

#include <array>
#include <cstdint>
#include <vector>

namespace forge {

// Frame numbers of terrain.spr. Frame 0 is empty, so that "no frame" draws nothing.
namespace terrain_frames {
inline constexpr int kNone = 0;
inline constexpr int kGrass = 1;  // a low slab; its outline is also the water surface
inline constexpr int kEarth = 2;
inline constexpr int kRock = 3;
inline constexpr int kStone = 4;
inline constexpr int kRubble = 5;
inline constexpr int kFord = 6;  // stepping stones
inline constexpr int kBridge = 7;
inline constexpr int kDoor = 8;
inline constexpr int kRoof = 9;
inline constexpr int kWallEdge = 10;  // 10..13: a thin wall on the diamond's upper-right, lower-right,
                                      // lower-left and upper-left edge
inline constexpr int kSand = 14;
inline constexpr int kCliff = 15;
inline constexpr int kIronDoor = 16;
inline constexpr int kRegionGround = 17;
inline constexpr int kRegionCentre = 18;  // 18..23: the region centre's glow, six phases
inline constexpr int kTotem = 24;         // 24..33: the five totems' carved pillars, each a body and a head
// 34..49: chests, each part drawn with its back on the upper-right, lower-right, lower-left
// and upper-left edge: the body, the shut lid, the lid ajar and the open lid.
inline constexpr int kChestBody = 34;
inline constexpr int kChestLid = 38;
inline constexpr int kChestLidAjar = 42;
inline constexpr int kChestLidOpen = 46;
inline constexpr int kBank = 50;  // the wet sand lining a basin under the water
inline constexpr int kCount = 51;
}  // namespace terrain_frames

// The block frame of a forged terrain type in a view rotation (0 none).
int TerrainBlockFrame(int type, int rotation);

// The whole sprite file.
std::vector<uint8_t> TerrainSpriteBytes();

}  // namespace forge
