// The gradient and sprite bars: the fill and the mark in pixels, both orientations, values
// kept within the range, the cells of a sprite bar, and the test layout screen with its bars
// written as a picture for a person to look at.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "UiTestSupport.h"
#include "forge/Canvas.h"
#include "forge/SpriteWriter.h"
#include "graphics/GraphicsFixtures.h"
#include "graphics/PixelFormat.h"
#include "graphics/Sprite.h"
#include "support/Png.h"
#include "ui/LayoutScreen.h"
#include "ui/MenuScreen.h"
#include "ui/ValueBars.h"

namespace {

using graphics_test::PixelAt;

constexpr uint16_t kBackground = 0x0841;
constexpr uint16_t kRed = 0xF800, kGreen = 0x07E0;  // 5-6-5, the display's layout

// A sprite of 16-bit frames of one colour each, with the hotspot at the top left.
struct FlatFrame {
  int width, height;
  uint16_t colour;
};
std::unique_ptr<CSprite> MakeFlatSprite(const std::vector<FlatFrame>& frames) {
  forge::SpriteFileWriter writer;
  for (const FlatFrame& f : frames) {
    forge::Canvas canvas(f.width, f.height);
    canvas.Fill(f.colour);
    writer.AddFrame(forge::EncodeFrame(canvas, 0, 0, -1));
  }
  auto sprite = std::make_unique<CSprite>();
  EXPECT_TRUE(sprite->LoadImage(writer.Bytes(), 0, "bars.spr"));
  return sprite;
}

// A bar over a 0-400 range in the 200-pixel rectangle (10, 10)-(210, 20), start colour red
// and end colour red too (so the fill is one colour), mark green.
CGradientBar RedBar() {
  CGradientBar bar;
  bar.Init();
  bar.x0 = 10;
  bar.y0 = 10;
  bar.x1 = 210;
  bar.y1 = 20;
  bar.startRed = bar.endRed = 255;
  bar.startGreen = bar.startBlue = bar.endGreen = bar.endBlue = 0;
  bar.markRed = bar.markBlue = 0;
  bar.markGreen = 255;
  return bar;
}

// The columns of row y from x0 on whose pixel is the colour, counted until the first other.
int RunOf(CSurface& surface, int x0, int y, uint16_t colour) {
  int n = 0;
  while (x0 + n < surface.width && PixelAt(surface, x0 + n, y) == colour) ++n;
  return n;
}

class ValueBars : public ui_test::UiScreen {
 protected:
  void SetUp() override {
    UiScreen::SetUp();
    graphics_test::MakeSurface(surface_, 400, 220);
    surface_.Fill(kBackground);
  }
  void TearDown() override {
    surface_.Release();
    UiScreen::TearDown();
  }
  CSurface surface_;
  const uint16_t red_ = PackColour(255, 0, 0), green_ = PackColour(0, 255, 0);
};

TEST_F(ValueBars, HorizontalFillAndMarkFollowTheValuesWithinTheRange) {
  struct Case {
    const char* name;
    int minimum, maximum, value, second;
    int filled, mark;  // pixels
  };
  const Case cases[] = {
      {"half of 0-400 in 200 pixels fills 100", 0, 400, 200, 200, 100, 0},
      {"an equal second value draws no mark", 0, 400, 100, 100, 50, 0},
      {"the mark runs from the value to the second value", 0, 400, 100, 300, 50, 100},
      {"a minimum of 100 puts the mark at the right place", 100, 500, 300, 400, 100, 50},
      {"a second value below the value draws no mark", 0, 400, 300, 100, 150, 0},
      {"values beyond the range are kept inside it", 0, 400, 900, 1200, 200, 0},
      {"a value below the minimum fills nothing", 100, 500, -50, 300, 0, 100},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    surface_.Fill(kBackground);
    CGradientBar bar = RedBar();
    bar.minimum = c.minimum;
    bar.maximum = c.maximum;
    bar.value = c.value;
    bar.secondValue = c.second;
    bar.Draw(&surface_);
    EXPECT_EQ(RunOf(surface_, 10, 15, red_), c.filled);
    EXPECT_EQ(RunOf(surface_, 10 + c.filled, 15, green_), c.mark);
    EXPECT_NE(PixelAt(surface_, 10 + c.filled + c.mark, 12), green_);
    EXPECT_EQ(PixelAt(surface_, 10, 9), kBackground);  // nothing above the rectangle
  }
}

TEST_F(ValueBars, VerticalFillsFromTheBottomAndMarksAbove) {
  CGradientBar bar = RedBar();
  bar.orientation = CGradientBar::kVertical;
  bar.x0 = 20;
  bar.x1 = 30;
  bar.y0 = 10;
  bar.y1 = 210;
  bar.minimum = 100;
  bar.maximum = 500;
  bar.value = 300;        // half: 100 pixels up from 210
  bar.secondValue = 400;  // a quarter more: 50 pixels above the fill
  bar.Draw(&surface_);
  EXPECT_EQ(PixelAt(surface_, 25, 209), red_);
  EXPECT_EQ(PixelAt(surface_, 25, 110), red_);
  EXPECT_EQ(PixelAt(surface_, 25, 109), green_);
  EXPECT_EQ(PixelAt(surface_, 25, 60), green_);
  EXPECT_EQ(PixelAt(surface_, 25, 59), kBackground);
  EXPECT_EQ(PixelAt(surface_, 19, 150), kBackground);
}

TEST_F(ValueBars, ARangeOfNoWidthOrAnUnknownOrientationDrawsNothing) {
  const std::vector<uint16_t> before = graphics_test::Pixels(surface_);
  CGradientBar flat = RedBar();
  flat.minimum = flat.maximum = 200;
  flat.Draw(&surface_);
  CGradientBar upsideDown = RedBar();
  upsideDown.minimum = 400;
  upsideDown.maximum = 0;
  upsideDown.Draw(&surface_);
  CGradientBar sideways = RedBar();
  sideways.orientation = 2;
  sideways.Draw(&surface_);
  EXPECT_EQ(graphics_test::Pixels(surface_), before);
}

TEST_F(ValueBars, TheRampRunsFromTheStartColourToTheEndColour) {
  CGradientBar bar;
  bar.Init();
  bar.x0 = 0;
  bar.y0 = 0;
  bar.x1 = 200;
  bar.y1 = 8;
  bar.value = bar.secondValue = 400;
  bar.Draw(&surface_);
  EXPECT_EQ(PixelAt(surface_, 0, 4), PackColour(0, 0, 0));
  EXPECT_EQ(PixelAt(surface_, 199, 4), PackColour(255, 255, 255));
}

TEST_F(ValueBars, SpriteBarPrintsFilledCellsThenEmptyOnes) {
  auto sprite = MakeFlatSprite({{4, 6, kRed}, {2, 6, kGreen}});
  struct Case {
    const char* name;
    int first, filledEnd, allEnd;
    std::string row;  // R a filled cell's pixel, G an empty one's, . the background
  };
  const Case cases[] = {
      {"two filled, two empty", 0, 2, 4, "RRRR.RRRR.GG.GG."},
      {"the first cell at the filled end prints only empty cells", 3, 3, 6, "GG.GG.GG........"},
      {"a filled end beyond all cells stops at all cells", 0, 9, 2, "RRRR.RRRR......."},
      {"no cells", 5, 5, 5, "................"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    surface_.Fill(kBackground);
    CSpriteBar bar;
    bar.Init();
    bar.x = 2;
    bar.y = 3;
    bar.first = c.first;
    bar.filledEnd = c.filledEnd;
    bar.allEnd = c.allEnd;
    bar.sprite = sprite.get();
    bar.Draw(&surface_);
    std::string row;
    for (int x = 2; x < 18; ++x) {
      const uint16_t p = PixelAt(surface_, x, 5);
      row += p == kRed ? 'R' : p == kGreen ? 'G' : '.';
    }
    EXPECT_EQ(row, c.row);
  }
}

TEST_F(ValueBars, AVerticalSpriteBarStepsByTheFrameHeight) {
  auto sprite = MakeFlatSprite({{4, 3, kRed}, {4, 2, kGreen}});
  CSpriteBar bar;
  bar.Init();
  bar.orientation = CSpriteBar::kVertical;
  bar.x = 5;
  bar.y = 0;
  bar.first = 0;
  bar.filledEnd = 1;
  bar.allEnd = 3;
  bar.sprite = sprite.get();
  bar.Draw(&surface_);
  std::string column;
  for (int y = 0; y < 11; ++y) {
    const uint16_t p = PixelAt(surface_, 6, y);
    column += p == kRed ? 'R' : p == kGreen ? 'G' : '.';
  }
  EXPECT_EQ(column, "RRR.GG.GG..");
}

TEST_F(ValueBars, TheTestLayoutScreenShowsItsBars) {
  CLayoutScreen screen("Interface\\Test\\screen (Test).cfg");
  PushScreen(&screen);
  CWidgetBar* stat = screen.BarOf(kWidgetStatBar, 1);
  CWidgetBar* tall = screen.BarOf(kWidgetStatBar, 2);
  CWidgetBar* row = screen.BarOf(kWidgetSpriteBar, 1);
  ASSERT_TRUE(stat && tall && row);
  EXPECT_EQ(screen.BarOf(kWidgetStatBar, 3), nullptr);
  stat->SetValue(30, 42);
  tall->SetValue(220, 260);
  row->SetValue(6);
  screen.Draw();
  // The stat bar over 0-50 in 300 pixels: 30 fills 180, the mark to 42 runs 72 more.
  EXPECT_NE(PixelAt(g_backBuffer, 60 + 179, 386), PackColour(230, 190, 60));
  EXPECT_EQ(PixelAt(g_backBuffer, 60 + 180, 386), PackColour(230, 190, 60));
  EXPECT_EQ(PixelAt(g_backBuffer, 60 + 251, 386), PackColour(230, 190, 60));
  EXPECT_NE(PixelAt(g_backBuffer, 60 + 252, 386), PackColour(230, 190, 60));
  const std::string path = testing_support::TestOutputDir() + "/layout_screen_bars.png";
  ASSERT_TRUE(
      testing_support::WritePng565(path, g_backBuffer.width, g_backBuffer.height, graphics_test::Pixels(g_backBuffer)));
  PopScreen();
}

}  // namespace
