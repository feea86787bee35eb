#include <gtest/gtest.h>

#include "PrintFixture.h"
#include "graphics/PrintFX.h"
#include "graphics/TypePrinters.h"

using namespace print_test;

namespace {

forge::Canvas Solid(int width, int height, int value) {
  forge::Canvas c(width, height);
  c.Fill(value);
  return c;
}

// A list whose normal table (7 of 15) maps every index to one colour.
struct OneColour {
  explicit OneColour(uint16_t colour) {
    for (int t = 0; t < 15; ++t)
      for (int i = 0; i < 256; ++i) list.head->tables[static_cast<size_t>(t) * 256 + i] = t == 0 ? 0 : colour;
  }
  TableList list;
};

TEST(TypePrinters, ShadowLeansOverTheLowerHalf) {
  Frame frame(Solid(10, 20, 1), 0, 0);
  Target target(200, 60);
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 200; ++x) target.At(x, y) = 0xFFFF;
  SetSpriteClipRect(0, 0, 130, 60);
  EXPECT_EQ(PrintSpriteShadow(frame.View(nullptr), 100, 5), 0);
  // Ten rows from top + 10 (the lower half), starting at columns 110, 109, ... 101.
  for (int row = 0; row < 10; ++row) {
    const int y = 15 + row, first = 110 - row;
    EXPECT_EQ(target.At(first - 1, y), 0xFFFF) << row;
    EXPECT_EQ(target.At(first, y), 0x7BEF) << row;
    EXPECT_EQ(target.At(first + 9, y), 0x7BEF) << row;
    EXPECT_EQ(target.At(first + 10, y), 0xFFFF) << row;
  }
  EXPECT_EQ(target.At(105, 14), 0xFFFF);
  EXPECT_EQ(target.At(105, 25), 0xFFFF);
  // It is never clipped sideways: one column short of room and nothing is drawn.
  Target other(200, 60);
  SetSpriteClipRect(0, 0, 119, 60);
  EXPECT_EQ(PrintSpriteShadow(frame.View(nullptr), 100, 5), 0);
  EXPECT_EQ(other.pixels, std::vector<uint16_t>(200 * 60, kBackground));
}

TEST(TypePrinters, PixelRulesOnSixFiveFive) {
  OneColour white(0xFFFF), red(0xF800);
  Frame frame(Solid(2, 1, 3), 0, 0);
  struct Case {
    const char* name;
    SpritePrinter printer;
    const OneColour& colour;
    uint16_t under, expected;
  } cases[] = {
      {"trans50 white over black", PrintSpriteTrans50, white, 0x0000, 0x7BEF},
      {"trans75 white over black", PrintSpriteTrans75, white, 0x0000, 0x7BEF + 0x39E7},
      {"trans25 white over black", PrintSpriteTrans25, white, 0x0000, 0x39E7},
      {"trans25 red over white", PrintSpriteTrans25, red, 0xFFFF, 0x7BEF + 0x39E7 + 0x3800},
      {"additive red saturates", PrintSpriteAdditive, red, 0x8000, 0xF800},
      {"additive adds channels", PrintSpriteAdditive, white, 0x0000, 0xFFFF},
  };
  for (const Case& c : cases) {
    Target target(4, 1);
    target.At(1, 0) = target.At(2, 0) = c.under;
    EXPECT_EQ(c.printer(frame.View(c.colour.list.head), 1, 0, 0, 0), 0) << c.name;
    EXPECT_EQ(target.At(1, 0), c.expected) << c.name;
    EXPECT_EQ(target.At(2, 0), c.expected) << c.name;
    EXPECT_EQ(target.At(0, 0), kBackground);
    EXPECT_EQ(target.At(3, 0), kBackground);
  }
  OneColour blue(0x001F);
  Target target(2, 1);
  target.At(0, 0) = 0x0010;
  PrintSpriteAdditive(Frame(Solid(1, 1, 1), 0, 0).View(blue.list.head), 0, 0, 0, 0);
  EXPECT_EQ(target.At(0, 0), 0x001F);
}

TEST(TypePrinters, OutlinesDrawOnlyTheEdgesOfRuns) {
  OneColour gold(0x1111);
  forge::Canvas c(8, 2);
  c.FillRect(2, 0, 4, 1, 1);  // a run of four
  c.FillRect(3, 1, 1, 1, 1);  // a run of one
  Frame frame(c, 0, 0);
  {
    Target target(12, 2);
    PrintSpriteOutline(frame.View(gold.list.head), 2, 0, 0, 0);
    const uint16_t b = kBackground, g = 0x1111;
    const std::vector<uint16_t> row0 = {b, b, b, b, g, b, b, g, b, b, b, b};
    EXPECT_EQ(std::vector<uint16_t>(target.pixels.begin(), target.pixels.begin() + 12), row0);
    EXPECT_EQ(target.At(5, 1), g);
  }
  {
    Target target(12, 2);
    EXPECT_EQ(PrintSpriteColourOutline(frame.View(gold.list.head), 2, 0, 0, 244, 198, 13), 0);
    const uint16_t b = kBackground, o = 0xF621;
    const std::vector<uint16_t> row0 = {b, b, b, o, o, b, o, o, b, b, b, b};
    EXPECT_EQ(std::vector<uint16_t>(target.pixels.begin(), target.pixels.begin() + 12), row0);
    EXPECT_EQ(target.At(4, 1), o);
    EXPECT_EQ(target.At(5, 1), o);
    EXPECT_EQ(target.At(6, 1), b);
  }
  {
    Target target(12, 2);
    PrintSpriteColourOutline(frame.View(gold.list.head), 2, 0, -127, 244, 198, 13);
    EXPECT_EQ(target.At(3, 0), 0);
  }
  {
    // A run at the frame's left edge on the clip's left edge: the pixel left of it stays.
    forge::Canvas edge(3, 1);
    edge.Fill(1);
    Target target(8, 1);
    SetSpriteClipRect(0, 2, 8, 1);
    PrintSpriteColourOutline(Frame(edge, 0, 0).View(gold.list.head), 2, 0, 0, 10, 10, 255);
    EXPECT_EQ(target.At(1, 0), kBackground);
    EXPECT_EQ(target.At(2, 0), PackColour(10, 10, 255));
  }
}

TEST(TypePrinters, ShimmerRowsAtTickZero) {
  OneColour colour(0x0F0F);
  forge::Canvas dotColumn(1, 6);
  dotColumn.Fill(1);
  Frame frame(dotColumn, 0, 0);
  g_gameTick = 0;
  Target target(16, 6);
  EXPECT_EQ(PrintSpriteShimmer(frame.View(colour.list.head), 0, 0, 0, 0), 0);
  const int shifts[6] = {3, 4, 5, 5, 6, 5};
  for (int row = 0; row < 6; ++row)
    for (int x = 0; x < 16; ++x) EXPECT_EQ(target.At(x, row), x == shifts[row] ? 0x0F0F : kBackground) << row;
  // Shifted pixels past the clip's right edge are dropped.
  Target narrow(16, 6);
  SetSpriteClipRect(0, 0, 5, 6);
  PrintSpriteShimmer(frame.View(colour.list.head), 0, 0, 0, 0);
  EXPECT_EQ(narrow.At(4, 1), 0x0F0F);
  for (int x = 5; x < 16; ++x) EXPECT_EQ(narrow.At(x, 4), kBackground);
}

TEST(TypePrinters, ShimmerLevelZeroIsLevelThreeAndReadsStayInside) {
  forge::Canvas mask(4, 8);
  mask.Fill(1);
  Frame frame(mask, 0, 0);
  auto print = [&](int level, int right) {
    Target target(40, 8);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 40; ++x) target.At(x, y) = static_cast<uint16_t>(x + 100 * y);
    SetSpriteClipRect(0, 0, right, 8);
    EXPECT_EQ(PrintSpriteShimmerLevel(frame.View(nullptr), 2, 0, level), 0);
    return target.pixels;
  };
  g_gameTick = 5;
  EXPECT_EQ(print(0, 40), print(3, 40));
  for (int level : {1, 8, 15, 16, 40}) {
    std::vector<uint16_t> p = print(level, 10);
    for (int y = 0; y < 8; ++y)
      for (int x = 2; x < 6; ++x) EXPECT_LT(p[static_cast<size_t>(y) * 40 + x] % 100, 10) << level;
  }
  g_gameTick = 0;
}

TEST(TypePrinters, GlyphCoverageBlendsTowardTheColour) {
  forge::Canvas glyph(3, 1);
  glyph.Set(0, 0, 63);
  glyph.Set(1, 0, 0);
  glyph.Set(2, 0, 200);  // past the coverage range: taken as full
  Frame frame(glyph, 0, 0);
  Target target(3, 1);
  EXPECT_EQ(PrintFontGlyph(frame.View(nullptr), 0, 0, 255, 255, 0), 0);
  EXPECT_EQ(target.At(0, 0), 0xFFE0);
  EXPECT_EQ(target.At(1, 0), kBackground);
  EXPECT_EQ(target.At(2, 0), 0xFFE0);
  EXPECT_FLOAT_EQ(g_glyphWeights[63], 1.0f);
  // Half coverage over black in pure red: trunc(0.5 x 31) = 15.
  glyph.Set(0, 0, 32);
  Frame half(glyph, 0, 0);
  Target black(3, 1);
  black.At(0, 0) = 0;
  PrintFontGlyph(half.View(nullptr), 0, 0, 255, 0, 0);
  EXPECT_EQ(black.At(0, 0), static_cast<int>(32 * 0.015873017f * 31.0f) << 11);
  // A glyph that would need horizontal clipping is not drawn.
  Target clipped(3, 1);
  SetSpriteClipRect(0, 1, 3, 1);
  PrintFontGlyph(frame.View(nullptr), 0, 0, 255, 255, 0);
  EXPECT_EQ(clipped.pixels, std::vector<uint16_t>(3, kBackground));
}

TEST(TypePrinters, TrailPrintsTwoPartsOrFadesFour) {
  OneColour colour(0x0F00);
  std::vector<std::vector<uint8_t>> parts;
  for (int i = 0; i < 4; ++i) {
    forge::Canvas c(1, 1);
    c.Set(0, 0, 1);
    parts.push_back(forge::EncodeFrame(c, -2 * i, 0, 0));  // part i lands at x + 2i
  }
  std::vector<uint8_t> chained = forge::ChainFrames(parts);
  ASSERT_TRUE(ValidateFrame(chained.data(), chained.size(), 0, FrameRules{1, 0}));
  const CSpriteFrame trail{chained.data(), colour.list.head};
  g_trailSwitch = 0;
  {
    Target target(10, 1);
    for (auto& p : target.pixels) p = 0;
    PrintSpriteTrail(trail, 1, 0, 0, 0);
    EXPECT_EQ(target.At(1, 0), 0x0F00);
    EXPECT_EQ(target.At(3, 0), 0x0F00);
    EXPECT_EQ(target.At(5, 0), 0);
  }
  g_trailSwitch = 1;
  {
    Target target(10, 1);
    for (auto& p : target.pixels) p = 0;
    PrintSpriteTrail(trail, 1, 0, 0, 0);
    g_trailSwitch = 0;
    const uint16_t m = 0xFBEF, s = 0x0F00;
    EXPECT_EQ(target.At(1, 0), s);
    EXPECT_EQ(target.At(3, 0), ((s >> 1) & m) + ((((s >> 1) & m) >> 1) & m));
    EXPECT_EQ(target.At(5, 0), (s >> 1) & m);
    EXPECT_EQ(target.At(7, 0), (s >> 2) & (m >> 1) & m);
  }
}

TEST(TypePrinters, TintToggleSwapsTheMainPrinter) {
  SpritePrinter before = g_printSprite;
  ToggleTintPrinter();
  EXPECT_EQ(g_printSprite, &PrintSpriteTinted);
  Frame frame(Solid(2, 1, 1), 0, 0);
  TableList list;
  Target target(2, 1);
  target.At(0, 0) = 0;
  g_overdrawCount = 0;
  PrintSpriteFrame(frame.View(list.head), 0, 0, 0, 0);
  EXPECT_EQ(target.At(0, 0), 0x30C6);
  EXPECT_EQ(target.At(1, 0), static_cast<uint16_t>(kBackground + 0x30C6));
  EXPECT_EQ(g_overdrawCount, 1);
  ToggleTintPrinter();
  EXPECT_EQ(g_printSprite, before);
}

// Every print type, at every clip edge: nothing outside the clip rectangle changes, and a
// well-formed frame never answers 3.
TEST(TypePrinters, EveryPrintTypeStaysInsideTheClip) {
  TableList list;
  Frame frame(Blob(24, 18), 12, 9);
  InitSpriteWaveTable();
  const int clip[4] = {10, 12, 52, 38};  // top, left, right, bottom
  const int places[][2] = {{30, 24}, {13, 24}, {51, 24}, {30, 11}, {30, 37}, {12, 10}, {52, 38}, {47, 24}, {18, 24}};
  for (int type = -127; type <= 31; ++type) {
    for (const auto& p : places) {
      for (int tick : {0, 7}) {
        g_gameTick = tick;
        Target target(64, 48);
        SetSpriteClipRect(clip[0], clip[1], clip[2], clip[3]);
        PrintResult result = PrintSpriteOfType(type, frame.View(list.head), p[0], p[1], -5, 0);
        EXPECT_NE(result, 3) << type;
        for (int y = 0; y < 48; ++y)
          for (int x = 0; x < 64; ++x)
            if (x < clip[1] || x >= clip[2] || y < clip[0] || y >= clip[3])
              ASSERT_EQ(target.At(x, y), kBackground) << "type " << type << " at " << p[0] << "," << p[1];
      }
    }
  }
  g_gameTick = 0;
}

TEST(TypePrinters, BadRunSumsAnswer3OnUnclippedRows) {
  // Width 4, one row: skip 1, count 2, then the row stops short (skip 0 reaches nothing).
  std::vector<uint8_t> f(40 + 8 + 4 + 2, 0);
  StoreI32(f.data() + 4, 4);
  StoreI32(f.data() + 8, 1);
  StoreI32(f.data() + 32, static_cast<int32_t>(f.size()));
  StoreI32(f.data() + 40, 48);
  StoreI32(f.data() + 44, 52);
  f[48] = 1;
  f[49] = 2;
  f[50] = 2;  // skip 2 ends at column 5
  f[52] = 1;
  f[53] = 1;
  TableList list;
  Target target(8, 1);
  EXPECT_EQ(PrintSpriteTrans50(CSpriteFrame{f.data(), list.head}, 2, 0, 0, 0), 3);
  EXPECT_EQ(PrintSpriteFrameC(CSpriteFrame{f.data(), list.head}, 2, 0, 0, 0), 0);  // unclipped: not checked
}

}  // namespace
