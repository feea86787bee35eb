// The circle span tables: the spans of a disc, the count of numbers that pick a cell, and
// the cell a number picks.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "core/Options.h"
#include "magic/CircleSpanTable.h"
#include "magic/MagicHooks.h"

namespace {

using Spans = std::vector<std::pair<int, int>>;

// The spans of the rows -r .. r.
Spans SpansOf(const CCircleSpanTable& table) {
  Spans out;
  for (size_t i = 1; i < table.rows.size(); ++i) out.emplace_back(table.rows[i].min, table.rows[i].max);
  return out;
}

TEST(CircleSpanTable, BuildsTheSpansAndTotalOfEachRadius) {
  struct Case {
    int r;
    Spans spans;
    int total;
  } cases[] = {
      {1, {{0, 0}, {-1, 1}, {0, 0}}, -1},
      {3, {{-1, 1}, {-2, 2}, {-3, 3}, {-3, 3}, {-3, 3}, {-2, 2}, {-1, 1}}, 23},
      {5, {{-2, 2}, {-3, 3}, {-4, 4}, {-5, 5}, {-5, 5}, {-5, 5}, {-5, 5}, {-5, 5}, {-4, 4}, {-3, 3}, {-2, 2}}, 75},
  };
  for (const Case& c : cases) {
    CCircleSpanTable table;
    table.Build(c.r);
    EXPECT_EQ(table.radius, c.r);
    EXPECT_EQ(table.firstRow, -c.r - 1);
    ASSERT_EQ(table.rows.size(), static_cast<size_t>(2 * c.r + 2));
    EXPECT_GT(table.rows[0].min, table.rows[0].max) << "row -r - 1 stays empty";
    EXPECT_EQ(SpansOf(table), c.spans) << "r = " << c.r;
    EXPECT_EQ(table.total, c.total) << "r = " << c.r;
  }
  CCircleSpanTable two;
  two.Build(2);
  EXPECT_EQ(two.total, 11);
}

TEST(CircleSpanTable, NumbersPickCellsRowByRow) {
  CCircleSpanTable r3;
  r3.Build(3);
  struct Case {
    int n, x, row;
  } cases[] = {{0, -1, -3}, {2, 1, -3}, {3, -1, -2}, {22, 1, 1}};
  for (const Case& c : cases) {
    const CCircleSpanTable::Cell cell = r3.NthCell(c.n);
    EXPECT_EQ(cell.x, c.x) << c.n;
    EXPECT_EQ(cell.row, c.row) << c.n;
  }
  // A number past every row stops at the last row, inside the disc.
  const CCircleSpanTable::Cell last = r3.NthCell(1000);
  EXPECT_EQ(last.row, 3);
  EXPECT_EQ(last.x, 1);

  CCircleSpanTable r1;
  r1.Build(1);
  const CCircleSpanTable::Cell only = r1.NthCell(0);
  EXPECT_EQ(only.x, 0);
  EXPECT_EQ(only.row, -1);
}

TEST(CircleSpanTable, TheOptionsReaderBuildsOneTablePerRadius) {
  MapHooksScope mapHooks(g_mapHooks);
  MapViewHooksScope viewHooks(g_mapViewHooks);
  IEffectRadiusTables neutral;
  HookScope<IEffectRadiusTables> radiusTables(g_effectRadiusTables, neutral);
  InstallMagic();
  g_effectRadiusTables->Build({2, 4, 6});
  ASSERT_EQ(g_spellRadiusTable.size(), 3u);
  EXPECT_EQ(g_spellRadiusTable[0].radius, 2);
  EXPECT_EQ(g_spellRadiusTable[2].radius, 6);
  EXPECT_EQ(g_spellRadiusTable[1].rows.size(), 10u);
  CCircleSpanTable table;
  table.Build(4);
  table.Free();
  EXPECT_TRUE(table.rows.empty());
  EXPECT_EQ(table.firstRow, 0);
}

}  // namespace
