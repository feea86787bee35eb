// The mini menu over the realm view and the battles: its buttons, what quitting does where,
// and its panel read once a load.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "FrontEndTestSupport.h"
#include "battle/Battle.h"
#include "battle/BattleEndScreen.h"
#include "battle/BattleKeys.h"
#include "creatures/Armies.h"
#include "forge/MiniMenuArt.h"
#include "frontend/BattleOptions.h"
#include "frontend/MiniMenu.h"
#include "frontend/RealmView.h"
#include "ui/TextButton.h"

namespace {

using forge::WidgetKind;
using frontend_test::FrontEnd;

class MiniMenu : public FrontEnd {
 protected:
  // The state of each of the eight layout buttons: shown (live or greyed) or withdrawn.
  std::vector<int> States() {
    std::vector<int> states;
    for (int i = 0; i < 8; ++i) {
      const CTextButton* button = g_miniMenu->Button(i);
      const auto& listed = g_miniMenu->controls.controls;
      const bool shown = button && std::find(listed.begin(), listed.end(), button) != listed.end();
      states.push_back(shown ? button->state : -1);
    }
    return states;
  }
  const forge::ScreenLayout layout_ = forge::MiniMenuLayout();
};

TEST_F(MiniMenu, FiveButtonsOrInANetworkBattleThreeStartingWithTheOptions) {
  Open(g_miniMenu);
  Frames(1);
  SaveFrame("mini_menu_800.png");
  EXPECT_EQ(States(),
            (std::vector<int>{kStateNormal, kStateNormal, kStateNormal, kStateNormal, kStateNormal, -1, -1, -1}));
  while (g_screenCount > 0) PopScreen();
  g_networkGame = 1;
  Open(g_miniMenu);
  EXPECT_EQ(States(), (std::vector<int>{-1, -1, -1, -1, -1, kStateNormal, kStateNormal, kStateNormal}));
  // The first of them opens the battle options.
  Frames(1);
  ClickWidget(layout_, WidgetKind::kTextButton, 6);
  EXPECT_EQ(FramesUntilChange(), g_battleOptions);
  EXPECT_EQ(CMiniMenuScreen::ButtonOf(5), CMiniMenuScreen::kOptions);
  EXPECT_EQ(CMiniMenuScreen::ButtonOf(6), CMiniMenuScreen::kQuit);
  EXPECT_EQ(CMiniMenuScreen::ButtonOf(7), CMiniMenuScreen::kResume);
  g_networkGame = 0;
}

TEST_F(MiniMenu, ResumeClosesItAndQuitFromTheRealmViewLeavesTheCampaign) {
  StartCampaign(*g_realmView, "Moorland");
  g_realmView->realmState.active[1] = 0;  // no battle waits in the first region
  g_realmTutorialStep = -1;
  Open(g_realmView);
  Frames(2);
  Key(platform::VK_ESCAPE);
  ASSERT_EQ(g_currentScreen, g_miniMenu);
  EXPECT_EQ(g_miniMenu->mode, CMiniMenuScreen::kRealmViewMode);
  Frames(1);
  ClickWidget(layout_, WidgetKind::kTextButton, 5);  // Resume
  EXPECT_EQ(FramesUntilChange(), g_realmView);
  Frames(2);
  Key(platform::VK_ESCAPE);
  ASSERT_EQ(g_currentScreen, g_miniMenu);
  Frames(1);
  ClickWidget(layout_, WidgetKind::kTextButton, 4);  // Quit
  FramesUntilChange();
  Frames(2);
  EXPECT_EQ(g_currentScreen, &bottom_) << "past the realm view to the screen below it";
}

TEST_F(MiniMenu, QuitInACampaignBattleLosesIt) {
  ConstructBattle();
  g_gameMode = kGameModeCampaign;
  g_armyTable.localIndex = 1;
  // The battle's Escape opens it.
  InstallMiniMenu();
  PushScreen(&bottom_);
  ASSERT_TRUE(g_battleKeyTargets->PushMiniMenu(CMiniMenuScreen::kBattleMode));
  g_battleKeyTargets.Install(nullptr);
  EXPECT_EQ(g_currentScreen, g_miniMenu);
  EXPECT_EQ(g_miniMenu->mode, CMiniMenuScreen::kBattleMode);
  Frames(1);
  ClickWidget(layout_, WidgetKind::kTextButton, 4);  // Quit
  FramesUntilChange();
  EXPECT_EQ(g_localArmy, -1);
  EXPECT_STREQ(g_battle->endScreen.battleEndMessage, GetDefeatMessage(3));
  EXPECT_EQ(g_battle->quitRequested, 0);
  // Any other battle is simply left.
  g_gameMode = kGameModeQuickBattle;
  Open(g_miniMenu);
  Frames(1);
  ClickWidget(layout_, WidgetKind::kTextButton, 4);
  FramesUntilChange();
  EXPECT_EQ(g_battle->quitRequested, 1);
  while (g_screenCount > 0) PopScreen();
  DestroyBattle();
}

TEST_F(MiniMenu, ItsPanelIsReadOnceALoad) {
  Open(g_miniMenu);
  Frames(1);
  std::filesystem::remove("Interface/MiniMenu/800x600/Mini Menu 800-600.BMP");
  Frames(5);  // a menu that read its picture each frame would end the program here
  EXPECT_EQ(g_currentScreen, g_miniMenu);
}

}  // namespace
