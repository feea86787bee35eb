// The battle timer's dial and the control-limit counter: which dial frame a time shows, a
// time beyond the total, repainting only on a change, the forged art, and the counter's text.
#include <gtest/gtest.h>

#include <vector>

#include "PanelTestSupport.h"
#include "SelectPanelFixtures.h"
#include "battle/ChatConsole.h"
#include "battle/ControlLimitPanel.h"
#include "battle/ScrollPanel.h"
#include "battle/TimerPanel.h"
#include "support/Png.h"
#include "support/TestSupport.h"
#include "ui/SharedArt.h"

using namespace panel_test;
using graphics_test::PixelAt;

namespace {

TEST(TimerDial, FrameFollowsTheTimeLeft) {
  struct Case {
    int total, current, frame;
  };
  const Case cases[] = {{100, 50, 46}, {100, 0, 91}, {100, 100, 0}, {100, 150, 0}, {92, 91, 1}, {100, -40, 91}};
  for (const Case& c : cases) EXPECT_EQ(CTimerPanel::DialFrame(c.total, c.current), c.frame) << c.current;
}

class TimerPanels : public PanelDisplay {
 protected:
  void SetUp() override {
    PanelDisplay::SetUp();
    LoadSharedFontsAndButtons();
  }
  void TearDown() override {
    g_timerPanel.Release();
    g_controlLimitPanel.Release();
    FreeSharedButtons();
    PanelDisplay::TearDown();
  }
  InFolder data_{testing_support::ForgedDataDir()};
  DisplayPrefs prefs_{1, 0};
};

TEST_F(TimerPanels, ATimeBeyondTheTotalShowsTheFullDialAndBecomesTheTotal) {
  g_timerPanel.Load();
  EXPECT_EQ(g_timerPanel.surface.x, 704);
  EXPECT_EQ(g_timerPanel.surface.y, 422);
  EXPECT_EQ(g_timerPanel.dial.FrameCount(), kTimerDialFrames);
  g_timerPanel.Start(100);
  EXPECT_EQ(g_timerPanel.LastFrame(), 0);
  g_timerPanel.SetTime(50);
  EXPECT_EQ(g_timerPanel.LastFrame(), 46);
  g_timerPanel.SetTime(150);
  EXPECT_EQ(g_timerPanel.LastFrame(), 0);
  EXPECT_EQ(g_timerPanel.Total(), 100);
  g_timerPanel.SetTime(75);  // the total is raised to 150 first
  EXPECT_EQ(g_timerPanel.Total(), 150);
  EXPECT_EQ(g_timerPanel.LastFrame(), 46);
}

TEST_F(TimerPanels, AnEqualTimeOrFrameDoesNotRepaint) {
  g_timerPanel.Load();
  g_timerPanel.Start(100);
  g_timerPanel.SetTime(50);
  const platform::Rect spot{18, 18, 22, 22};
  g_timerPanel.surface.FillRect(&spot, kGreen);
  g_panelRedrawFrames = 0;
  g_timerPanel.SetTime(50);  // the same time
  g_timerPanel.SetTime(49);  // (100 - 49) x 92 / 100 = 46: the same frame
  EXPECT_EQ(PixelAt(g_timerPanel.surface, 20, 20), kGreen);
  EXPECT_EQ(g_panelRedrawFrames, 0);
  g_timerPanel.SetTime(40);
  EXPECT_NE(PixelAt(g_timerPanel.surface, 20, 20), kGreen);
  EXPECT_EQ(g_panelRedrawFrames, 2);
}

TEST_F(TimerPanels, TheBackgroundKeepsItsCornersTransparent) {
  g_timerPanel.Load();
  g_timerPanel.Start(100);
  EXPECT_EQ(PixelAt(g_timerPanel.surface, 0, 0), kPanelKeyColour);
  EXPECT_EQ(PixelAt(g_timerPanel.surface, 39, 39), kPanelKeyColour);
  EXPECT_NE(PixelAt(g_timerPanel.surface, 20, 20), kPanelKeyColour);
}

TEST_F(TimerPanels, AMissingBackgroundIsReportedAndTheDialGoesOn) {
  testing_support::TempDir empty(true);
  testing_support::BoxRecorder boxes;
  g_timerPanel.Start(100);  // no surface yet: nothing to load into, nothing reported
  EXPECT_EQ(boxes.Count(), 0u);
  CreatePanelSurface(g_timerPanel.surface, kTimerSize, kTimerSize, 0, 0);
  g_timerPanel.Start(100);
  ASSERT_EQ(boxes.Count(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, "Could not load timer background");
  EXPECT_EQ(boxes.Boxes()[0].caption, "INITIALISATION ERROR");
  EXPECT_EQ(g_timerPanel.Total(), 100);
}

TEST_F(TimerPanels, AMissingDialSpriteEndsTheProgram) {
  testing_support::TempDir empty(true);
  testing_support::BoxRecorder boxes;
  EXPECT_EQ(testing_support::ExitCodeOf([] { g_timerPanel.Load(); }), 1);
  EXPECT_TRUE(boxes.Saw("INITIALISATION ERROR"));
}

TEST_F(TimerPanels, TheCounterPrintsCountAndLimitAndRepaintsOnlyOnAChange) {
  g_controlLimitPanel.Load();
  EXPECT_EQ(g_controlLimitPanel.surface.x, 714);
  EXPECT_EQ(g_controlLimitPanel.surface.y, 442);
  g_controlLimitPanel.SetLimit(12);
  g_controlLimitPanel.SetValue(7);
  const std::vector<uint16_t> painted = graphics_test::Pixels(g_controlLimitPanel.surface);
  g_controlLimitPanel.SetValue(8);
  EXPECT_NE(graphics_test::Pixels(g_controlLimitPanel.surface), painted);  // the text changed
  g_controlLimitPanel.surface.Fill(kGreen);
  g_controlLimitPanel.SetValue(8);
  g_controlLimitPanel.SetLimit(12);
  EXPECT_EQ(PixelAt(g_controlLimitPanel.surface, 24, 11), kGreen);
  EXPECT_EQ(g_controlLimitPanel.Value(), 8);
}

// Both dials over a battlefield at the bottom right, written for a person to look at.
TEST_F(TimerPanels, PictureOfTheDialsOverTheField) {
  g_backBuffer.FillGradientV(0, 0, 800, 600, 70, 120, 60, 40, 80, 35);
  g_timerPanel.Load();
  g_controlLimitPanel.Load();
  g_timerPanel.Start(120);
  g_timerPanel.SetTime(45);
  g_controlLimitPanel.SetLimit(15);
  g_controlLimitPanel.SetValue(9);
  g_timerPanel.Draw();
  g_controlLimitPanel.Draw();
  // A strip of dials at every eighth frame beside them.
  for (int i = 0; i < 12; ++i) {
    g_timerPanel.SetPosition(20 + 44 * i, 500);
    g_timerPanel.SetTime(120 - i * 10);
    g_timerPanel.Draw();
  }
  const std::vector<uint16_t> shot = graphics_test::Pixels(g_backBuffer);
  std::vector<uint16_t> corner;
  for (int y = 400; y < 600; ++y)
    for (int x = 0; x < 800; ++x) corner.push_back(shot[static_cast<size_t>(y) * 800 + x]);
  ASSERT_TRUE(testing_support::WritePng565(testing_support::TestOutputDir() + "/battle_timer.png", 800, 200, corner));
  EXPECT_NE(PixelAt(g_backBuffer, 724, 442), PixelAt(g_backBuffer, 704, 442));  // the dial's face over the field
}

}  // namespace

namespace {

// At 640 x 480 the dials, the console and the scroll take their places for that screen.
class LowResolutionPanels : public PanelDisplay {
 protected:
  void SetUp() override {
    highRes_ = false;
    savedHighRes_ = g_prefs.isHighRes;
    g_prefs.isHighRes = 0;
    PanelDisplay::SetUp();
    LoadSharedFontsAndButtons();
  }
  void TearDown() override {
    g_timerPanel.Release();
    g_controlLimitPanel.Release();
    g_chatConsole.Release();
    FreeSharedButtons();
    PanelDisplay::TearDown();
    g_prefs.isHighRes = savedHighRes_;
  }
  int savedHighRes_ = 1;
  InFolder data_{testing_support::ForgedDataDir()};
};

TEST_F(LowResolutionPanels, EachPanelTakesItsPlace) {
  g_timerPanel.Load();
  g_controlLimitPanel.Load();
  g_chatConsole.Init();
  g_chatConsole.Load();
  EXPECT_EQ(g_timerPanel.surface.x, 544);
  EXPECT_EQ(g_timerPanel.surface.y, 302);
  EXPECT_EQ(g_controlLimitPanel.surface.x, 554);
  EXPECT_EQ(g_controlLimitPanel.surface.y, 322);
  EXPECT_EQ(g_chatConsole.surface.x, (436 - 400) / 2);
  EXPECT_EQ(g_chatConsole.surface.y, 340 + 20);
  EXPECT_EQ(g_scrollPanel.PlaceX(), 60);
  EXPECT_EQ(g_scrollPanel.PlaceY(), 58);
}

}  // namespace
