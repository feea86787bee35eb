// The battle buttons and the interface a speech hides: the cut-level button made at its place
// with its tooltip, drawn, stepping the cut level when clicked; a speech hiding the select
// bar, the spot icons and the button and bringing them back; and a tutorial speech that
// leaves its one spell selectable.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "SelectPanelFixtures.h"
#include "battle/Battle.h"
#include "battle/BattleKeys.h"
#include "battle/Script.h"
#include "battle/ScriptActions.h"
#include "battle/SelectBar.h"
#include "battle/SpotIcons.h"
#include "map/MapView.h"
#include "platform/Profile.h"
#include "support/Png.h"
#include "support/TestSupport.h"
#include "ui/SpeechCtrl.h"

using namespace panel_test;

namespace {

void ClickOn(const CControl& button) {
  const int x = (button.rect.left + button.rect.right) / 2, y = (button.rect.top + button.rect.bottom) / 2;
  QueueMouseEvent(0, x, y);
  QueueMouseEvent(platform::MK_LBUTTON, x, y);
  QueueMouseEvent(0, x, y);
  DispatchMouseEvents();
}

// The bottom right of the screen as the battle draws it: the select bar, then the button.
void ShootBottomBlock(CBattle& battle, const char* name) {
  g_backBuffer.Fill(0);
  g_selectBar.Draw();
  battle.DrawBattleButtons();
  FlushQueuedBlits();
  const std::vector<uint16_t> all = graphics_test::Pixels(g_backBuffer);
  std::vector<uint16_t> block;
  for (int y = 440; y < 600; ++y)
    for (int x = 560; x < 800; ++x) block.push_back(all[static_cast<size_t>(y * g_backBuffer.width + x)]);
  EXPECT_TRUE(testing_support::WritePng565(testing_support::TestOutputDir() + "/" + name, 240, 160, block));
}

int LitPixels(const platform::Rect& r) {
  const std::vector<uint16_t> pixels = graphics_test::Pixels(g_backBuffer);
  const int width = g_backBuffer.width;
  int lit = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) lit += pixels[static_cast<size_t>(y * width + x)] != 0;
  return lit;
}

class BattleButtons : public SelectPanels {
 protected:
  void SetUp() override {
    SelectPanels::SetUp();
    saved_ = g_battle;
    g_battle = &screen_;
    g_mapView.levelMode = 1;
    g_mapView.flagLevel = 3;
    g_mapView.flagLevelCount = 3;
  }
  void TearDown() override {
    screen_.FreeBattleButtons();
    g_speechCtrl.Clear();
    g_battle = saved_;
    g_mapView.flagLevel = 3;
    SelectPanels::TearDown();
  }
  // The battle's own answers to the speech control, as the battle installs them.
  static ISpeechBattle* BattleSpeech() {
    InstallBattle();
    ISpeechBattle* speech = g_speechBattle;
    UninstallBattle();
    return speech;
  }

  CBattle screen_;
  CBattle* saved_ = nullptr;
};

TEST_F(BattleButtons, TheCutLevelButtonStandsAtItsPlaceAndStepsTheCutLevel) {
  screen_.CreateBattleButtons();
  ASSERT_TRUE(screen_.buttonsWindow);
  const CButton& button = *screen_.buttonsWindow;
  EXPECT_EQ(button.rect.left, 630);
  EXPECT_EQ(button.rect.top, 508);
  EXPECT_EQ(button.rect.right - button.rect.left, 40);  // the size of the art's first frame
  EXPECT_EQ(button.tooltipId, 254);
  EXPECT_EQ(button.active, 1);
  EXPECT_EQ(button.normalFrame, 4);  // cut level 3 of 3: level + 1

  g_backBuffer.Fill(0);
  screen_.DrawBattleButtons();
  EXPECT_GT(LitPixels(button.rect), 800);

  ClickOn(button);
  EXPECT_EQ(g_mapView.flagLevel, 1);  // wrapped from the last level
  EXPECT_EQ(button.normalFrame, 2);
  ClickOn(button);
  EXPECT_EQ(g_mapView.flagLevel, 2);
}

TEST_F(BattleButtons, ASpeechHidesTheSelectBarTheSpotIconsAndTheButtonsUntilItEnds) {
  battle_.SetSpells({3, 5, 42});
  StartBattle();
  screen_.CreateBattleButtons();
  ASSERT_TRUE(screen_.buttonsWindow);
  ISpeechBattle* speech = BattleSpeech();
  g_panelBattle.Install(&battle_);  // the battle's uninstall put the neutral panels back

  ShootBottomBlock(screen_, "battle_buttons.png");
  speech->HideInterface(-1);
  ShootBottomBlock(screen_, "battle_buttons_speech.png");
  EXPECT_TRUE(g_selectBar.locked);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(g_selectBar.popup[i].highlight, kPanelInactive) << i;
  EXPECT_EQ(g_selectBar.slot[0].highlight, kPanelInactive);
  EXPECT_EQ(g_selectBar.toggle.active, 0);
  EXPECT_FALSE(g_spotIcons.AllShown());
  EXPECT_EQ(screen_.buttonsWindow->active, 0);
  g_backBuffer.Fill(0);
  screen_.DrawBattleButtons();
  EXPECT_EQ(LitPixels(screen_.buttonsWindow->rect), 0);
  ClickOn(*screen_.buttonsWindow);
  EXPECT_EQ(g_mapView.flagLevel, 3);  // no click while hidden

  speech->RestoreInterface();
  EXPECT_FALSE(g_selectBar.locked);
  EXPECT_EQ(g_selectBar.slot[0].highlight, kPanelPlain);
  EXPECT_EQ(g_selectBar.toggle.active, 1);
  EXPECT_TRUE(g_spotIcons.AllShown());
  EXPECT_EQ(screen_.buttonsWindow->active, 1);
  screen_.DrawBattleButtons();
  EXPECT_GT(LitPixels(screen_.buttonsWindow->rect), 0);
}

// A speech that waits for spell 5 to be chosen: only that spell's button stays, the toggle
// goes; choosing it brings the rest back.
TEST_F(BattleButtons, ATutorialSpeechLeavesOnlyItsSpellSelectable) {
  battle_.SetSpells({3, 5, 42});
  StartBattle();
  screen_.CreateBattleButtons();
  ISpeechBattle* speech = BattleSpeech();
  g_panelBattle.Install(&battle_);
  ISpeechBattle* before = g_speechBattle;
  g_speechBattle = speech;

  testing_support::TempDir dir;
  dir.Write("s.cfg",
            "[EVENT_1]\nValid=True\nEventType=DIALOGUE\nTutorialCommand=SPELL_SELECTED\nTutorialSpell=5\n"
            "Speech=Choose the spell of fire\n");
  platform::FlushProfileCache();
  CScript script;
  LoadScriptEventsFrom(script, dir.File("s.cfg"));
  ASSERT_EQ(script.Event(0).dialogue.tutorialSpell, 5);
  script.Event(0).runState = kScriptRunning;
  script_actions::Speak(script, 0, script_actions::MapPoint{-1, -1, -1});

  EXPECT_TRUE(g_selectBar.locked);
  EXPECT_TRUE(g_selectBar.popupOpen);  // the slot shows spell 3: the strip opens for 5
  EXPECT_EQ(g_selectBar.popup[1].kind, 5);
  EXPECT_EQ(g_selectBar.popup[1].highlight, kPanelPlain);
  EXPECT_EQ(g_selectBar.popup[1].active, 1);
  EXPECT_EQ(g_selectBar.popup[0].highlight, kPanelInactive);
  EXPECT_EQ(g_selectBar.popup[2].highlight, kPanelInactive);
  EXPECT_EQ(g_selectBar.slot[0].highlight, kPanelInactive);
  EXPECT_EQ(g_selectBar.toggle.active, 0);
  EXPECT_FALSE(g_spotIcons.AllShown());
  EXPECT_EQ(screen_.buttonsWindow->active, 0);

  script.OnInterfaceCommand(kCommandSpellSelected, 5, -1);
  EXPECT_EQ(script.Event(0).runState, kScriptRetired);
  EXPECT_FALSE(g_selectBar.locked);
  EXPECT_EQ(g_selectBar.popup[0].highlight, kPanelPlain);
  EXPECT_EQ(g_selectBar.toggle.active, 1);
  EXPECT_TRUE(g_spotIcons.AllShown());
  EXPECT_EQ(screen_.buttonsWindow->active, 1);
  g_speechBattle = before;
}

}  // namespace
