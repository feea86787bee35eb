#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>

#include "GraphicsFixtures.h"
#include "PrintFixture.h"
#include "graphics/BattleFacing.h"
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
  BattleState().gameTick = 0;
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
  BattleState().gameTick = 5;
  EXPECT_EQ(print(0, 40), print(3, 40));
  for (int level : {1, 8, 15, 16, 40}) {
    std::vector<uint16_t> p = print(level, 10);
    for (int y = 0; y < 8; ++y)
      for (int x = 2; x < 6; ++x) EXPECT_LT(p[static_cast<size_t>(y) * 40 + x] % 100, 10) << level;
  }
  BattleState().gameTick = 0;
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
  // Worked in double precision and stored as single precision before the cut: (40, 40, 40)
  // over itself at coverage 11 stays 0x2945 (in single precision it came out 0x2124).
  glyph.Set(0, 0, 11);
  Frame eleven(glyph, 0, 0);
  Target grey(3, 1);
  grey.At(0, 0) = 0x2945;
  PrintFontGlyph(eleven.View(nullptr), 0, 0, 40, 40, 40);
  EXPECT_EQ(grey.At(0, 0), 0x2945);
  // A glyph that would need horizontal clipping is not drawn.
  Target clipped(3, 1);
  SetSpriteClipRect(0, 1, 3, 1);
  PrintFontGlyph(frame.View(nullptr), 0, 0, 255, 255, 0);
  EXPECT_EQ(clipped.pixels, std::vector<uint16_t>(3, kBackground));
}

// The glyph rule on its own, pixel by pixel: weights i x 0.015873017 in single precision (so
// that entry 63 comes out exactly 1), each channel blended in double precision, stored as single
// precision and cut toward zero; a glyph that would be cut at a side of the clip rectangle is
// left out whole, one cut at its top or bottom loses the rows outside.
void ModelGlyphPrint(Target& target, const forge::Canvas& glyph, int left, int top, int red, int green, int blue) {
  if (left < g_clipLeft || left + glyph.Width() > g_clipRight) return;
  const bool is555 = g_is555 != 0;
  const int redShift = is555 ? 10 : 11, greenMax = is555 ? 31 : 63;
  const int colour[3] = {red / 8, is555 ? green / 8 : green / 4, blue / 8};
  ReferencePrint(target, glyph, left, top, [&](int coverage, uint16_t d) {
    const float w = static_cast<float>(coverage) * 0.015873017f;
    const int channels[3] = {(d >> redShift) & 31, (d >> 5) & greenMax, d & 31};
    int mixed[3];
    for (int c = 0; c < 3; ++c)
      mixed[c] = static_cast<int>(static_cast<float>((1.0 - w) * channels[c] + static_cast<double>(w) * colour[c]));
    return static_cast<uint16_t>((mixed[0] << redShift) | (mixed[1] << 5) | mixed[2]);
  });
}

// A whole target printed over and over with glyphs of every coverage in many colours, some
// crossing the clip rectangle's edges, against the model.
TEST(TypePrinters, GlyphPrintsOfAWholeTargetFollowTheRule) {
  for (bool is555 : {true, false}) {
    graphics_test::PixelFormatScope format(is555);
    std::mt19937 random(76);
    auto below = [&random](int n) { return static_cast<int>(random() % static_cast<uint32_t>(n)); };
    Target target(48, 32);
    for (uint16_t& pixel : target.pixels) pixel = static_cast<uint16_t>(random());
    Target model(48, 32);
    model.pixels = target.pixels;
    SetSpriteTarget(target.pixels.data(), 48, 32);
    SetSpriteClipRect(2, 3, 45, 30);
    int differing = 0;
    for (int print = 0; print < 208; ++print) {
      forge::Canvas glyph(1 + below(9), 1 + below(12));
      for (int y = 0; y < glyph.Height(); ++y)
        for (int x = 0; x < glyph.Width(); ++x)
          glyph.Set(x, y, below(4) == 0 ? forge::Canvas::kTransparent : below(64));
      const Frame frame(glyph, 0, 0);
      const int x = below(52) - 4, y = below(38) - 4;
      const int red = below(256), green = below(256), blue = below(256);
      PrintFontGlyph(frame.View(nullptr), x, y, red, green, blue);
      ModelGlyphPrint(model, glyph, x, y, red, green, blue);
      if (target.pixels != model.pixels && differing++ < 3)
        ADD_FAILURE() << "print " << print << " at " << x << ", " << y << " in " << red << ", " << green << ", " << blue
                      << (is555 ? " on 5-5-5" : " on 5-6-5");
      model.pixels = target.pixels;
    }
    EXPECT_EQ(differing, 0) << (is555 ? "5-5-5" : "5-6-5");
  }
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

// --- Each print type at every clip edge, pixel for pixel -----------------------------------
// References work from the canvas cell by cell (not from the encoded runs), with the rules
// each printer follows on its unclipped and its clipped path.

struct EdgeCase {
  const char* name;
  int x, y;                      // hotspot position of the 20x14 blob (hotspot 5, 3)
  int top, left, right, bottom;  // clip rectangle
};

const EdgeCase kEdgeCases[] = {
    {"inside", 30, 20, 0, 0, 64, 48},
    {"across left", 12, 20, 4, 10, 60, 44},
    {"across right", 55, 20, 4, 10, 60, 44},
    {"ending exactly at right", 45, 20, 4, 10, 60, 44},
    {"one short of right", 44, 20, 4, 10, 60, 44},
    {"starting exactly at right", 65, 20, 4, 10, 60, 44},
    {"starting exactly at left", 15, 20, 4, 10, 60, 44},
    {"across top", 30, 5, 4, 10, 60, 44},
    {"across bottom", 30, 40, 4, 10, 60, 44},
    {"across all four", 30, 20, 12, 27, 33, 18},
    {"above", 30, -20, 4, 10, 60, 44},
};

// Where the blob lands and what is visible of it.
struct Placement {
  int left, top, width, height;
  bool clipped;  // crosses a side of the clip rectangle
  bool RowVisible(int r) const { return top + r >= g_clipTop && top + r < g_clipBottom; }
  bool ColumnVisible(int c) const { return left + c >= g_clipLeft && left + c < g_clipRight; }
};

// The opaque runs of a canvas row: (first column, count).
std::vector<std::pair<int, int>> CanvasRuns(const forge::Canvas& canvas, int row) {
  std::vector<std::pair<int, int>> runs;
  for (int c = 0; c < canvas.Width();) {
    if (!canvas.Opaque(c, row)) {
      ++c;
      continue;
    }
    int n = 0;
    while (canvas.Opaque(c + n, row)) ++n;
    runs.push_back({c, n});
    c += n;
  }
  return runs;
}

using Reference = std::function<void(Target&, const forge::Canvas&, const Placement&, const TableList&)>;

// table entry of a cell through node 0 at light -5 (table 7 of the test tables)
uint16_t Entry(int value) { return static_cast<uint16_t>(0x700 | value); }

Reference Blend(std::function<uint16_t(uint16_t s, uint16_t d)> rule) {
  return [rule](Target& t, const forge::Canvas& canvas, const Placement& p, const TableList&) {
    ReferencePrint(t, canvas, p.left, p.top, [&](int v, uint16_t old) { return rule(Entry(v), old); });
  };
}

uint16_t Half(uint16_t p) { return static_cast<uint16_t>((p >> 1) & 0xFBEF); }
uint16_t Quarter(uint16_t p) { return static_cast<uint16_t>((p >> 2) & (0xFBEF >> 1) & 0xFBEF); }
uint16_t Trans50Rule(uint16_t s, uint16_t d) { return static_cast<uint16_t>(Half(s) + Half(d)); }
uint16_t Trans75Rule(uint16_t s, uint16_t d) { return static_cast<uint16_t>(Half(s) + Half(Half(s)) + Quarter(d)); }

struct TypeCase {
  const char* name;
  int type;
  Reference reference;
};

std::vector<TypeCase> TypeCases() {
  std::vector<TypeCase> cases;
  cases.push_back({"trans25", PRT_TRANS25, Blend([](uint16_t s, uint16_t d) { return Trans75Rule(d, s); })});
  cases.push_back({"trans50", PRT_TRANS50, Blend(Trans50Rule)});
  cases.push_back({"trans75", PRT_TRANS75, Blend(Trans75Rule)});
  cases.push_back({"additive", PRT_INC, Blend([](uint16_t s, uint16_t d) {
                     uint32_t out = 0;
                     for (uint32_t mask : {0xF800u, 0x07E0u, 0x001Fu}) {
                       const uint32_t sum = (s & mask) + (d & mask);
                       out |= sum > mask ? mask : sum;
                     }
                     return static_cast<uint16_t>(out);
                   })});
  cases.push_back(
      {"outline", PRT_OUTLINE, [](Target& t, const forge::Canvas& canvas, const Placement& p, const TableList& list) {
         if (p.clipped) return Blend(Trans50Rule)(t, canvas, p, list);
         for (int r = 0; r < canvas.Height(); ++r) {
           if (!p.RowVisible(r)) continue;
           for (auto [c, n] : CanvasRuns(canvas, r)) {
             t.At(p.left + c, p.top + r) = Entry(canvas.At(c, r));
             t.At(p.left + c + n - 1, p.top + r) = Entry(canvas.At(c + n - 1, r));
           }
         }
       }});
  cases.push_back({"gold outline", PRT_OUTLINE_GOLD,
                   [](Target& t, const forge::Canvas& canvas, const Placement& p, const TableList& list) {
                     if (p.clipped) return Blend(Trans50Rule)(t, canvas, p, list);
                     // 244, 198, 13 scaled by (-5 + 127) / 127.
                     const uint16_t gold = PackColour(244 * 122 / 127, 198 * 122 / 127, 13 * 122 / 127);
                     for (int r = 0; r < canvas.Height(); ++r) {
                       if (!p.RowVisible(r)) continue;
                       for (auto [c, n] : CanvasRuns(canvas, r)) {
                         const int x = p.left + c, y = p.top + r;
                         if (x - 1 >= g_clipLeft) t.At(x - 1, y) = gold;
                         t.At(x, y) = gold;
                         if (n >= 2) t.At(x + n - 2, y) = t.At(x + n - 1, y) = gold;
                       }
                     }
                   }});
  cases.push_back(
      {"shimmer", PRT_SHIMMER, [](Target& t, const forge::Canvas& canvas, const Placement& p, const TableList&) {
         const int unclipped[6] = {3, 4, 5, 5, 6, 5};
         for (int r = 0; r < canvas.Height(); ++r) {
           if (!p.RowVisible(r)) continue;
           const int k = static_cast<int>(static_cast<unsigned>(p.top + r + BattleState().gameTick) % 6u);
           const int shift = p.clipped ? std::abs(3 - k) : unclipped[k];
           for (int c = 0; c < canvas.Width(); ++c)
             if (canvas.Opaque(c, r) && p.ColumnVisible(c) && p.left + c + shift < g_clipRight)
               t.At(p.left + c + shift, p.top + r) = Entry(canvas.At(c, r));
         }
       }});
  cases.push_back({"shimmer level 5", PRT_SHIMMER_1 + 4,
                   [](Target& t, const forge::Canvas& canvas, const Placement& p, const TableList&) {
                     for (int r = 0; r < canvas.Height(); ++r) {
                       if (!p.RowVisible(r)) continue;
                       const unsigned phase = static_cast<unsigned>(p.top + r + BattleState().gameTick);
                       const int k = static_cast<int>(phase % 10u);
                       const int shift = p.clipped ? std::abs(8 - static_cast<int>(phase & 15))
                                                   : 5 + static_cast<int>(std::trunc(5 * std::sin(k * 0.39269908)));
                       const int firstCol = g_clipLeft - p.left, endCol = g_clipRight - p.left;
                       for (auto [c, n] : CanvasRuns(canvas, r)) {
                         int from = c;
                         if (p.clipped) {
                           if (c + n > endCol || c + n <= firstCol) continue;  // passes the end, or unseen
                           from = std::max(c, firstCol);
                         }
                         for (int x = p.left + from; x < p.left + c + n; ++x)
                           t.At(x, p.top + r) = t.At(std::min(x + shift, g_clipRight - 1), p.top + r);
                       }
                     }
                   }});
  cases.push_back(
      {"water", PRT_WATER, [](Target& t, const forge::Canvas& canvas, const Placement& p, const TableList&) {
         if (p.left < g_clipLeft || p.left + p.width >= g_clipRight) return;  // handed back
         unsigned phase = static_cast<unsigned>(p.top + BattleState().gameTick) & 0xFF;
         for (int r = 0; r < canvas.Height(); ++r) {
           if (!p.RowVisible(r)) continue;
           const int shift = g_spriteWaveTable[(phase + 1) & 15];
           phase = (phase + 1) & 15;
           for (int c = 0; c < canvas.Width(); ++c)
             if (canvas.Opaque(c, r)) {
               const int x = p.left + c;
               t.At(x, p.top + r) = t.At(std::min(x + shift, g_clipRight - 1), p.top + r);
             }
         }
       }});
  cases.push_back(
      {"shadow", PRT_SHADOW, [](Target& t, const forge::Canvas& canvas, const Placement& p, const TableList&) {
         const int h = p.height, top = p.top + h / 2;
         if (p.left < g_clipLeft || p.left + p.width + h / 2 > g_clipRight) return;
         if (top + h <= g_clipTop || top >= g_clipBottom) return;
         const int firstRow = std::max(0, g_clipTop - top), endRow = std::min(h, g_clipBottom - top);
         for (int r = firstRow, drawn = 0; r < endRow; r += 2, ++drawn)
           for (int c = 0; c < canvas.Width(); ++c)
             if (canvas.Opaque(c, r)) {
               uint16_t& d = t.At(p.left + endRow / 2 - drawn + c, top + firstRow + drawn);
               d = Half(d);
             }
       }});
  return cases;
}

TEST(TypePrinters, EachPrintTypeAtEveryClipEdgeGivesItsPixels) {
  TableList list;
  const forge::Canvas blob = Blob(20, 14);
  Frame frame(blob, 5, 3);
  InitSpriteWaveTable();
  for (const TypeCase& type : TypeCases()) {
    for (const EdgeCase& edge : kEdgeCases) {
      for (int tick : {0, 5}) {
        BattleState().gameTick = tick;
        Target target(64, 48), expected(64, 48);
        for (Target* t : {&target, &expected})
          for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x) t->At(x, y) = static_cast<uint16_t>(x * 37 + y * 1001);
        SetSpriteClipRect(edge.top, edge.left, edge.right, edge.bottom);
        Placement place{edge.x - 5, edge.y - 3, 20, 14, false};
        place.clipped = place.left < g_clipLeft || place.left + 20 > g_clipRight;
        const bool visible = place.left + 20 > g_clipLeft && place.left < g_clipRight && place.top + 14 > g_clipTop &&
                             place.top < g_clipBottom;
        if (visible || type.type == PRT_SHADOW) type.reference(expected, blob, place, list);
        SetSpriteTarget(target.pixels.data(), 64, 48);
        SetSpriteClipRect(edge.top, edge.left, edge.right, edge.bottom);
        const PrintResult result = PrintSpriteOfType(type.type, frame.View(list.head), edge.x, edge.y, -5, 0);
        // The water printer hands back any frame that crosses or reaches a side, seen or not.
        const bool handedBack = place.left < g_clipLeft || place.left + 20 >= g_clipRight;
        EXPECT_EQ(result, type.type == PRT_WATER && handedBack ? 1 : 0) << type.name << " " << edge.name;
        EXPECT_EQ(target.pixels, expected.pixels) << type.name << " " << edge.name << " tick " << tick;
      }
    }
  }
  BattleState().gameTick = 0;
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
        BattleState().gameTick = tick;
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
  BattleState().gameTick = 0;
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
