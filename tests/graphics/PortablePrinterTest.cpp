#include <gtest/gtest.h>

#include "PrintFixture.h"
#include "core/Main.h"
#include "graphics/BattleFacing.h"
#include "graphics/SpritePrinter.h"

using namespace print_test;

namespace {

struct ClipCase {
  const char* name;
  int x, y;                      // hotspot position
  int top, left, right, bottom;  // clip rectangle
};

// A 20x14 blob with hotspot (5, 3) printed around a 64x48 target at every clip edge.
const ClipCase kClipCases[] = {
    {"inside", 30, 20, 0, 0, 64, 48},
    {"across left edge", 12, 20, 4, 10, 60, 44},
    {"across right edge", 55, 20, 4, 10, 60, 44},
    {"ending exactly at right", 45, 20, 4, 10, 60, 44},  // left 40, right 60
    {"starting exactly at right", 65, 20, 4, 10, 60, 44},
    {"ending exactly at left", -5, 20, 4, 10, 60, 44},  // right edge at 10
    {"across top", 30, 5, 4, 10, 60, 44},
    {"across bottom", 30, 40, 4, 10, 60, 44},
    {"across all four", 30, 20, 12, 27, 33, 18},
    {"above", 30, -20, 4, 10, 60, 44},
    {"below", 30, 60, 4, 10, 60, 44},
    {"left of target", -40, 20, 0, 0, 64, 48},
    {"clip wider than target", 2, 40, -10, -10, 100, 100},
};

class PortableClip : public ::testing::TestWithParam<ClipCase> {};

TEST_P(PortableClip, PrintsExactlyTheVisiblePixelsThroughTheTable) {
  const ClipCase& c = GetParam();
  TableList list;
  Frame frame(Blob(20, 14), 5, 3);
  Target target(64, 48), expected(64, 48);
  SetSpriteClipRect(c.top, c.left, c.right, c.bottom);
  ReferencePrint(expected, frame.canvas, c.x - 5, c.y - 3,
                 [](int v, uint16_t) { return static_cast<uint16_t>(0x700 | v); });
  SetSpriteTarget(target.pixels.data(), 64, 48);
  EXPECT_EQ(PrintSpriteFrameC(frame.View(list.head), c.x, c.y, 0, 0), 0);
  EXPECT_EQ(target.pixels, expected.pixels) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Edges, PortableClip, ::testing::ValuesIn(kClipCases), [](const auto& info) {
  std::string name = info.param.name;
  for (char& ch : name)
    if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
  return name;
});

TEST(PortablePrinter, LightLevelsPickTablesAndStayInRange) {
  TableList list;  // 16 levels: shift 4, base 7, 15 tables
  forge::Canvas dot(1, 1);
  dot.Set(0, 0, 0x42);
  Frame frame(dot, 0, 0);
  struct {
    int light, table;
  } cases[] = {{0, 7},  {-1, 7}, {-16, 7},  {-17, 6},   {-128, 0}, {127, 14},
               {15, 7}, {16, 8}, {-127, 0}, {-1000, 0}, {1000, 14}};
  for (const auto& c : cases) {
    Target target(4, 4);
    PrintSpriteFrameC(frame.View(list.head), 1, 1, c.light, 0);
    EXPECT_EQ(target.At(1, 1), (c.table << 8) | 0x42) << "light " << c.light;
  }
}

TEST(PortablePrinter, ListIndexChoosesTheNodeAndAnIndexPastTheEndIsRefused) {
  TableList list(3);
  Frame frame(Blob(6, 6), 0, 0);
  for (int index : {0, 1, 2}) {
    Target target(8, 8);
    PrintSpriteFrameC(frame.View(list.head), 1, 1, 0, index);
    EXPECT_EQ(target.At(3, 1) >> 12, index);
  }
  for (int index : {3, -1, 100}) {
    Target target(8, 8);
    EXPECT_EQ(PrintSpriteFrameC(frame.View(list.head), 1, 1, 0, index), 0);
    EXPECT_EQ(target.pixels, std::vector<uint16_t>(64, kBackground));
  }
}

TEST(PortablePrinter, EmptyFramesPrintNothing) {
  Target target(8, 8);
  Frame empty(forge::Canvas(0, 0), 0, 0);
  // No list at all: an empty frame never looks at it.
  EXPECT_EQ(PrintSpriteFrameC(empty.View(nullptr), 2, 2, 0, 0), 0);
  TableList list;
  forge::Canvas zeroWide(0, 5);
  Frame thin(zeroWide, 0, 0);
  EXPECT_EQ(PrintSpriteFrameC(thin.View(list.head), 2, 2, 0, 0), 0);
  EXPECT_EQ(PrintSpriteFrameC(CSpriteFrame{}, 2, 2, 0, 0), 0);
  EXPECT_EQ(target.pixels, std::vector<uint16_t>(64, kBackground));
}

// A hand-made 4x1 frame whose only row says: skip 1, count 5 (one more than the width).
std::vector<uint8_t> OverlongRowFrame() {
  std::vector<uint8_t> f(40 + 8 + 2 + 5, 0);
  StoreI32(f.data() + 4, 4);
  StoreI32(f.data() + 8, 1);
  StoreI32(f.data() + 32, static_cast<int32_t>(f.size()));
  StoreI32(f.data() + 40, 48);
  StoreI32(f.data() + 44, 50);
  f[48] = 1;
  f[49] = 5;
  for (int i = 0; i < 5; ++i) f[50 + i] = static_cast<uint8_t>(i + 1);
  return f;
}

TEST(PortablePrinter, RowsThatDoNotAddUpAnswer3WhenClippedAndStayInsideTheClip) {
  TableList list;
  std::vector<uint8_t> bytes = OverlongRowFrame();
  EXPECT_FALSE(ValidateFrame(bytes.data(), bytes.size(), 0, FrameRules{1, 0}));
  Target target(16, 2);
  SetSpriteClipRect(0, 0, 6, 2);  // columns 4.. are outside: the frame at 3 needs clipping
  EXPECT_EQ(PrintSpriteFrameC(CSpriteFrame{bytes.data(), list.head}, 3, 0, 0, 0), 3);
  EXPECT_EQ(target.At(3, 0), kBackground);  // the skipped column
  EXPECT_EQ(target.At(4, 0), 0x701);
  EXPECT_EQ(target.At(5, 0), 0x702);
  EXPECT_EQ(target.At(6, 0), kBackground);
  EXPECT_EQ(target.At(7, 0), kBackground);
}

TEST(PortablePrinter, SecondTargetLeavesFramesThatNeedHorizontalClipping) {
  TableList list;
  Frame frame(Blob(10, 10), 0, 0);
  Target target(32, 16);
  SetSpriteClipRect(0, 4, 28, 16);
  uint16_t second = 0;
  BattleState().secondTarget = &second;
  EXPECT_EQ(PrintSpriteFrameC(frame.View(list.head), 0, 0, 0, 0), 0);  // across the left edge
  EXPECT_EQ(target.pixels, std::vector<uint16_t>(32 * 16, kBackground));
  PrintSpriteFrameC(frame.View(list.head), 10, 0, 0, 0);  // inside
  EXPECT_EQ(target.At(13, 0), 0x700 | frame.canvas.At(3, 0));
}

TEST(PortablePrinter, ClipRectangleIsKeptInsideTheTarget) {
  std::vector<uint16_t> pixels(20 * 10);
  SetSpriteTarget(pixels.data(), 20, 10);
  SetSpriteClipRect(-5, -3, 50, 40);
  EXPECT_EQ(g_clipTop, 0);
  EXPECT_EQ(g_clipLeft, 0);
  EXPECT_EQ(g_clipRight, 20);
  EXPECT_EQ(g_clipBottom, 10);
  // A smaller target cuts the same request further; a larger one gives it back.
  SetSpriteTarget(pixels.data(), 8, 4);
  EXPECT_EQ(g_clipRight, 8);
  EXPECT_EQ(g_clipBottom, 4);
  SetSpriteClipRect(2, 9, 3, 1);  // inverted: empty
  EXPECT_LE(g_clipRight, g_clipLeft);
  EXPECT_LE(g_clipBottom, g_clipTop);
  SetSpriteTarget(nullptr, 0, 0);
  EXPECT_EQ(g_clipRight, 0);
}

TEST(PortablePrinter, GapsAndRunsLongerThanAByte) {
  TableList list;
  forge::Canvas wide(700, 2);
  wide.FillRect(0, 0, 3, 1, 9);
  wide.FillRect(600, 0, 100, 1, 10);  // a gap of 597
  wide.FillRect(50, 1, 600, 1, 11);   // a run of 600, then a trailing gap of 50
  Frame frame(wide, 0, 0);
  ASSERT_TRUE(ValidateFrame(frame.bytes.data(), frame.bytes.size(), 0, FrameRules{1, 0}));
  for (int left : {0, -30}) {
    Target target(720, 2), expected(720, 2);
    SetSpriteClipRect(0, 0, 720, 2);
    ReferencePrint(expected, wide, left, 0, [](int v, uint16_t) { return static_cast<uint16_t>(0x700 | v); });
    SetSpriteTarget(target.pixels.data(), 720, 2);
    EXPECT_EQ(PrintSpriteFrameC(frame.View(list.head), left, 0, 0, 0), 0);
    EXPECT_EQ(target.pixels, expected.pixels) << left;
  }
}

TEST(SpriteFrameGeometry, HitTestFollowsTheRuns) {
  forge::Canvas c(10, 3);
  c.FillRect(2, 0, 3, 1, 5);  // columns 2..4 of row 0
  c.FillRect(0, 1, 10, 1, 5);
  Frame frame(c, 1, 1);  // drawn at (11, 21): left 10, top 20
  const CSpriteFrame view = frame.View(nullptr);
  struct {
    int px, py;
    bool hit;
  } cases[] = {{12, 20, true}, {14, 20, true},  {15, 20, false}, {11, 20, false}, {19, 20, false}, {10, 21, true},
               {19, 21, true}, {20, 21, false}, {9, 21, false},  {12, 22, false}, {12, 19, false}, {12, 23, false}};
  for (const auto& h : cases) EXPECT_EQ(SpriteFrameHitTest(view, 11, 21, h.px, h.py), h.hit) << h.px << "," << h.py;
}

TEST(SpriteFrameGeometry, InRectCountsTouchingEdges) {
  forge::Canvas c(10, 10);
  c.Fill(1);
  Frame frame(c, 0, 0);
  const CSpriteFrame view = frame.View(nullptr);  // box 20..30 x 20..30
  EXPECT_TRUE(SpriteFrameInRect(view, 20, 20, {0, 0, 21, 21}));
  EXPECT_TRUE(SpriteFrameInRect(view, 20, 20, {30, 30, 40, 40}));  // touching corner
  EXPECT_FALSE(SpriteFrameInRect(view, 20, 20, {0, 0, 20, 40}));   // rect right == frame left
  EXPECT_FALSE(SpriteFrameInRect(view, 20, 20, {31, 0, 40, 40}));
}

TEST(SpriteWaveTable, HoldsTheWave) {
  InitSpriteWaveTable();
  const int expected[16] = {8, 11, 13, 15, 16, 15, 13, 11, 8, 5, 3, 1, 1, 1, 3, 5};
  for (int i = 0; i < 16; ++i) EXPECT_EQ(g_spriteWaveTable[i], expected[i]) << i;
}

TEST(PrintSpriteFrameEntry, BlackSilhouetteAndFallBack) {
  TableList list;
  Frame frame(Blob(10, 8), 0, 0);
  {
    Target target(32, 16);
    g_spritesPrinted = 0;
    EXPECT_EQ(PrintSpriteFrame(frame.View(list.head), 5, 2, -127, 0), 0);
    EXPECT_EQ(g_spritesPrinted, 1);
    EXPECT_EQ(target.At(5 + 9, 2 + 4), 0);  // the notch is opaque; the black printer drew it
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 10; ++x) EXPECT_EQ(target.At(5 + x, 2 + y), frame.canvas.Opaque(x, y) ? 0 : kBackground);
  }
  {
    // Across the left edge the black printer hands back and the portable printer uses the
    // darkest table (table 0 of these test tables).
    Target target(32, 16);
    SetSpriteClipRect(0, 8, 32, 16);
    EXPECT_EQ(PrintSpriteBlack(frame.View(list.head), 5, 2), 1);
    EXPECT_EQ(PrintSpriteFrame(frame.View(list.head), 5, 2, -127, 0), 0);
    EXPECT_EQ(target.At(9, 2 + 4), 0x000 | frame.canvas.At(4, 4));
    EXPECT_EQ(target.At(7, 2 + 4), kBackground);
  }
  {
    // A printer answering 1 sends the print to the portable printer.
    Target target(32, 16);
    SpritePrinter saved = g_printSprite;
    g_printSprite = [](CSpriteFrame, int, int, int, int) -> PrintResult { return 1; };
    PrintSpriteFrame(frame.View(list.head), 5, 2, 0, 0);
    g_printSprite = saved;
    EXPECT_EQ(target.At(5 + 4, 2), 0x700 | frame.canvas.At(4, 0));
  }
}

}  // namespace
