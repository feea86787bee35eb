#pragma once
// The grave cells of the battle map: up to 100 columns whose lowest built block is of a
// terrain type flagged as a grave (type flag 4), noted once when the battle is loaded. The
// raise decision asks whether one lies within reach of its caster; each answer looks at the
// cell again, so a grave that has since been dug away or built over no longer counts.

#include <cstdint>

struct CAIFlaggedCell {
  int32_t inUse = 0;
  int32_t x = 0, y = 0, level = 0;
  int32_t spare = 0;
};

inline constexpr int kAIFlaggedCellsMax = 100;
inline constexpr uint8_t kAIFlaggedTerrainBit = 0x04;

extern CAIFlaggedCell g_aiFlaggedCells[kAIFlaggedCellsMax];

// Fills the table from the current map, row by row (y outer, x inner), the lowest flagged
// block of each column; the first 100 columns found are kept.
void BuildFlaggedCellTable();
// Whether a noted cell still holding a flagged block lies within 2h (the map's approximate
// wrapped distance) of the cell.
bool FindFlaggedCellInReach(int h, int x, int y, int level);
