// The countdown effects reach the battle's scanner through the effects' battle hooks: a
// marker set on a cell and taken away again, the others kept in their order.
#include <gtest/gtest.h>

#include "battle/BattlePanels.h"
#include "battle/Scanner.h"
#include "magic/EffectBattle.h"

namespace {

TEST(BattleEffectPanels, TheCountdownsMarkAndUnmarkTheirCellsOnTheScanner) {
  InstallBattlePanels();
  // The scanner is the battle's one; an earlier test's battle may have left its markers.
  while (!g_scanner.Markers().empty()) g_scanner.RemoveMarker(g_scanner.Markers()[0].x, g_scanner.Markers()[0].y);
  g_effectBattle->AddScannerMarker(3, 4, 1);
  g_effectBattle->AddScannerMarker(7, 2, 0);
  g_effectBattle->AddScannerMarker(3, 4, 2);
  g_effectBattle->RemoveScannerMarker(3, 4, 1);
  ASSERT_EQ(g_scanner.Markers().size(), 2u);
  EXPECT_EQ(g_scanner.Markers()[0].x, 7);
  EXPECT_EQ(g_scanner.Markers()[1].y, 4);
  g_effectBattle->RemoveScannerMarker(7, 2, 0);
  g_effectBattle->RemoveScannerMarker(3, 4, 2);
  EXPECT_TRUE(g_scanner.Markers().empty());
}

}  // namespace
