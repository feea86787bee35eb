// The tile overlay: spans of levels per column, their decay and their saved-game block.
#include <cstdio>

#include "MapTestSupport.h"
#include "core/Bytes.h"

using namespace map_test;

class TileOverlay : public MapTest {
 protected:
  void SetUp() override {
    MapTest::SetUp();
    g_map.FinishTerrainShapes();  // every empty cell is open sky
  }
  bool OpenSky(int x, int y, int level) { return Cell(x, y, level).shape & shape_bits::kOpenSky; }
  const CTileSpanCell& Span(int x, int y) { return g_tileSpans.cells[static_cast<size_t>(x + y * g_map.width)]; }
};

TEST_F(TileOverlay, MarkingSpreadsTheSpanAndMovesTheExposedEnds) {
  g_tileSpans.MarkColumn(4, 4, 3, 20);
  EXPECT_EQ(Span(4, 4).low, 3);
  EXPECT_EQ(Span(4, 4).high, 3);
  EXPECT_FALSE(OpenSky(4, 4, 3));
  EXPECT_TRUE(OpenSky(4, 4, 2));
  EXPECT_TRUE(g_tileSpans.IsLevelInSpan(4, 4, 3));
  EXPECT_EQ(g_tileSpans.TestPosition(4, 4, 3), 0);

  g_tileSpans.MarkColumn(9, 9, 1, 20);
  g_tileSpans.MarkColumn(9, 9, 5, 30);
  EXPECT_EQ(Span(9, 9).low, 1);
  EXPECT_EQ(Span(9, 9).high, 5);
  EXPECT_EQ(Span(9, 9).strength, 30);
  EXPECT_TRUE(OpenSky(9, 9, 1) == false && OpenSky(9, 9, 5) == false);
  g_tileSpans.MarkColumn(9, 9, 3, 10);  // inside: nothing changes
  EXPECT_EQ(Span(9, 9).strength, 30);
  g_tileSpans.MarkColumn(9, 9, 0, 5);
  EXPECT_TRUE(OpenSky(9, 9, 1));  // the old low end is restored: it is empty
  EXPECT_FALSE(OpenSky(9, 9, 0));
  EXPECT_TRUE(g_tileSpans.IsLevelInSpan(9, 9, 4));
  EXPECT_FALSE(g_tileSpans.IsLevelAtSpanEdge(9, 9, 4));
  EXPECT_TRUE(g_tileSpans.IsLevelAtSpanEdge(9, 9, 5));
  EXPECT_EQ(g_tileSpans.TestCell(&Cell(9, 9, 0)), 0);
  EXPECT_EQ(g_tileSpans.TestCell(&Cell(9, 9, 4)), 1);

  // A non-empty old end keeps being drawn.
  g_tileSpans.MarkColumn(12, 12, 4, 20);
  Cell(12, 12, 4).terrain = t::kGrass;
  g_tileSpans.MarkColumn(12, 12, 6, 20);
  EXPECT_FALSE(OpenSky(12, 12, 4));

  // Outside the map nothing is written.
  g_tileSpans.MarkColumn(48, 0, 1, 20);
  g_tileSpans.MarkColumn(0, -1, 1, 20);
  g_tileSpans.MarkColumn(0, 0, 8, 20);
  g_tileSpans.MarkColumn(0, 0, -1, 20);
  EXPECT_EQ(Span(0, 0).strength, 0);
  EXPECT_FALSE(g_tileSpans.IsLevelInSpan(48, 0, 1));
}

TEST_F(TileOverlay, TickAgesHalfTheColumnsEachFrame) {
  g_tileSpans.MarkColumn(1, 0, 2, 2);    // first half
  g_tileSpans.MarkColumn(2, 0, 2, 1);    // first half
  g_tileSpans.MarkColumn(5, 40, 2, 40);  // second half
  g_tileSpans.active = 1;
  g_tileSpans.Tick();  // phase 0: the first half
  EXPECT_EQ(Span(1, 0).strength, 0);
  EXPECT_EQ(Span(2, 0).strength, 0);
  EXPECT_EQ(Span(5, 40).strength, 40);
  EXPECT_EQ(Span(1, 0).frame, 1);
  g_tileSpans.Tick();  // phase 1: the second half
  EXPECT_EQ(Span(5, 40).strength, 38);
  EXPECT_EQ(g_tileSpans.active, 1);
  for (int i = 0; i < 40; ++i) g_tileSpans.Tick();
  EXPECT_EQ(Span(5, 40).strength, 0);
  g_tileSpans.Tick();
  g_tileSpans.Tick();
  EXPECT_EQ(g_tileSpans.active, 0);  // a pair of ticks found nothing active

  // Frame index: with 15 frames and delay 1 it advances at every processing and wraps.
  g_tileSpans.MarkColumn(1, 0, 2, 60);
  g_tileSpans.active = 1;
  int frames[16];
  for (int& frame : frames) {
    g_tileSpans.Tick();
    g_tileSpans.Tick();
    frame = Span(1, 0).frame;
  }
  EXPECT_EQ(frames[12], 14);
  EXPECT_EQ(frames[13], 0);
}

TEST_F(TileOverlay, SavedGameBlockRoundTripsAndRefusesAnotherMapSize) {
  FILE* file = std::tmpfile();
  EXPECT_EQ(g_tileSpans.Save(file), 4);  // inactive
  std::rewind(file);
  g_tileSpans.MarkColumn(3, 3, 2, 9);
  EXPECT_EQ(g_tileSpans.Load(file), 4);
  EXPECT_EQ(Span(3, 3).strength, 0);
  std::fclose(file);

  g_tileSpans.MarkColumn(3, 3, 2, 9);
  g_tileSpans.MarkColumn(47, 43, 6, 300);
  g_tileSpans.active = 1;
  g_tileSpans.Tick();
  file = std::tmpfile();
  int size = g_tileSpans.Save(file);
  EXPECT_EQ(size, 8 + 6 * 48 * 44 + 16);
  std::rewind(file);
  g_tileSpans.Reset();
  EXPECT_EQ(g_tileSpans.Load(file), size);
  EXPECT_EQ(Span(3, 3).strength, 7);
  EXPECT_EQ(Span(47, 43).strength, 300);
  EXPECT_EQ(Span(47, 43).high, 6);
  EXPECT_EQ(g_tileSpans.phase, 1);
  EXPECT_EQ(g_tileSpans.active, 1);

  // Another map size, a truncated block and a bad phase are refused.
  std::rewind(file);
  MakeMap(48, 45, 8);
  EXPECT_EQ(g_tileSpans.Load(file), -1);
  std::fclose(file);
  MakeMap(48, 44, 8);
  std::vector<uint8_t> block(static_cast<size_t>(size));
  file = std::tmpfile();
  g_tileSpans.MarkColumn(1, 1, 1, 5);
  g_tileSpans.active = 1;
  g_tileSpans.Save(file);
  std::rewind(file);
  ASSERT_EQ(std::fread(block.data(), 1, block.size(), file), block.size());
  std::fclose(file);
  for (bool badPhase : {false, true}) {
    std::vector<uint8_t> bad = block;
    if (badPhase)
      bytes::StoreU32(bad.data() + 8 + 6 * 48 * 44, 2);
    else
      bad.resize(bad.size() - 3);
    file = std::tmpfile();
    std::fwrite(bad.data(), 1, bad.size(), file);
    std::rewind(file);
    EXPECT_EQ(g_tileSpans.Load(file), -1) << badPhase;
    std::fclose(file);
  }
}
