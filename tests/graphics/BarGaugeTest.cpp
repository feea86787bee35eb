#include <gtest/gtest.h>

#include "GraphicsFixtures.h"
#include "core/Bytes.h"
#include "graphics/BarGauge.h"

namespace {

uint16_t GaugePixel(const CBarGauge& gauge, int x, int y) {
  return bytes::LoadU16(gauge.pixels.data + (y * gauge.width + x) * 2);
}

TEST(BarGauge, ValueAndMaximumAreClamped) {
  CBarGauge gauge;
  EXPECT_EQ(gauge.width, 5);
  EXPECT_EQ(gauge.height, 40);
  gauge.SetValue(150);
  EXPECT_EQ(gauge.value, 100);
  EXPECT_EQ(gauge.fill, 38);
  gauge.SetMax(50);
  EXPECT_EQ(gauge.value, 50);
  gauge.SetValue(-5);
  EXPECT_EQ(gauge.value, 0);
  EXPECT_EQ(gauge.fill, 0);
  // A maximum of 0 holds only 0: the bar stays empty.
  gauge.SetMax(0);
  EXPECT_EQ(gauge.maximum, 0);
  gauge.SetValue(10);
  EXPECT_EQ(gauge.value, 0);
  EXPECT_EQ(gauge.fill, 0);
  ASSERT_TRUE(gauge.Create(5, 6));
  gauge.Render();
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(GaugePixel(gauge, x, y), 0) << x << "," << y;
  gauge.Free();
}

TEST(BarGauge, RenderDrawsABlackFrameAroundABarFromYellowToRed) {
  CBarGauge gauge;
  ASSERT_TRUE(gauge.Create(5, 6));
  EXPECT_EQ(GaugePixel(gauge, 2, 2), 31);
  gauge.SetMax(4);
  gauge.SetValue(3);  // 3 of the 4 inner rows
  gauge.Render();
  for (int x = 0; x < 5; ++x) {
    EXPECT_EQ(GaugePixel(gauge, x, 0), 0);
    EXPECT_EQ(GaugePixel(gauge, x, 1), 0);
    EXPECT_EQ(GaugePixel(gauge, x, 5), 0);
  }
  EXPECT_EQ(GaugePixel(gauge, 0, 2), 0);
  EXPECT_EQ(GaugePixel(gauge, 2, 2), 0xFFE0);                   // green 255: yellow
  EXPECT_EQ(GaugePixel(gauge, 2, 3), 0xF800 + (169 / 4) * 32);  // 255 - (255 / 3 + 1)
  EXPECT_EQ(GaugePixel(gauge, 2, 4), 0xF800 + (83 / 4) * 32);
  EXPECT_EQ(GaugePixel(gauge, 4, 4), 0);
  {
    graphics_test::PixelFormatScope format(true);
    gauge.Render();
    EXPECT_EQ(GaugePixel(gauge, 2, 2), 0x7C00 + (255 / 8) * 32);
  }
  gauge.SetValue(0);
  gauge.Render();
  EXPECT_EQ(GaugePixel(gauge, 2, 2), 0);
  gauge.Free();
}

TEST(BarGauge, PrintClipsToTheTargetOrToTheMapView) {
  CBarGauge gauge;
  ASSERT_TRUE(gauge.Create(2, 3));
  gauge.SetValue(100);
  gauge.Render();
  std::vector<uint16_t> frame(4 * 4, 0x5555);
  g_gaugeTarget = GaugeTarget{reinterpret_cast<uint8_t*>(frame.data()), 8, 4};
  gauge.SetPosition(3, 2);
  gauge.Print();  // one column, two rows land
  EXPECT_EQ(frame[2 * 4 + 3], 0);
  EXPECT_EQ(frame[3 * 4 + 3], 0);
  EXPECT_EQ(frame[2 * 4 + 2], 0x5555);

  std::fill(frame.begin(), frame.end(), 0x5555);
  g_mapViewShown = 1;
  g_mapViewClip[0] = 0;
  g_mapViewClip[1] = 0;
  g_mapViewClip[2] = 4;
  g_mapViewClip[3] = 3;
  gauge.SetPosition(0, 1);
  gauge.Print();
  g_mapViewShown = 0;
  g_gaugeTarget = GaugeTarget{};
  EXPECT_EQ(frame[1 * 4 + 0], 0);
  EXPECT_EQ(frame[3 * 4 + 0], 0x5555);  // below the map view
}

}  // namespace
