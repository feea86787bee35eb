// The story scroll open over the battle map in a real window on the virtual X display, with
// the tooltip of a spell beside it. The screenshot goes to the test output folder.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "MapWindow.h"
#include "PanelsOverMap.h"
#include "XScreen.h"
#include "battle/PanelSounds.h"
#include "battle/ScrollPanel.h"
#include "battle/TooltipManager.h"
#include "core/Hooks.h"
#include "support/Png.h"
#include "ui/SharedArt.h"

namespace {

TEST(StoryScrollWindow, TheOpenScrollOverTheMap) {
  const char* display = e2e::VirtualDisplay();
  if (!display) GTEST_SKIP() << "no virtual X display (VRASK_X_DISPLAY)";
  e2e::MapWindow scene(display);
  ASSERT_TRUE(scene.ready);
  e2e::PanelsOverMap panels;
  g_scrollPanel.SetFont(&g_bodyFont);
  g_scrollPanel.LoadText();
  g_scrollPanel.Load();
  g_scrollPanel.ShowScroll(1);
  g_mapView.SetCameraCell(g_map.width / 2, g_map.height / 2, 3);
  for (int frame = 0; frame < 30; ++frame) {
    g_mapView.Update();
    g_scrollPanel.Draw();
  }
  // A spell's tooltip in the framed style, under the pointer at the left of the scroll.
  g_tooltipManager.SetFont(&g_smallFont);
  g_tooltipManager.Init();
  g_tooltipManager.LoadTexts("cfg\\battletooltip.cfg");
  g_tooltipManager.Enable(0);
  QueueMouseEvent(0, 90, 420);
  DispatchMouseEvents();
  {
    platform::ManualClock clock(5000);
    g_tooltipManager.RestartHoverTimer();
    g_tooltipManager.ShowText(5 + 41);  // Heal
    clock.Advance(static_cast<uint32_t>(g_prefs.tooltipLongDelay) + 1);
    g_tooltipManager.Update();
  }
  FlushQueuedBlits();
  e2e::Screenshot shot;
  const bool shown = scene.ShowAndShoot(shot);
  const int scrollLeft = g_scrollPanel.PlaceX(), scrollTop = g_scrollPanel.PlaceY();
  g_tooltipManager.Release();
  g_scrollPanel.Release();
  panels.Free();
  ASSERT_TRUE(shown) << "the window never showed the scroll";
  e2e::KeepScreen(shot, "story-scroll-screen.png", "story scroll screenshot");
  // Parchment below the text: warm and light.
  const unsigned char* paper = shot.At(e2e::kLeft + scrollLeft + 300, e2e::kTop + scrollTop + 260);
  EXPECT_GT(paper[0], 170);
  EXPECT_GT(paper[0], paper[2]);
}

}  // namespace
