// The battle's message panels as the battle draws them over the map, in a real window on the
// virtual X display: a message unrolled on the scroll at the top-left, the message lines at
// the top (the map seed and the frame rate), the spot icons of sighted creatures at the
// right and the scanner in the top-right corner. The screenshot goes to the test output.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "MapWindow.h"
#include "PanelsOverMap.h"
#include "XScreen.h"
#include "battle/BattlePanels.h"
#include "battle/MessagePanel.h"
#include "battle/MessageScroll.h"
#include "battle/PanelSounds.h"
#include "battle/Scanner.h"
#include "battle/SpotIcons.h"
#include "core/Hooks.h"
#include "creatures/CreatureArray.h"
#include "support/Png.h"
#include "ui/SharedArt.h"

namespace {

TEST(BattleMessagesWindow, TheScrollTheLinesTheIconsAndTheScannerOverTheMap) {
  const char* display = e2e::VirtualDisplay();
  if (!display) GTEST_SKIP() << "no virtual X display (VRASK_X_DISPLAY)";
  e2e::MapWindow scene(display);
  ASSERT_TRUE(scene.ready);
  e2e::PanelsOverMap panels;
  InitMessagePanels();
  LoadBattleMessagePanels();
  g_mapView.SetCameraCell(g_map.width / 2, g_map.height / 2, 3);
  SetUpSpotIconsAndScanner();
  // Three creatures of different types sighted, one message, two lines.
  const int types[] = {3, 7, 12};
  for (int i = 0; i < 3; ++i) {
    g_creatureArray.At(i)->typeNumber = types[i];
    g_spotIcons.AddCreature(i, 0);
  }
  g_messageScroll.QueueMessage(2);
  g_messagePanel.PrintLine("map seed: 4242", 0, 100);
  g_messagePanel.PrintLine("fps: 20.00", 3, 100);
  for (int frame = 0; frame < 12; ++frame) {
    StepBattlePanels();
    g_mapView.Update();
    DrawBattlePanels(true);
    FlushQueuedBlits();
  }
  const bool unrolled = g_messageScroll.UnrolledWidth() >= g_messageScroll.FullWidth();
  e2e::Screenshot shot;
  const bool shown = scene.ShowAndShoot(shot);
  FreeBattleMessagePanels();
  for (int i = 0; i < 3; ++i) g_creatureArray.At(i)->typeNumber = 0;
  g_messagePanel.Release();
  panels.Free();
  EXPECT_TRUE(unrolled) << "the scroll is still unrolling";
  ASSERT_TRUE(shown) << "the window never showed the panels";
  e2e::KeepScreen(shot, "battle-messages-screen.png", "battle messages screenshot");
  // The parchment of the scroll: warm and light.
  const unsigned char* paper = shot.At(e2e::kLeft + kMessageScrollX + 40, e2e::kTop + kMessageScrollY + 30);
  EXPECT_GT(paper[0], 150);
  EXPECT_GT(paper[0], paper[2]);
}

}  // namespace
