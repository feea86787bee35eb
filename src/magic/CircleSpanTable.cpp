#include "magic/CircleSpanTable.h"

#include <cstdlib>

std::vector<CCircleSpanTable> g_spellRadiusTable;

namespace {

// max - min in 32-bit wrapping arithmetic (an untouched row gives 1).
int32_t Width(const CCircleSpanTable::Span& s) {
  return static_cast<int32_t>(static_cast<uint32_t>(s.max) - static_cast<uint32_t>(s.min));
}

bool IsEmpty(const CCircleSpanTable::Span& s) { return s.min > s.max; }

}  // namespace

void CCircleSpanTable::Init(int n) {
  rows.assign(static_cast<size_t>(n > 0 ? n : 0), Span{});
  total = 0;
  firstRow = 0;
}

void CCircleSpanTable::Free() {
  rows.clear();
  rows.shrink_to_fit();
  firstRow = 0;
}

void CCircleSpanTable::AddPoint(int x, int row) {
  const int i = row - firstRow;
  if (i < 0 || i >= static_cast<int>(rows.size())) return;
  Span& s = rows[static_cast<size_t>(i)];
  const int32_t before = Width(s);
  if (x < s.min) s.min = x;
  if (x > s.max) s.max = x;
  total = static_cast<int32_t>(static_cast<uint32_t>(total) + static_cast<uint32_t>(Width(s)) -
                               static_cast<uint32_t>(before));
}

void CCircleSpanTable::Build(int r) {
  if (r < 0) r = 0;
  radius = r;
  Init(2 * r + 2);
  firstRow = -r - 1;
  AddPoint(0, r);
  AddPoint(0, -r);
  AddPoint(r, 0);
  AddPoint(-r, 0);
  int y = r, i = 2 * r - 1, e = 0, x = 0;
  while (x < y) {
    ++x;
    e += 2 * x - 1;
    if (i < 2 * e) {
      --y;
      e -= i;
      i -= 2;
    }
    if (y < x) break;
    AddPoint(x, y);
    AddPoint(-x, y);
    AddPoint(x, -y);
    AddPoint(-x, -y);
    if (x >= y) break;
    AddPoint(y, x);
    AddPoint(-y, x);
    AddPoint(y, -x);
    AddPoint(-y, -x);
  }
}

CCircleSpanTable::Cell CCircleSpanTable::NthCell(int n) const {
  int last = -1;
  for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
    const Span& s = rows[static_cast<size_t>(i)];
    if (IsEmpty(s)) continue;
    last = i;
    if (n <= Width(s)) return Cell{s.min + n, i + firstRow};
    n -= Width(s);
  }
  // Past the last row (the spans hold one number fewer per row than their cells): its end.
  if (last < 0) return Cell{};
  const Span& s = rows[static_cast<size_t>(last)];
  return Cell{s.max, last + firstRow};
}

void BuildSpellRadiusTables(const std::vector<int>& radii) {
  g_spellRadiusTable.assign(radii.size(), CCircleSpanTable{});
  for (size_t i = 0; i < radii.size(); ++i) g_spellRadiusTable[i].Build(radii[i]);
}
