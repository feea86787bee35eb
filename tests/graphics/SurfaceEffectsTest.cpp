#include <gtest/gtest.h>

#include <vector>

#include "GraphicsFixtures.h"

using graphics_test::MakeSurface;
using graphics_test::PixelAt;
using graphics_test::Pixels;
using graphics_test::SetPixels;
using Grid = std::vector<uint16_t>;

namespace {

TEST(SurfaceEffects, HighlightMovesHalfwayToWhiteInBothFormatsAndIsClipped) {
  CSurface surface;
  MakeSurface(surface, 3, 3);
  surface.HighlightRect(platform::Rect{1, 1, 5, 5});
  EXPECT_EQ(Pixels(surface), (Grid{0, 0, 0, 0, 0x8410, 0x8410, 0, 0x8410, 0x8410}));
  surface.Fill(0xFFFF);
  surface.HighlightRect(platform::Rect{0, 0, 1, 1});
  EXPECT_EQ(PixelAt(surface, 0, 0), 0xFFFF);

  graphics_test::PixelFormatScope format(true);
  surface.Fill(0);
  surface.HighlightRect(platform::Rect{0, 0, 1, 1});
  EXPECT_EQ(PixelAt(surface, 0, 0), 0x4210);
}

TEST(SurfaceEffects, HighlightFrameTouchesEachBorderPixelOnceAndClips) {
  CSurface surface;
  MakeSurface(surface, 3, 3);
  surface.HighlightFrame(platform::Rect{0, 0, 2, 2});
  const uint16_t h = 0x8410;
  EXPECT_EQ(Pixels(surface), (Grid{h, h, h, h, 0, h, h, h, h}));
  surface.Fill(0);
  surface.HighlightFrame(platform::Rect{1, 1, 4, 4});  // right and bottom edges fall outside
  EXPECT_EQ(Pixels(surface), (Grid{0, 0, 0, 0, h, h, 0, h, 0}));
}

TEST(SurfaceEffects, BevelLightensNearEdgesAndDarkensFarOnesWhenReversed) {
  CSurface surface;
  MakeSurface(surface, 6, 6);
  surface.Fill(0x8410);  // 128 in every channel
  surface.x = 10;
  surface.y = 20;
  surface.DrawBevel(platform::Rect{10, 20, 16, 26}, 50, 1, 1);
  const uint16_t F = 0xFFFF, C = 0xC618, M = 0x8410, D = 0x4208, E = 0x2104;
  EXPECT_EQ(Pixels(surface), (Grid{F, F, C, C, C, C,  //
                                   F, F, C, C, C, C,  //
                                   C, C, M, M, D, D,  //
                                   C, C, M, M, D, D,  //
                                   C, C, D, D, E, E,  //
                                   C, C, D, D, E, E}));
  surface.Fill(0x8410);
  surface.DrawBevel(platform::Rect{13, 23, 30, 30}, 50, 0, 0);  // sunken, clipped at the far sides
  EXPECT_EQ(PixelAt(surface, 3, 3), E);
  EXPECT_EQ(PixelAt(surface, 5, 3), D);
  EXPECT_EQ(PixelAt(surface, 2, 2), M);
}

TEST(SurfaceEffects, GreyRectTurnsAllButTheKeyDarkGrey) {
  CSurface surface;
  MakeSurface(surface, 4, 1);
  SetPixels(surface, {0xF800, 0x0000, 0xF81F, 0xFFFF});
  surface.GreyRect(255, 0, 255, nullptr);
  EXPECT_EQ(Pixels(surface), (Grid{0x2945, 0x0020, 0xF81F, 0x7BEF}));
  SetPixels(surface, {0xF800, 0xF800, 0xF800, 0xF800});
  platform::Rect part{1, 0, 3, 1};
  surface.GreyRect(255, 0, 255, &part);
  EXPECT_EQ(Pixels(surface), (Grid{0xF800, 0x2945, 0x2945, 0xF800}));
}

TEST(SurfaceEffects, DimHalvesEveryChannel) {
  CSurface surface;
  MakeSurface(surface, 3, 1);
  SetPixels(surface, {0xFFFF, 0xF800, 0x0841});
  surface.Dim();
  EXPECT_EQ(Pixels(surface), (Grid{0x7BEF, 0x7800, 0x0020}));
}

TEST(SurfaceEffects, SnapToColourKeyTakesPixelsCloserThanThreeTolerances) {
  CSurface surface;
  MakeSurface(surface, 4, 1);
  SetPixels(surface, {0x0800, 0x1000, 0x0020, 0x0041});
  surface.SnapToColourKey(0, 0, 0, 2);
  EXPECT_EQ(Pixels(surface), (Grid{0, 0x1000, 0, 0x0041}));
}

TEST(SurfaceEffects, GradientsStepFromTheFirstColourToTheSecond) {
  CSurface surface;
  MakeSurface(surface, 4, 3);
  surface.FillGradientH(0, 0, 4, 1, 0, 0, 0, 248, 0, 0);
  EXPECT_EQ(Pixels(surface), (Grid{0, 0x5000, 0xA000, 0xF800, 0, 0, 0, 0, 0, 0, 0, 0}));
  surface.Fill(0);
  surface.FillGradientH(4, 0, 0, 1, 0, 0, 0, 248, 0, 0);  // ends given in reverse order
  EXPECT_EQ(PixelAt(surface, 3, 0), 0xF800);
  surface.Fill(0);
  surface.FillGradientV(0, 0, 1, 3, 0, 0, 0, 0, 0, 248);
  EXPECT_EQ(Pixels(surface), (Grid{0, 0, 0, 0, 15, 0, 0, 0, 31, 0, 0, 0}));
  surface.Fill(7);
  surface.FillGradientV(0, 0, 0, 3, 0, 0, 0, 0, 0, 248);  // no width: nothing
  EXPECT_EQ(PixelAt(surface, 0, 0), 7);
}

}  // namespace
