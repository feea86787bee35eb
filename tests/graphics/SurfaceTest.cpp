#include <gtest/gtest.h>

#include <vector>

#include "GraphicsFixtures.h"
#include "platform/Display.h"
#include "support/TestSupport.h"

using graphics_test::MakeSurface;
using graphics_test::PixelAt;
using graphics_test::Pixels;
using graphics_test::SetPixels;

namespace {

// A 4 x 4 source whose pixels are 1..16, with 7 as the colour key.
void MakeSource(CSurface& source) {
  MakeSurface(source, 4, 4);
  std::vector<uint16_t> values;
  for (uint16_t i = 1; i <= 16; ++i) values.push_back(i);
  SetPixels(source, values);
  platform::SetColourKey(source.surface2, 7);
}

// What a copy of the whole source to (x, y) must leave on a 6 x 6 destination of zeros.
std::vector<uint16_t> Expected(int atX, int atY, bool keyed) {
  std::vector<uint16_t> out(36, 0);
  for (int sy = 0; sy < 4; ++sy) {
    for (int sx = 0; sx < 4; ++sx) {
      int dx = atX + sx, dy = atY + sy;
      uint16_t value = static_cast<uint16_t>(sy * 4 + sx + 1);
      if (dx < 0 || dy < 0 || dx >= 6 || dy >= 6 || (keyed && value == 7)) continue;
      out[dy * 6 + dx] = value;
    }
  }
  return out;
}

struct Placement {
  int x, y;
};

class ClippedBlits : public ::testing::TestWithParam<Placement> {};

TEST_P(ClippedBlits, CopyOnlyWhatLiesOnTheDestination) {
  const Placement& at = GetParam();
  for (bool keyed : {false, true}) {
    CSurface source, destination;
    MakeSource(source);
    MakeSurface(destination, 6, 6);
    if (keyed)
      source.BlitToKeyed(&destination, at.x, at.y);
    else
      source.BlitTo(&destination, at.x, at.y);
    EXPECT_EQ(Pixels(destination), Expected(at.x, at.y, keyed)) << "keyed " << keyed;
  }
}

INSTANTIATE_TEST_SUITE_P(EveryEdge, ClippedBlits,
                         ::testing::Values(Placement{1, 1}, Placement{-2, 1}, Placement{1, -3}, Placement{4, 1},
                                           Placement{1, 5}, Placement{-3, -3}, Placement{5, 5}, Placement{6, 0},
                                           Placement{0, -4}));

TEST(Surface, RectangleCopiesTakeThePartAndANullRectangleTheWhole) {
  CSurface source, destination;
  MakeSource(source);
  MakeSurface(destination, 6, 6);
  platform::Rect part{1, 1, 3, 3};  // 6 7 / 10 11
  source.BlitRectToKeyed(&destination, &part, 0, 0);
  EXPECT_EQ(PixelAt(destination, 0, 0), 6);
  EXPECT_EQ(PixelAt(destination, 1, 0), 0);  // the key
  EXPECT_EQ(PixelAt(destination, 1, 1), 11);
  source.BlitRectTo(&destination, nullptr, 2, 2);
  EXPECT_EQ(PixelAt(destination, 5, 5), 16);
}

TEST(Surface, StretchDoublesEveryPixelAndKeepsTheKeyOut) {
  CSurface source, destination;
  MakeSource(source);
  MakeSurface(destination, 8, 8);
  platform::Rect from{0, 0, 4, 4}, to{0, 0, 8, 8};
  source.StretchBlitToKeyed(&destination, &from, &to);
  EXPECT_EQ(PixelAt(destination, 0, 0), 1);
  EXPECT_EQ(PixelAt(destination, 1, 1), 1);
  EXPECT_EQ(PixelAt(destination, 7, 7), 16);
  EXPECT_EQ(PixelAt(destination, 4, 2), 0);  // 7 is the key
}

TEST(Surface, LockGivesThePixelsWithTheirPitch) {
  CSurface surface;
  MakeSurface(surface, 5, 3);
  uint16_t* pixels = surface.Lock();
  ASSERT_NE(pixels, nullptr);
  EXPECT_EQ(surface.pitch, 10);
  pixels[5 * 2 + 4] = 0x1234;
  surface.Unlock(pixels);
  EXPECT_EQ(PixelAt(surface, 4, 2), 0x1234);
  EXPECT_EQ(surface.size, 30u);
}

TEST(Surface, AnEmptySurfaceDoesNothing) {
  CSurface empty;
  EXPECT_EQ(empty.Lock(), nullptr);
  EXPECT_EQ(empty.Fill(3), 0);
  EXPECT_EQ(empty.BlitTo(&empty, 0, 0), 0);
  EXPECT_EQ(empty.GetColourKey(), 0);
  empty.Release();
}

TEST(Surface, ReleasingTheFirstOfThreeRenumbersTheOthers) {
  CSurface a, b, c;
  int before = g_liveSurfaceCount;
  MakeSurface(a, 2, 2);
  MakeSurface(b, 2, 2);
  MakeSurface(c, 2, 2);
  a.Release();
  EXPECT_EQ(g_liveSurfaceCount, before + 2);
  EXPECT_EQ(b.liveIndex, before);
  EXPECT_EQ(c.liveIndex, before + 1);
  EXPECT_EQ(g_liveSurfaces[before], &b);
  EXPECT_EQ(g_liveSurfaces[before + 2], nullptr);
}

TEST(Surface, AFullTableCreatesNothingAndAnswersNoSize) {
  const int before = g_liveSurfaceCount;
  std::vector<CSurface> surfaces(kMaxLiveSurfaces + 1);
  int created = 0;
  for (CSurface& s : surfaces) {
    SurfaceDesc desc{kDescCaps | kDescWidth | kDescHeight, kCapsOffscreenPlain, 2, 2, 0};
    if (s.Create(&desc) > 0) ++created;
  }
  EXPECT_EQ(created, kMaxLiveSurfaces - before);
  EXPECT_FALSE(surfaces.back().IsCreated());
  EXPECT_EQ(g_liveSurfaceCount, kMaxLiveSurfaces);
}

TEST(Surface, ColourKeysFollowThePixelFormat) {
  CSurface surface;
  MakeSurface(surface, 2, 2);
  {
    graphics_test::PixelFormatScope format(true);
    EXPECT_FALSE(surface.SetColourKey(255, 255, 255));
    EXPECT_EQ(surface.GetColourKey(), 0x7FFF);
  }
  EXPECT_FALSE(surface.SetColourKey(255, 255, 255));
  EXPECT_EQ(surface.GetColourKey(), 0xFFFF);
  EXPECT_TRUE(surface.SetColourKey(0, 0, 0));
}

class Redraw : public CSurfaceRestorer {
 public:
  explicit Redraw(CSurface& s) : surface(s) {}
  void RestoreSurface(int reason) override {
    ++calls;
    surface.Fill(0x0042);
  }
  CSurface& surface;
  int calls = 0;
};

TEST(LostSurfaces, ACopyRestoresBothEndsRedrawsAndSetsTheKeyAgain) {
  CSurface source, destination;
  MakeSurface(source, 2, 2);
  MakeSurface(destination, 2, 2);
  source.SetColourKey(0, 0, 0);
  Redraw redraw(source);
  source.restorer = &redraw;
  g_useColourKeys = 1;
  platform::LoseAllSurfaces();
  // Forget the key on the platform side to see it set again from the stored one.
  platform::SetColourKey(source.surface2, 0x1111);
  EXPECT_EQ(source.BlitTo(&destination, 0, 0), 0);
  g_useColourKeys = 0;
  EXPECT_EQ(redraw.calls, 1);
  EXPECT_EQ(source.GetColourKey(), 0);
  EXPECT_EQ(PixelAt(destination, 1, 1), 0x0042);
}

TEST(LostSurfaces, LockRestoresAndACopyThatStaysLostGivesUp) {
  CSurface source, destination;
  MakeSurface(source, 2, 2);
  MakeSurface(destination, 2, 2);
  Redraw redraw(source);
  source.restorer = &redraw;
  platform::LoseSurface(source.surface2, 1);
  uint16_t* pixels = source.Lock();
  ASSERT_NE(pixels, nullptr);
  source.Unlock(pixels);
  EXPECT_EQ(redraw.calls, 1);

  source.restorer = nullptr;
  platform::LoseSurface(source.surface2, 1000);
  testing_support::BoxRecorder boxes;
  EXPECT_EQ(testing_support::ExitCodeOf([&] { source.BlitTo(&destination, 0, 0); }), -1);
  EXPECT_EQ(source.Lock(), nullptr);
  EXPECT_EQ(boxes.Count(), 0u);
}

class QueuedBlits : public ::testing::Test {
 protected:
  void TearDown() override {
    for (QueuedBlit& entry : g_queuedBlits) entry = QueuedBlit{};
    g_queuedBlitCount = 0;
  }
};

TEST_F(QueuedBlits, RunPassByPassSoLaterPassesLandOnTop) {
  CSurface red, blue, destination;
  MakeSurface(red, 2, 2);
  MakeSurface(blue, 2, 2);
  MakeSurface(destination, 4, 4);
  red.Fill(0xF800);
  blue.Fill(0x001F);
  platform::SetColourKey(blue.surface2, 0);
  blue.QueueBlit(1, &destination, nullptr, 1, 1, 2);  // last pass, queued first
  red.QueueBlit(2, &destination, nullptr, 0, 0, 0);
  red.QueueBlit(0, &destination, nullptr, 2, 2, 1);
  EXPECT_EQ(g_queuedBlitCount, 3);
  FlushQueuedBlits();
  EXPECT_EQ(g_queuedBlitCount, 0);
  EXPECT_EQ(PixelAt(destination, 0, 0), 0xF800);
  EXPECT_EQ(PixelAt(destination, 1, 1), 0x001F);
  EXPECT_EQ(PixelAt(destination, 2, 2), 0x001F);
  EXPECT_EQ(PixelAt(destination, 3, 3), 0xF800);
}

TEST_F(QueuedBlits, AnUnknownPassStaysAndAFullTableDrops) {
  CSurface source, destination;
  MakeSurface(source, 2, 2);
  MakeSurface(destination, 2, 2);
  source.QueueBlit(2, &destination, nullptr, 0, 0, 3);
  FlushQueuedBlits();
  EXPECT_EQ(g_queuedBlitCount, 1);
  for (int i = 0; i < kMaxQueuedBlits + 5; ++i) source.QueueBlit(2, &destination, nullptr, 0, 0, 3);
  EXPECT_EQ(g_queuedBlitCount, kMaxQueuedBlits);
}

TEST_F(QueuedBlits, ANullRectangleQueuesTheWholeSource) {
  CSurface source, destination;
  MakeSurface(source, 3, 2);
  MakeSurface(destination, 3, 2);
  source.QueueBlit(2, &destination, nullptr, 0, 0, 0);
  EXPECT_EQ(g_queuedBlits[0].right, 3);
  EXPECT_EQ(g_queuedBlits[0].bottom, 2);
}

}  // namespace
