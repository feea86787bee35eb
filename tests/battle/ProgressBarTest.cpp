// The loading bar: how far each step fills it, what the screen shows while it fills, and the
// end of the program when its art is missing. A picture of the bar part-filled over a black
// screen goes to the test output for a person to look at.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "PanelTestSupport.h"
#include "SelectPanelFixtures.h"
#include "battle/ProgressBar.h"
#include "core/Options.h"
#include "graphics/Display.h"
#include "support/Png.h"
#include "support/TestSupport.h"

using namespace panel_test;

namespace {

class ProgressBarTest : public PanelDisplay {
 protected:
  void SetUp() override {
    PanelDisplay::SetUp();
    std::memcpy(savedRealm_, g_realmName, sizeof savedRealm_);
    std::snprintf(g_realmName, sizeof g_realmName, "%s", "moorland");
  }
  void TearDown() override {
    bar_.Release();
    std::memcpy(g_realmName, savedRealm_, sizeof savedRealm_);
    PanelDisplay::TearDown();
  }
  // The primary surface's pixel.
  static uint16_t ScreenPixel(int x, int y) {
    uint16_t* pixels = g_primary.Lock();
    if (!pixels) return 0;
    const uint16_t value =
        reinterpret_cast<const uint16_t*>(reinterpret_cast<const uint8_t*>(pixels) + y * g_primary.pitch)[x];
    g_primary.Unlock(pixels);
    return value;
  }
  static uint16_t SurfacePixel(CSurface& surface, int x, int y) {
    uint16_t* pixels = surface.Lock();
    if (!pixels) return 0;
    const uint16_t value =
        reinterpret_cast<const uint16_t*>(reinterpret_cast<const uint8_t*>(pixels) + y * surface.pitch)[x];
    surface.Unlock(pixels);
    return value;
  }
  InFolder folder_{testing_support::ForgedDataDir()};
  CProgressBar bar_;
  char savedRealm_[256] = {};
};

TEST_F(ProgressBarTest, SevenStepsOf85FillToTheEndAndExtraStepsIdle) {
  bar_.Start(101, 564, 7);
  EXPECT_EQ(bar_.stepWidth, 85);
  EXPECT_EQ(bar_.fillEnd, 0);
  const int expected[] = {85, 170, 255, 340, 425, 510, 598, 598, 598};
  for (int step = 0; step < 9; ++step) {
    bar_.Step();
    EXPECT_EQ(bar_.fillEnd, expected[step]) << "step " << step + 1;
  }
  EXPECT_EQ(bar_.stepsDone, 9);
}

TEST_F(ProgressBarTest, StepWidthsForOtherCounts) {
  // {steps, step width, fill after the second to last step}: a bar of fewer than 1 step is one
  // of 598; with 598 steps of 1, the fill one pixel short of the end counts as the end.
  struct Case {
    int steps, width, beforeLast;
  };
  const Case cases[] = {{0, 598, 0}, {-3, 598, 0}, {1, 598, 0}, {2, 299, 299}, {48, 12, 564}, {598, 1, 598}};
  for (const Case& c : cases) {
    bar_.Start(0, 0, c.steps);
    EXPECT_EQ(bar_.stepWidth, c.width) << c.steps;
    for (int s = 1; s < bar_.steps; ++s) bar_.Step();
    EXPECT_EQ(bar_.fillEnd, c.beforeLast) << c.steps;
    bar_.Step();
    EXPECT_EQ(bar_.fillEnd, 598) << c.steps;
  }
}

TEST_F(ProgressBarTest, TheScreenShowsColourUpToTheFillAndGreyBeyond) {
  g_primary.Fill(0);
  bar_.Start(101, 564, 7);
  for (int step = 0; step < 3; ++step) bar_.Step();
  // Left of the fill the screen shows the colour picture; right of it the grey one.
  int colourMatches = 0, greyMatches = 0;
  for (int x = 0; x < 598; x += 7) {
    const uint16_t shown = ScreenPixel(101 + x, 564 + 30);
    if (x < 255) colourMatches += shown == SurfacePixel(bar_.colour, x, 30);
    if (x >= 255) {
      // The desaturated art: red, green and blue at about one level.
      const int r = shown >> 11, g = (shown >> 6) & 31, b = shown & 31;
      greyMatches += std::abs(r - g) <= 2 && std::abs(g - b) <= 3;
    }
  }
  EXPECT_EQ(colourMatches, (255 + 6) / 7);
  EXPECT_GE(greyMatches, (598 - 255) / 7 - 1);
  // Outside the picture the screen is as it was.
  EXPECT_EQ(ScreenPixel(100, 580), 0);
  EXPECT_EQ(ScreenPixel(101, 563), 0);

  std::vector<uint16_t> screen;
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 800; ++x) screen.push_back(ScreenPixel(x, y));
  const std::string path = testing_support::TestOutputDir() + "/loading-bar.png";
  EXPECT_TRUE(testing_support::WritePng565(path, 800, 600, screen));
  std::printf("loading bar: %s\n", path.c_str());
}

TEST_F(ProgressBarTest, MissingArtEndsTheProgramWithItsBox) {
  std::snprintf(g_realmName, sizeof g_realmName, "%s", "Nowhere");
  testing_support::BoxRecorder boxes;
  EXPECT_EQ(testing_support::ExitCodeOf([&] { bar_.Start(21, 444, 48); }), 1);
  ASSERT_EQ(boxes.Count(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].caption, "INITIALISATION ERROR");
  EXPECT_EQ(boxes.Boxes()[0].text, "Could not load interface\\ProgressIndicator\\Nowhere Progress Bar Desaturated.JPG");
}

TEST_F(ProgressBarTest, StepsWithoutPicturesDoNothing) {
  bar_.Step();
  EXPECT_EQ(bar_.stepsDone, 0);
  EXPECT_EQ(bar_.fillEnd, 0);
}

}  // namespace
