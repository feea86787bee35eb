#pragma once
// CCreatureShape: the part of a creature's 2 x 2-tile box that its body fills, in cells of
// 4 x 4 map units, and its height in levels. Lines of fire and projectiles test points
// against it.

#include <cstdint>

struct CCreatureShape {
  uint16_t rows[16] = {};  // bit 0x8000 >> c of row r covers units (4c, 4r) from the corner
  int32_t height = 1;

  // A large creature fills a 12 x 12 square in the middle of its 2 x 2 tiles; others a
  // rounded 8 x 8 shape in the first tile.
  void Init(int levels, bool large) {
    static constexpr uint16_t kSmall[8] = {0x1800, 0x3C00, 0x7E00, 0xFF00, 0xFF00, 0x7E00, 0x3C00, 0x1800};
    height = levels;
    for (int r = 0; r < 16; ++r) {
      if (large)
        rows[r] = r >= 2 && r <= 13 ? 0x3FFC : 0;
      else
        rows[r] = r < 8 ? kSmall[r] : 0;
    }
  }
  // Offsets in units from the creature's footprint corner and floor.
  bool Contains(int dx, int dy, int dz) const {
    if (dx < 0 || dx >= 64 || dy < 0 || dy >= 64 || dz < 0 || dz >= 16 * height) return false;
    return (rows[dy / 4] & (0x8000 >> (dx / 4))) != 0;
  }
};
