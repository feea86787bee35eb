#include <gtest/gtest.h>

#include <cstring>

#include "GraphicsFixtures.h"
#include "platform/Display.h"

using graphics_test::OpenDisplay;

namespace {

struct ModeCase {
  bool windowed;
  bool highRes;
  bool margin;
  int width, height, backWidth;
};

class DisplayModes : public ::testing::TestWithParam<ModeCase> {};

TEST_P(DisplayModes, OpensWithPrimaryAndBackBufferOfTheScreenSize) {
  const ModeCase& c = GetParam();
  OpenDisplay display(c.windowed, c.highRes, c.margin);
  ASSERT_NE(display.window, nullptr);
  EXPECT_TRUE(platform::IsDisplayOpen());
  EXPECT_EQ(g_fullScreen, c.windowed ? 0 : 1);
  EXPECT_EQ(g_paletteMode, 0);
  ASSERT_EQ(g_primarySurface, &g_primary);
  EXPECT_EQ(g_primary.width, c.width);
  EXPECT_EQ(g_primary.height, c.height);
  EXPECT_EQ(g_backBuffer.width, c.backWidth);
  EXPECT_EQ(g_backBuffer.height, c.height);
  EXPECT_EQ(g_backBufferMarginWidth, c.margin ? 96 : 0);
  EXPECT_EQ(g_backBufferMarginHeight, 0);
  EXPECT_EQ(g_liveSurfaceCount, 2);
  EXPECT_EQ(g_is555, 0);
  EXPECT_EQ(g_redMask, 0xF800);
  EXPECT_EQ(graphics_test::PixelAt(g_backBuffer, c.backWidth - 1, c.height - 1), 0);
}

INSTANTIATE_TEST_SUITE_P(WindowedAndFullScreen, DisplayModes,
                         ::testing::Values(ModeCase{true, false, false, 640, 480, 640},
                                           ModeCase{true, true, false, 800, 600, 800},
                                           ModeCase{false, false, false, 640, 480, 640},
                                           ModeCase{false, true, true, 800, 600, 896}));

TEST(Display, ShutdownReleasesEverySurfaceAndASecondCallDoesNothing) {
  OpenDisplay display(true, false);
  CSurface extra;
  graphics_test::MakeSurface(extra, 8, 8);
  EXPECT_EQ(g_liveSurfaceCount, 3);
  ShutdownDisplay();
  EXPECT_EQ(g_liveSurfaceCount, 0);
  EXPECT_EQ(g_primarySurface, nullptr);
  EXPECT_FALSE(extra.IsCreated());
  EXPECT_FALSE(platform::IsDisplayOpen());
  ShutdownDisplay();
  EXPECT_EQ(g_liveSurfaceCount, 0);
}

TEST(Display, ThePrimaryIsShownInTheWindowWhenItChanged) {
  OpenDisplay display(true, false);
  int before = platform::PresentedFrameCount();
  g_primary.Fill(0xF800);
  PresentDisplay();
  PresentDisplay();  // nothing new: nothing shown
  EXPECT_EQ(platform::PresentedFrameCount(), before + 1);
}

TEST(Display, EnumerationFindsTheDummyDisplayWithBothSizes) {
  int chosen = EnumerateDisplayDevices();
  ASSERT_GE(g_displayDeviceCount, 1);
  EXPECT_EQ(chosen, 0);
  EXPECT_EQ(g_displayDevices[0].has640x480, 1);
  EXPECT_EQ(g_displayDevices[0].has800x600, 1);
  EXPECT_GT(g_displayDevices[0].videoMemory, 0u);
  EXPECT_EQ(g_has640x480, 1);
  EXPECT_EQ(g_has800x600, 1);
}

// Fills the device table by hand: has640, has800, memory per device.
void Devices(std::initializer_list<std::array<uint32_t, 3>> devices) {
  g_displayDeviceCount = 0;
  for (const auto& d : devices) {
    int index = g_displayDeviceCount;
    OnDirectDrawDevice("device", "driver", nullptr);
    if (d[0]) OnDisplayMode(640, 480, 1280, 60, &g_displayDevices[index]);
    if (d[1]) OnDisplayMode(800, 600, 1600, 60, &g_displayDevices[index]);
    g_displayDevices[index].videoMemory = d[2];
  }
}

TEST(DisplayChoice, PassesPreferBothSizesThenTheSmallThenTheLarge) {
  Devices({{1, 0, 500}, {1, 1, 100}, {0, 1, 900}});
  EXPECT_EQ(ChooseDisplayDevice(), 1);
  EXPECT_EQ(g_has640x480, 1);
  EXPECT_EQ(g_has800x600, 1);

  Devices({{0, 1, 900}, {1, 0, 100}});
  EXPECT_EQ(ChooseDisplayDevice(), 1);
  EXPECT_EQ(g_has800x600, 0);

  Devices({{0, 0, 900}, {0, 1, 100}});
  EXPECT_EQ(ChooseDisplayDevice(), 1);
  EXPECT_EQ(g_has640x480, 0);
  EXPECT_EQ(g_has800x600, 1);

  Devices({{0, 0, 900}});
  EXPECT_EQ(ChooseDisplayDevice(), -1);
  Devices({{1, 1, 0}});  // no memory: never taken
  EXPECT_EQ(ChooseDisplayDevice(), -1);
}

TEST(DisplayChoice, EqualMemoryReplacesOnlyTheRecordAtIndexZero) {
  Devices({{1, 1, 100}, {1, 1, 100}, {1, 1, 100}});
  EXPECT_EQ(ChooseDisplayDevice(), 1);
  Devices({{0, 0, 100}, {1, 1, 100}, {1, 1, 100}});
  EXPECT_EQ(ChooseDisplayDevice(), 1);
}

TEST(DisplayChoice, AModeCountsOnlyWithItsPitchAndTheHighestRefreshIsKept) {
  CDisplayDevice device{};
  OnDisplayMode(640, 480, 1344, 85, &device);
  EXPECT_EQ(device.has640x480, 0);
  OnDisplayMode(800, 600, 1600, 60, &device);
  OnDisplayMode(800, 600, 1600, 75, &device);
  OnDisplayMode(800, 600, 1600, 0, &device);
  EXPECT_EQ(device.has800x600, 1);
  EXPECT_EQ(device.refresh800x600, 75);
}

TEST(DisplayChoice, TheTableHoldsTwentyDevicesAndLongNamesAreCut) {
  g_displayDeviceCount = 0;
  std::string longName(300, 'x');
  int answers = 0;
  for (int i = 0; i < 21; ++i) answers += OnDirectDrawDevice(longName.c_str(), "driver", nullptr);
  EXPECT_EQ(g_displayDeviceCount, 20);
  EXPECT_EQ(answers, 19);  // the 20th stops the enumeration, the 21st is not stored
  EXPECT_EQ(std::strlen(g_displayDevices[0].description), 119u);
  g_displayDeviceCount = 0;
}

}  // namespace
