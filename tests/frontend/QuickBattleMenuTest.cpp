// The quick battle menu: the multiplayer realm while it is open, an empty wizard table for the
// battles set up from it, and the campaign put back when it closes.
#include <gtest/gtest.h>

#include "FrontEndTestSupport.h"
#include "frontend/MainMenu.h"
#include "frontend/QuickBattleMenu.h"
#include "frontend/ScreenTable.h"
#include "ui/TextButton.h"

using namespace frontend_test;
using forge::WidgetKind;

namespace {

class QuickBattleMenu : public FrontEnd {
 protected:
  const forge::ScreenLayout layout_ = forge::QuickBattleMenuLayout();
  RecordedWizards wizards_;
  FrontEndWizardsScope scope_{wizards_};
};

}  // namespace

TEST_F(QuickBattleMenu, ClearsTheWizardTableWhenCoveredAndRestoresTheCampaignOnExit) {
  BottomScreen singlePlayer;
  SetFrontEndScreen(FrontEndScreen::kSinglePlayerBattle, &singlePlayer);
  Open(g_quickBattleMenu);
  EXPECT_STREQ(g_realmName, "Multiplayer");
  EXPECT_STREQ(g_realmFile, "realms\\Multiplayer\\Multiplayer.cfg");
  EXPECT_TRUE(wizards_.calls.empty());
  Frames(1);
  SaveFrame("quick_battle_menu.png");

  ClickWidget(layout_, WidgetKind::kTextButton, 3);
  EXPECT_EQ(FramesUntilChange(), &singlePlayer);
  EXPECT_EQ(g_quickBattleMenu->loaded, 0);
  EXPECT_EQ(wizards_.calls, std::vector<std::string>{"clear"});

  PopScreen();  // the set-up screen goes back
  EXPECT_EQ(g_currentScreen, g_quickBattleMenu);
  EXPECT_EQ(g_quickBattleMenu->loaded, 1);
  EXPECT_EQ(wizards_.calls.size(), 1u);

  ClickWidget(layout_, WidgetKind::kTextButton, 4);
  EXPECT_EQ(FramesUntilChange(), &bottom_);
  EXPECT_EQ(wizards_.calls, (std::vector<std::string>{"clear", "start -1"}));
  EXPECT_STREQ(g_realmName, "Moorland");
  EXPECT_STREQ(g_realmFile, "realms\\Moorland\\Moorland.cfg");
  SetFrontEndScreen(FrontEndScreen::kSinglePlayerBattle, nullptr);
}

TEST_F(QuickBattleMenu, EntriesWithoutTheirScreensAreGreyedAndBackHasTheFocus) {
  SetFrontEndScreen(FrontEndScreen::kSinglePlayerBattle, nullptr);
  SetFrontEndScreen(FrontEndScreen::kSetMultiplayer, nullptr);
  SetFrontEndScreen(FrontEndScreen::kJoinMultiplayer, nullptr);
  Open(g_quickBattleMenu);
  for (int button = 0; button < CQuickBattleMenuScreen::kBack; ++button) {
    EXPECT_EQ(g_quickBattleMenu->Button(button)->state, kStateGreyed) << button;
    ClickWidget(layout_, WidgetKind::kTextButton, button + 1);
    Frames(8);
    EXPECT_EQ(g_currentScreen, g_quickBattleMenu) << button;
  }
  EXPECT_EQ(g_quickBattleMenu->controls.Focused(), g_quickBattleMenu->Button(CQuickBattleMenuScreen::kBack));
  EXPECT_TRUE(wizards_.calls.empty());
  Key(platform::VK_RETURN);
  EXPECT_EQ(FramesUntilChange(), &bottom_);
}

TEST_F(QuickBattleMenu, TheNetworkEntriesLeadToTheDirectPlayScreens) {
  BottomScreen host, join;
  SetFrontEndScreen(FrontEndScreen::kSetMultiplayer, &host);
  SetFrontEndScreen(FrontEndScreen::kJoinMultiplayer, &join);
  Open(g_quickBattleMenu);
  ClickWidget(layout_, WidgetKind::kTextButton, 1);
  EXPECT_EQ(FramesUntilChange(), &host);
  PopScreen();
  ClickWidget(layout_, WidgetKind::kTextButton, 2);
  EXPECT_EQ(FramesUntilChange(), &join);
  while (g_screenCount > 0) PopScreen();
  SetFrontEndScreen(FrontEndScreen::kSetMultiplayer, nullptr);
  SetFrontEndScreen(FrontEndScreen::kJoinMultiplayer, nullptr);
}
