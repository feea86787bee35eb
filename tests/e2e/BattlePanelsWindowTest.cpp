// The battle's bottom control block in a real window on the virtual X display: the select
// bar with its strip open and a spell chosen, the wizard's portrait and mana bar, keyed over
// the battle map drawn by the map view. The screenshot goes to the test output folder.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "MapWindow.h"
#include "XScreen.h"
#include "battle/BattlePanels.h"
#include "battle/PanelBattle.h"
#include "battle/SelectBar.h"
#include "battle/WizardFacePanel.h"
#include "core/Hooks.h"
#include "creatures/SpellDefinition.h"
#include "support/Png.h"

namespace {

// The local wizard of the picture: a dozen spells, some items, most of its health.
struct PictureBattle : IPanelBattle {
  int GameType() override { return 1; }
  int LocalArmy() override { return 0; }
  int ArmyPortrait(int) override { return 4; }
  bool GetWizard(int creature, PanelWizardState& out) override {
    if (creature != 3) return false;
    const int spells[] = {2, 5, 18, 41, 46, 58, 62, 74, 82, 84, 88, 90};
    out.spellCount = static_cast<int>(std::size(spells));
    std::copy(std::begin(spells), std::end(spells), out.spells);
    out.items[0] = PanelCarrySlot{3, 2};
    out.items[1] = PanelCarrySlot{3, 1};
    out.items[2] = PanelCarrySlot{52, 1};
    out.items[3] = PanelCarrySlot{19, 3};
    out.health = 60;
    out.maxHealth = 100;
    out.mana = 70 * 256;
    out.maxMana = 120 * 256;
    return true;
  }
  int ItemMaxCharge(int) override { return 3; }
};

struct NoCommands : IMapCommandSink {};

TEST(BattlePanelsWindow, TheBottomBlockOverTheMap) {
  const char* display = e2e::VirtualDisplay();
  if (!display) GTEST_SKIP() << "no virtual X display (VRASK_X_DISPLAY)";
  e2e::MapWindow scene(display);
  ASSERT_TRUE(scene.ready);
  ASSERT_EQ(LoadSpells("cfg\\spells.cfg", g_spellDefs), 1);
  PictureBattle battle;
  NoCommands commands;
  HookScope<IPanelBattle> battleScope(g_panelBattle, battle);
  HookScope<IMapCommandSink> commandScope(g_panelCommands, commands);
  const int transparent = g_prefs.transparentBlits;
  g_prefs.transparentBlits = 1;
  InitSelectBarAndFace();
  SetUpSelectBarAndFace(3);
  g_selectBar.TogglePopup();
  g_selectBar.ClickPopup(5, false);  // the fireball
  g_wizardFacePanel.SetSpellCost(g_spellDefs[58].ManaCost);
  g_mapView.SetCameraCell(g_map.width / 2 + 3, g_map.height / 2 + 2, 3);
  g_mapView.Update();
  g_mapView.Update();
  g_selectBar.Draw();
  FlushQueuedBlits();
  e2e::Screenshot shot;
  const bool shown = scene.ShowAndShoot(shot);
  FreeSelectBarAndFace();
  g_prefs.transparentBlits = transparent;
  ASSERT_TRUE(shown) << "the window never showed the panels";
  const std::vector<uint8_t> screen = e2e::WindowPixels(shot);
  const std::string path = testing_support::TestOutputDir() + "/battle-panels-screen.png";
  EXPECT_TRUE(testing_support::WritePng(path, 800, 600, screen));
  std::printf("battle panels screenshot: %s\n", path.c_str());
  // The portrait's gold rim at the bottom of its circle, below the health level: in colour.
  const unsigned char* rim = shot.At(e2e::kLeft + 596 + 142, e2e::kTop + 460 + 30 + 78);
  EXPECT_GT(rim[0], 120);
  EXPECT_GT(rim[1], 80);
  EXPECT_LT(rim[2], rim[0]);
}

}  // namespace
