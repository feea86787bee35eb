// The tooltip manager on a driven clock: the long delay, the quick re-hover, the 32-bit wrap;
// where the box goes; eight lines at most; the plain box and the nine-frame tiling in pixels;
// a layout screen's button that shows its tooltip and plays its click sound.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PanelTestSupport.h"
#include "SelectPanelFixtures.h"
#include "battle/TooltipManager.h"
#include "platform/Clock.h"
#include "support/Png.h"
#include "support/TestSupport.h"
#include "ui/Button.h"
#include "ui/LayoutScreen.h"
#include "ui/SharedArt.h"

using namespace panel_test;
using graphics_test::PixelAt;

namespace {

constexpr int kQuick = 300, kLong = 700;

class Tooltips : public PanelDisplay {
 protected:
  void SetUp() override {
    PanelDisplay::SetUp();
    LoadSharedFontsAndButtons();
    g_prefs.tooltipQuickDelay = kQuick;
    g_prefs.tooltipLongDelay = kLong;
    g_tooltipManager.SetFont(&g_smallFont);
    g_tooltipManager.Enable(-1);
    g_tooltipManager.Load();
    g_tooltipManager.RestartHoverTimer();
    g_tooltipManager.RestartHoverTimer();  // nothing shown before: no quick re-hover either
  }
  void TearDown() override {
    g_tooltipManager.Release();
    g_tooltipManager.frameSprite = nullptr;
    g_prefs.tooltipQuickDelay = quick_;
    g_prefs.tooltipLongDelay = long_;
    FreeSharedButtons();
    PanelDisplay::TearDown();
  }
  // Hovers at the point and shows the text; answers after how many milliseconds (in steps of
  // 50) an Update first showed it, or -1 within two seconds.
  int MillisecondsUntilShown(const char* text) {
    g_tooltipManager.ShowForControl(text);
    for (int waited = 0; waited <= 2000; waited += 50) {
      g_tooltipManager.Update();
      if (g_tooltipManager.Shown()) return waited;
      clock_.Advance(50);
    }
    return -1;
  }
  void PointAt(int x, int y) {
    QueueMouseEvent(0, x, y);
    DispatchMouseEvents();
  }

  InFolder data_{testing_support::ForgedDataDir()};
  platform::ManualClock clock_{1000};
  int quick_ = g_prefs.tooltipQuickDelay, long_ = g_prefs.tooltipLongDelay;
};

TEST_F(Tooltips, TheLongDelayFirstThenAQuickReHoverShowsAtTheNextFrame) {
  EXPECT_EQ(MillisecondsUntilShown("Fireball"), kLong);
  clock_.Advance(1000);
  g_tooltipManager.RestartHoverTimer();  // the pointer leaves the first control
  EXPECT_FALSE(g_tooltipManager.Shown());
  clock_.Advance(kQuick);  // within the quick delay: at the next frame
  EXPECT_EQ(MillisecondsUntilShown("Lightning"), 0);
  g_tooltipManager.RestartHoverTimer();
  clock_.Advance(kQuick + 1);  // too late: the long delay again
  EXPECT_EQ(MillisecondsUntilShown("Heal"), kLong);
  // Hidden before it was shown: the next one waits the long delay.
  g_tooltipManager.RestartHoverTimer();
  g_tooltipManager.ShowForControl("Dispel Magic");
  g_tooltipManager.RestartHoverTimer();
  EXPECT_EQ(MillisecondsUntilShown("Blood Lust"), kLong);
}

TEST_F(Tooltips, TheClocksWrapChangesNothing) {
  clock_.Set(0xFFFFFFFFu - 400);  // the show time lies past the wrap
  EXPECT_EQ(MillisecondsUntilShown("Fireball"), kLong);
  g_tooltipManager.RestartHoverTimer();
  clock_.Set(0xFFFFFFFFu - 100 - kLong);
  g_tooltipManager.ShowForControl("x");
  clock_.Advance(kLong);
  g_tooltipManager.Update();
  ASSERT_TRUE(g_tooltipManager.Shown());
  g_tooltipManager.RestartHoverTimer();  // hidden just before the wrap
  clock_.Advance(200);                   // and hovered again just after it
  EXPECT_EQ(MillisecondsUntilShown("Heal"), 0);
}

TEST_F(Tooltips, NothingWhileOneIsShownOrForAnEmptyText) {
  g_tooltipManager.ShowForControl("");
  EXPECT_FALSE(g_tooltipManager.Pending());
  ASSERT_EQ(MillisecondsUntilShown("Fireball"), kLong);
  const int width = g_tooltipManager.BoxWidth();
  g_tooltipManager.ShowForControl("A much longer text than the first one");
  EXPECT_FALSE(g_tooltipManager.Pending());
  EXPECT_EQ(g_tooltipManager.BoxWidth(), width);
}

TEST_F(Tooltips, TheBoxGoesUnderThePointerAboveItNearTheBottomAndInsideTheScreen) {
  struct Case {
    const char* name;
    int x, y;
    int left, top;  // -1: centred on the pointer's x
  };
  const int lineHeight = g_smallFont.GetLineHeight();
  const int height = lineHeight + 4;
  const Case cases[] = {
      {"under the pointer", 400, 300, -1, 320},
      {"above it near the bottom", 400, 590, -1, 590 - height},
      {"the last row that fits below", 400, 600 - 20 - height, -1, 600 - height},
      {"inside on the left", 3, 100, 0, 120},
      {"inside on the right", 798, 100, -2, 120},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PointAt(c.x, c.y);
    g_tooltipManager.RestartHoverTimer();
    clock_.Advance(10000);
    ASSERT_GE(MillisecondsUntilShown("Fireball"), 0);
    const platform::Rect& r = g_tooltipManager.ScreenRect();
    const int width = g_tooltipManager.BoxWidth();
    EXPECT_EQ(g_tooltipManager.BoxHeight(), height);
    EXPECT_EQ(r.top, c.top);
    EXPECT_EQ(r.left, c.left == -1 ? c.x - width / 2 : c.left == -2 ? 800 - width : c.left);
    EXPECT_EQ(r.right - r.left, width);
  }
}

TEST_F(Tooltips, NineLinesAreCutToEight) {
  const int lineHeight = g_smallFont.GetLineHeight();
  g_tooltipManager.ShowForControl("one\ntwo\nthree\nfour\nfive\nsix\nseven\neight\nnine");
  EXPECT_EQ(g_tooltipManager.BoxHeight(), 8 * lineHeight + 4);
  EXPECT_LE(g_tooltipManager.BoxHeight(), g_tooltipManager.surface.height);
  g_tooltipManager.RestartHoverTimer();
  g_tooltipManager.ShowForControl("one\ntwo");
  EXPECT_EQ(g_tooltipManager.BoxHeight(), 2 * lineHeight + 4);
}

TEST_F(Tooltips, ThePlainBoxIsTealInsideABlackLine) {
  g_tooltipManager.ShowForControl("Fireball");
  const int w = g_tooltipManager.BoxWidth(), h = g_tooltipManager.BoxHeight();
  EXPECT_EQ(PixelAt(g_tooltipManager.surface, 0, 0), 0);
  EXPECT_EQ(PixelAt(g_tooltipManager.surface, w - 1, h - 1), 0);
  EXPECT_EQ(PixelAt(g_tooltipManager.surface, 1, 1), 520);  // dark teal in 5-6-5
  EXPECT_EQ(PixelAt(g_tooltipManager.surface, w - 2, h - 2), 520);
}

TEST_F(Tooltips, TheFrameStyleTilesItsNineFrames) {
  // Frames of group 1 (9 to 17): corners 3 x 3, edges 4 x 2 and 2 x 4, the inside 5 x 5; group
  // 0 is there only to be skipped.
  std::vector<FlatFrame> frames(9, FlatFrame{1, 1, kGrey});
  const uint16_t c[9] = {0x0001, 0x0002, 0x0003, 0x0004, 0x0020, 0x0040, 0x0060, 0x0080, 0x0800};
  const int sizes[9][2] = {{3, 3}, {3, 3}, {3, 3}, {3, 3}, {4, 2}, {2, 4}, {4, 2}, {2, 4}, {5, 5}};
  for (int f = 0; f < 9; ++f) frames.push_back({sizes[f][0], sizes[f][1], c[f]});
  auto sprite = MakeFlatSprite(frames);
  g_tooltipManager.frameSprite = sprite.get();
  g_tooltipManager.Enable(1);
  g_tooltipManager.ShowForControl("Fireball");
  const int w = g_tooltipManager.BoxWidth(), h = g_tooltipManager.BoxHeight();
  CSurface& s = g_tooltipManager.surface;
  auto at = [&](int x, int y) { return PixelAt(s, x, y); };
  EXPECT_EQ(at(0, 0), c[0]);
  EXPECT_EQ(at(2, 2), c[0]);
  EXPECT_EQ(at(w - 1, 0), c[1]);
  EXPECT_EQ(at(w - 3, 2), c[1]);
  EXPECT_EQ(at(0, h - 1), c[2]);
  EXPECT_EQ(at(w - 1, h - 1), c[3]);
  EXPECT_EQ(at(3, 0), c[4]);      // the top edge from after the corner
  EXPECT_EQ(at(7, 1), c[4]);      // tiled every 4 pixels
  EXPECT_EQ(at(w - 1, 3), c[5]);  // the right edge
  EXPECT_EQ(at(w - 2, h - 4), c[5]);
  EXPECT_EQ(at(5, h - 1), c[6]);  // the bottom edge
  EXPECT_EQ(at(0, 5), c[7]);      // the left edge
  EXPECT_EQ(at(2, 5), c[8]);      // the inside, tiled every 5 pixels
  EXPECT_NE(at(w, 0), c[1]);      // nothing beyond the box
}

TEST_F(Tooltips, ATextTableThatCannotBeLoadedEndsTheProgram) {
  testing_support::TempDir empty(true);
  testing_support::BoxRecorder boxes;
  EXPECT_EQ(testing_support::ExitCodeOf([] { g_tooltipManager.LoadTexts("cfg\\battletooltip.cfg"); }), 1);
  ASSERT_EQ(boxes.Count(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, "Unable to load tooltips.cfg");
  EXPECT_EQ(boxes.Boxes()[0].caption, "LOAD ERROR");
}

TEST_F(Tooltips, TheForgedTablesHoldEveryNumberTheBattleShows) {
  g_tooltipManager.LoadTexts("cfg\\battletooltip.cfg");
  EXPECT_GE(g_tooltipManager.texts.Count(), 411);
  for (int id : {5, 97, 98, 181, 182, 230, 254, 400, 410})
    EXPECT_GT(std::string(g_tooltipManager.texts.Get(id)).size(), 0u);
  g_tooltipManager.AllocateTexts(3);
  std::snprintf(g_tooltipManager.TextSlot(1), 256, "%s", "Summon a golem");
  g_tooltipManager.ShowText(1);
  EXPECT_TRUE(g_tooltipManager.Pending());
  g_tooltipManager.RestartHoverTimer();
  g_tooltipManager.ShowText(7);  // beyond the table: nothing
  EXPECT_FALSE(g_tooltipManager.Pending());
}

// The controls' hooks as installed at program start, with the click sound recorded.
struct RecordingTooltipHooks : CTooltipControlHooks {
  void PlaySound(int id) override { sounds.push_back(id); }
  std::vector<int> sounds;
};

TEST_F(Tooltips, ALayoutScreensButtonShowsItsTooltipAndPlaysItsClickSound) {
  g_tooltipManager.LoadTexts("cfg\\tooltips.cfg");
  g_tooltipManager.Enable(0);
  RecordingTooltipHooks hooks;
  HookScope<IControlHooks> scope(g_controlHooks, hooks);
  CLayoutScreen screen("Interface\\Test\\screen (Test).cfg");
  PushScreen(&screen);
  CControl* button = screen.ControlOf(kWidgetTextButton, 1);
  ASSERT_NE(button, nullptr);
  button->tooltipId = 2;
  PointAt(10, 10);
  PointAt(button->rect.left + 5, button->rect.top + 5);  // enters the button
  EXPECT_TRUE(g_tooltipManager.Pending());
  clock_.Advance(kLong);
  screen.Draw();
  g_tooltipManager.Update();
  ASSERT_TRUE(g_tooltipManager.Shown());
  EXPECT_EQ(g_tooltipManager.ScreenRect().top, button->rect.top + 5 + 20);
  const std::string path = testing_support::TestOutputDir() + "/tooltip_over_layout_screen.png";
  EXPECT_TRUE(testing_support::WritePng565(path, 800, 600, graphics_test::Pixels(g_backBuffer)));
  QueueMouseEvent(platform::MK_LBUTTON, button->rect.left + 5, button->rect.top + 5);
  DispatchMouseEvents();
  EXPECT_FALSE(g_tooltipManager.Shown());  // a click hides it
  EXPECT_EQ(hooks.sounds, std::vector<int>{801});
  QueueMouseEvent(0, button->rect.left + 5, button->rect.top + 5);
  DispatchMouseEvents();
  PopScreen();
}

}  // namespace
