#pragma once
// CTileSpanTable: the tile overlay, a per-column layer of the battle map. An active column
// holds a span of levels (a cloud spread over the ground) with a strength that decays every
// other frame and an animation frame that cycles. Sight treats cells in a span as obscured;
// the map cells at the span's two ends lose their open-sky bit so that they are drawn.

#include <cstdint>
#include <cstdio>
#include <vector>

struct CMapCell;

struct CTileSpanCell {
  uint16_t strength = 0;  // 0 inactive
  uint8_t high = 0;       // levels covered, inclusive
  uint8_t low = 0;
  uint8_t frame = 0;  // 0 .. frame count - 1
  int8_t timer = 0;
};

class CTileSpanTable {
 public:
  std::vector<CTileSpanCell> cells;  // one per map column, x + y * width
  int32_t count = 0;
  int32_t phase = 0;          // which half the next Tick processes
  int32_t active = 0;         // set by whoever marks a column
  int32_t activeCounter = 0;  // active cells met by the current pair of ticks
  int32_t frameCount = 15;
  int32_t frameDelay = 1;

  // Releases the cells; count, phase and the active flag become 0.
  void Free();
  // Free, then zeroed cells for the current map (none when its size is not positive).
  void Reset();
  // Spreads the column (x, y) to the level with at least the strength; the caller sets the
  // active flag. Positions outside the map are ignored.
  void MarkColumn(int x, int y, int level, int strength);
  // Once per battle frame: ages one half of the columns.
  void Tick();
  bool IsLevelInSpan(int x, int y, int level) const;
  bool IsLevelAtSpanEdge(int x, int y, int level) const;
  // 0 when the cell lies at an end of its column's active span, else 1 (also with no cells).
  int TestCell(const CMapCell* cell) const;
  int TestPosition(int x, int y, int level) const;
  // The column's current frame index in the overlay animation (-1 outside the table).
  int GetFrameIndex(int x, int y) const;
  // Saved-game block; bytes written or read, -1 on a failed write or read, or when the
  // stored count is not the current map's.
  int Save(FILE* file) const;
  int Load(FILE* file);

 private:
  const CTileSpanCell* CellAt(int x, int y) const;
  void ProcessCell(CTileSpanCell& cell);
};

extern CTileSpanTable g_tileSpans;
