#include <gtest/gtest.h>

#include "PrintFixture.h"
#include "core/Options.h"
#include "graphics/Frame16.h"
#include "graphics/SpritePrinter.h"

using namespace print_test;

namespace {

int bytes_of(const std::vector<uint8_t>& v, size_t at) { return v[at] | (v[at + 1] << 8); }

forge::Canvas Coloured(int width, int height) {
  forge::Canvas c = Blob(width, height);
  c.Remap([](int v) { return (v * 2654435761u) & 0xFFFF; });
  return c;
}

TEST(Frame16, GreyOfPureColours) {
  EXPECT_EQ(GreyPixel(0xF800), 0x528A);
  EXPECT_EQ(GreyPixel(0xFFFF), 0xFFDF);
  EXPECT_EQ(GreyPixel(0x0000), 0x0000);
  g_is555 = 1;
  g_redMask = 0x7C00;
  g_greenMask = 0x03E0;
  EXPECT_EQ(GreyPixel(0x7FFF), 0x7FFF);
  EXPECT_EQ(GreyPixel(0x7C00), (10 << 10) | (10 << 5) | 10);
  g_is555 = 0;
  g_redMask = 0xF800;
  g_greenMask = 0x07E0;
}

TEST(Frame16, PlainAndGreyPrintsAtClipEdges) {
  Frame frame(Coloured(12, 9), 2, 2, -1);
  const CSpriteFrame view = frame.View(nullptr);
  ASSERT_TRUE(ValidateFrame(frame.bytes.data(), frame.bytes.size(), 0, FrameRules{0, 0}));
  struct {
    int x, y;
    bool crosses;
  } places[] = {{10, 10, false}, {2, 10, true}, {28, 10, true}, {10, 2, false}, {10, 23, false}, {40, 40, false}};
  for (const auto& place : places) {
    for (bool grey : {false, true}) {
      Target target(32, 24), expected(32, 24);
      SetSpriteClipRect(1, 1, 30, 22);
      ReferencePrint(expected, frame.canvas, place.x - 2, place.y - 2, [&](int v, uint16_t) {
        // A greyed frame crossing a side of the clip keeps its own colours.
        return grey && !place.crosses ? GreyPixel(static_cast<uint16_t>(v)) : static_cast<uint16_t>(v);
      });
      SetSpriteTarget(target.pixels.data(), 32, 24);
      EXPECT_EQ(grey ? PrintFrame16Grey(view, place.x, place.y) : PrintFrame16(view, place.x, place.y), 0);
      EXPECT_EQ(target.pixels, expected.pixels) << place.x << "," << place.y << " grey " << grey;
    }
  }
}

TEST(Frame16, HiddenWhileTheOptionIsSetExceptThroughThePointer) {
  Frame frame(Coloured(6, 6), 0, 0, -1);
  Target target(8, 8);
  g_hide_HC_sprites = 1;
  PrintFrame16(frame.View(nullptr), 1, 1);
  PrintFrame16Grey(frame.View(nullptr), 1, 1);
  EXPECT_EQ(target.pixels, std::vector<uint16_t>(64, kBackground));
  // Through PrintSpriteFrame the frame goes to g_printFrame16; a tuned printer there still
  // draws. The portable one in the pointer follows the option.
  MaskPrinter saved = g_printFrame16;
  static int calls;
  calls = 0;
  g_printFrame16 = [](CSpriteFrame, int, int) -> PrintResult {
    ++calls;
    return 0;
  };
  PrintSpriteFrame(frame.View(nullptr), 1, 1, 0, 0);
  g_printFrame16 = saved;
  g_hide_HC_sprites = 0;
  EXPECT_EQ(calls, 1);
}

TEST(Frame16, ShadeFrameToCacheDoublesThePixelBlock) {
  // One row of width 5: skip 1, count 3, skip 1. Row table 40..47, controls 48..51;
  // pixels start at 60 (eight bytes of slack before them, as some writers leave).
  std::vector<uint8_t> f(63, 0);
  StoreI32(f.data() + 4, 5);
  StoreI32(f.data() + 8, 1);
  StoreI32(f.data() + 28, 0);
  StoreI32(f.data() + 32, 63);
  StoreI32(f.data() + 40, 48);
  StoreI32(f.data() + 44, 60);
  f[48] = 1;
  f[49] = 3;
  f[50] = 1;
  f[60] = 10;
  f[61] = 20;
  f[62] = 30;
  ASSERT_TRUE(ValidateFrame(f.data(), f.size(), 0, FrameRules{1, 0}));
  TableList list;
  const CSpriteFrame source{f.data(), list.head};
  EXPECT_EQ(ShadedFrameSize(source), 66u);
  std::vector<uint8_t> copy(66, 0xEE);
  EXPECT_EQ(ShadeFrameToCache(source, copy.data(), 65, 0, 0), -1);  // too small: nothing written
  EXPECT_EQ(copy[0], 0xEE);
  ASSERT_EQ(ShadeFrameToCache(source, copy.data(), copy.size(), -17, 0), 0);
  EXPECT_EQ(LoadI32(copy.data() + 28), -1);
  EXPECT_EQ(LoadI32(copy.data() + 44), 60);
  EXPECT_EQ(bytes_of(copy, 60), 0x600 | 10);
  EXPECT_EQ(bytes_of(copy, 62), 0x600 | 20);
  EXPECT_EQ(bytes_of(copy, 64), 0x600 | 30);
  ASSERT_TRUE(ValidateFrame(copy.data(), copy.size(), 0, FrameRules{0, 0}));

  Target target(8, 2);
  PrintFrame16(CSpriteFrame{copy.data(), nullptr}, 0, 0);
  EXPECT_EQ(target.At(0, 0), kBackground);
  EXPECT_EQ(target.At(1, 0), 0x60A);
  EXPECT_EQ(target.At(3, 0), 0x61E);
  EXPECT_EQ(target.At(4, 0), kBackground);

  EXPECT_EQ(ShadeFrameToCache(source, copy.data(), copy.size(), 0, 5), -1);  // no such list node
}

}  // namespace
