#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "core/Options.h"
#include "graphics/ColourTables.h"
#include "graphics/PixelFormat.h"
#include "support/TestSupport.h"

namespace {

using Palette = std::array<uint8_t, 768>;

// Entry 0 black, then the colours the cases look at.
Palette TestPalette() {
  Palette p{};
  const uint8_t colours[][3] = {{0, 0, 0},       {200, 100, 50}, {200, 0, 0},  {100, 100, 0},
                                {100, 100, 100}, {200, 100, 0},  {10, 10, 10}, {200, 200, 200}};
  for (size_t i = 0; i < std::size(colours); ++i)
    for (int c = 0; c < 3; ++c) p[3 * i + c] = colours[i][c];
  return p;
}

struct Built {
  ShadeTableList* node = nullptr;
  ~Built() { FreeLinkedList(node); }
  uint16_t At(int table, int entry) const { return node->Table(table)[entry]; }
};

class ColourTables : public ::testing::Test {
 protected:
  void SetUp() override { ResetGlobalOptions(); }
  void TearDown() override { ResetGlobalOptions(); }
  Palette palette = TestPalette();
};

TEST_F(ColourTables, LayoutOfSixteenAndTwoLevels) {
  for (int type = 0; type < 10; ++type) {
    Built b16, b2;
    Palette p = TestPalette();
    ASSERT_TRUE(ColourTableBuilderOf(type)(16, &b16.node, p.data())) << type;
    const bool wide = type >= 8;
    EXPECT_EQ(b16.node->shift, 4u);
    EXPECT_EQ(b16.node->base, 7u);
    EXPECT_EQ(b16.node->tableCount, wide ? 8 : 15) << type;
    EXPECT_EQ(b16.node->wide, wide);
    EXPECT_EQ(b16.node->next, nullptr);
    ASSERT_TRUE(ColourTableBuilderOf(type)(2, &b2.node, p.data())) << type;
    EXPECT_EQ(b2.node->shift, 7u);
    EXPECT_EQ(b2.node->base, 0u);
    EXPECT_EQ(b2.node->tableCount, 1);
  }
  EXPECT_EQ(ColourTableBuilderOf(10), nullptr);
  EXPECT_EQ(ColourTableBuilderOf(-1), nullptr);
}

TEST_F(ColourTables, LevelCountsThatAreNotPowersOfTwoAreRefusedButByThePlainBuilders) {
  for (int type = 0; type < 10; ++type) {
    const bool anyCount = type == 0 || type == 8;
    for (int levels : {0, 1, 3, 5, 6, 12, 100, 255, 257, 512, -4}) {
      Built built;
      const bool expected = anyCount && levels >= 2 && levels <= 256;
      EXPECT_EQ(ColourTableBuilderOf(type)(levels, &built.node, palette.data()), expected) << type << " " << levels;
      EXPECT_EQ(built.node != nullptr, expected) << type << " " << levels;
      if (!built.node) continue;
      // Odd counts hold every table they write: count darker, the normal one, and count
      // brighter (none for 3 levels, and none in wide nodes).
      const int count = (levels - 1) / 2;
      const bool brighter = type == 0 && levels != count + 2;
      EXPECT_EQ(built.node->shift, 0u);
      EXPECT_EQ(built.node->base, static_cast<uint32_t>(count));
      EXPECT_EQ(built.node->tableCount, count + 1 + (brighter ? count : 0));
    }
  }
  ShadeTableList node;
  EXPECT_FALSE(BuildLightTables(6, &node, palette.data(), 0, 0, 0));
  EXPECT_FALSE(BuildWideLightTables(16, nullptr, palette.data(), 0, 0, 0));
}

TEST_F(ColourTables, NormalTablesDarkenLightenAndKeepBlack) {
  g_lightCurve = 100;  // a curve that leaves the darker tables visible
  Built b;
  ASSERT_TRUE(BuildTablesNormal(16, &b.node, palette.data()));
  EXPECT_EQ(b.At(7, 1), PackColour(200, 100, 50));
  EXPECT_EQ(b.At(0, 1), 0);        // the darkest table is black
  EXPECT_EQ(b.At(1, 1), 0x39C7);   // (57, 57, 57): dark and nearly grey
  EXPECT_EQ(b.At(6, 1), 0x7BCF);   // (120, 120, 120)
  EXPECT_EQ(b.At(8, 1), 0xCBC9);   // (207, 122, 79)
  EXPECT_EQ(b.At(14, 1), 0xFFFF);  // the brightest is white
  for (int t = 0; t <= 7; ++t) EXPECT_EQ(b.At(t, 0), 0) << t;
  EXPECT_EQ(b.At(14, 0), 0xFFFF);

  Built two;
  ASSERT_TRUE(BuildTablesNormal(2, &two.node, palette.data()));
  for (int e = 0; e < 8; ++e)
    EXPECT_EQ(two.At(0, e), PackColour(palette[3 * e], palette[3 * e + 1], palette[3 * e + 2])) << e;
}

TEST_F(ColourTables, EffectsOnThePlainTable) {
  struct Case {
    ColourTableBuilder builder;
    int entry;
    int r, g, b;
  } cases[] = {
      {BuildTablesRed, 2, 200, 0, 0},        {BuildTablesRed, 3, 200, 50, 0},
      {BuildTablesBlue, 4, 60, 90, 170},     {BuildTablesGreen, 4, 50, 200, 50},
      {BuildTablesDull, 5, 150, 100, 50},    {BuildTablesRedTint, 4, 125, 75, 75},
      {BuildWideTablesBlue, 4, 60, 90, 170}, {BuildWideTablesNormal, 1, 200, 100, 50},
  };
  for (const Case& c : cases) {
    Built b;
    Palette p = TestPalette();
    ASSERT_TRUE(c.builder(16, &b.node, p.data()));
    EXPECT_EQ(b.At(7, c.entry), PackColour(c.r, c.g, c.b)) << c.entry;
    if (b.node->wide) EXPECT_EQ(b.node->WideTable(7)[c.entry], PackColour(c.r, c.g, c.b));
  }
}

TEST_F(ColourTables, BlackStaysBlackUpToTheNormalTable) {
  for (ColourTableBuilder builder : {BuildTablesNormal, BuildTablesBlue, BuildTablesRed, BuildTablesGreen,
                                     BuildTablesDull, BuildTablesRedTint, BuildWideTablesNormal, BuildWideTablesBlue}) {
    Built b;
    Palette p = TestPalette();
    ASSERT_TRUE(builder(16, &b.node, p.data()));
    for (int t = 0; t <= 7; ++t) EXPECT_EQ(b.At(t, 0), 0);
    if (!b.node->wide) EXPECT_NE(b.At(14, 0), 0);  // toward white, through the effect
  }
}

TEST_F(ColourTables, FiveFiveFivePacking) {
  g_is555 = 1;
  Built b;
  BuildTablesNormal(2, &b.node, palette.data());
  g_is555 = 0;
  EXPECT_EQ(b.At(0, 1), ((200 & 0xF8) << 7) | ((100 & 0xF8) << 2) | (50 >> 3));
}

TEST_F(ColourTables, StoneAndMetalReadTheirKeys) {
  testing_support::TempDir dir(true);
  dir.Write("cfg/tables.cfg",
            "[STONE_EFFECT]\nReducer=0.5\nSpecalValue=1\nDarkest=0\n"
            "[METAL_EFFECT]\nReducer=0\nSpecalValue=1\nDarkest=5\nBlueTint=30\nContrast=10\n");
  Built stone;
  ASSERT_TRUE(BuildTablesStone(16, &stone.node, palette.data()));
  EXPECT_EQ(stone.At(7, 4), 0x3186);  // 300 / 3 x 0.5 + noise 1 = 51 in every channel

  Built metal;
  ASSERT_TRUE(BuildTablesMetal(16, &metal.node, palette.data()));
  // Contrast moved the palette itself: below half the brightest sum up, above it down.
  EXPECT_EQ(palette[3 * 6], 11);
  EXPECT_EQ(palette[3 * 7], 180);
  EXPECT_EQ(palette[3 * 1 + 1], 90);                // (200, 100, 50) sums 350 > 300: each channel loses 10%
  EXPECT_EQ(metal.At(7, 7), 0xB5BA);                // grey 181, blue 211
  EXPECT_EQ(metal.At(7, 0), PackColour(5, 5, 35));  // black is lifted to Darkest
}

// Light parameters that are no numbers, and tables.cfg values that are none or too large, build
// tables of real colours with no overflow on the way (the sanitizers watch the sums).
TEST_F(ColourTables, HostileParametersStillBuildTables) {
  testing_support::TempDir dir(true);
  dir.Write("cfg/tables.cfg",
            "[STONE_EFFECT]\nReducer=nan\nSpecalValue=nan\nDarkest=1e10\n"
            "[METAL_EFFECT]\nReducer=1e300\nSpecalValue=1e10\nBlueTint=-inf\nContrast=nan\n"
            "[REDTINT_EFFECT]\nReducer=1e10\n");
  SetLightPower(std::nan(""));
  SetColourPower(1000);
  SetColourFactor(1000);
  for (int type = 0; type < 10; ++type) {
    Palette p = TestPalette();
    Built built;
    ASSERT_TRUE(ColourTableBuilderOf(type)(16, &built.node, p.data())) << type;
  }
  Built light;
  ASSERT_TRUE(BuildTablesNormal(16, &light.node, palette.data()));
  EXPECT_TRUE(BuildLightTables(16, light.node, palette.data(), 1e300, -1e300, 0));
}

TEST_F(ColourTables, StoneNoiseIsTheSameEveryBuild) {
  testing_support::TempDir dir(true);
  Built a, b;
  Palette p1 = TestPalette(), p2 = TestPalette();
  ASSERT_TRUE(BuildTablesStone(16, &a.node, p1.data()));
  ASSERT_TRUE(BuildTablesStone(16, &b.node, p2.data()));
  EXPECT_EQ(a.node->tables, b.node->tables);
  // Default Reducer 0.5 and SpecalValue 120: (100, 100, 100) becomes 50 + noise 1..119.
  const uint16_t grey = a.At(7, 4);
  const int red = grey >> 11;
  EXPECT_GE(red, 51 >> 3);
  EXPECT_LE(red, 169 >> 3);
  EXPECT_EQ(grey & 0x1F, red);
}

TEST_F(ColourTables, LightBuildersRewriteTheNodeInPlace) {
  Built list;
  ASSERT_TRUE(BuildTablesNormal(16, &list.node, palette.data()));
  ShadeTableList* second = nullptr;
  ASSERT_TRUE(BuildTablesNormal(16, &second, palette.data()));
  list.node->next = second;
  ASSERT_TRUE(BuildLightTables(16, list.node, palette.data(), 0.0, 0.0, 1.0));
  EXPECT_EQ(list.node->next, second);
  EXPECT_EQ(list.At(7, 4), PackColour(100, 100, 200));  // blue doubled where red or green lit
  ASSERT_TRUE(BuildWideLightTables(8, second, palette.data(), 1.0, 0.0, 0.0));
  EXPECT_TRUE(second->wide);
  EXPECT_EQ(second->tableCount, 4);
  EXPECT_EQ(second->WideTable(3)[2], PackColour(255, 0, 0));  // red 400 limited to 255
}

TEST_F(ColourTables, SettersStoreTheLightParameters) {
  SetLightCurve(7);
  SetColourFactor(3);
  SetLightPower(1.5);
  SetColourPower(0.5);
  SetUWLightCurve(9);
  SetUWColourFactor(4);
  SetUWLightPower(2.5);
  SetUWColourPower(3.5);
  EXPECT_EQ(g_lightCurve, 7);
  EXPECT_EQ(g_colourFactor, 3);
  EXPECT_EQ(g_lightPower, 1.5);
  EXPECT_EQ(g_colourPower, 0.5);
  EXPECT_EQ(g_uwLightCurve, 9);
  EXPECT_EQ(g_uwColourFactor, 4);
  EXPECT_EQ(g_uwLightPower, 2.5);
  EXPECT_EQ(g_uwColourPower, 3.5);
  Built b;
  BuildTablesNormal(4, &b.node, palette.data());
  EXPECT_DOUBLE_EQ(g_lightWeight, std::pow(7.0, 1.5));
  EXPECT_DOUBLE_EQ(g_colourWeight, std::pow(3.0, 0.5));
}

}  // namespace
