#pragma once
// CCircleSpanTable: the cells of a filled disc of one radius as a span [min, max] per row,
// built once per radius of the option EffectRadius. Area spells map a random number to one
// cell of the disc with NthCell.

#include <cstdint>
#include <vector>

class CCircleSpanTable {
 public:
  // One row's span; an untouched row is empty (min above max).
  struct Span {
    int32_t min = 2147483647;
    int32_t max = -2147483647 - 1;
  };
  struct Cell {
    int x = 0, row = 0;
  };

  // n empty rows; total and firstRow 0.
  void Init(int n);
  void Free();
  // Widens the row's span to x; total follows the row's width (wrapping arithmetic).
  void AddPoint(int x, int row);
  // The disc of radius r: rows -r - 1 .. r.
  void Build(int r);
  // The cell for a number 0 .. total; the last row takes any number beyond it.
  Cell NthCell(int n) const;

  std::vector<Span> rows;
  int32_t total = 0;     // the range of numbers that pick a cell
  int32_t firstRow = 0;  // the row number of entry 0
  int32_t radius = 0;
};

// One table per radius of EffectRadius, in the option's order.
extern std::vector<CCircleSpanTable> g_spellRadiusTable;
// Rebuilds g_spellRadiusTable for the radii.
void BuildSpellRadiusTables(const std::vector<int>& radii);
