// The main menu: its version label, its entries (greyed while their screens do not exist),
// the road to the quick battle menu and back, and Quit.
#include <gtest/gtest.h>

#include "FrontEndTestSupport.h"
#include "frontend/MainMenu.h"
#include "frontend/QuickBattleMenu.h"
#include "frontend/ScreenTable.h"
#include "ui/TextButton.h"

using namespace frontend_test;
using forge::WidgetKind;

namespace {

class MainMenu : public FrontEnd {
 protected:
  const forge::ScreenLayout layout_ = forge::MainMenuLayout();
};

}  // namespace

TEST(VersionLabel, ShowsTheFileVersionNumberInThousandths) {
  EXPECT_EQ(FileVersionNumber("1, 0, 0, 3"), 1003);
  EXPECT_EQ(VersionLabelText(FileVersionNumber("1, 0, 0, 3")), "Version 1.003");
  EXPECT_EQ(VersionLabelText(FileVersionNumber("0, 1, 9, 0")), "Version 0.190");
  EXPECT_EQ(VersionLabelText(FileVersionNumber("no digits")), "Version -0.001");
}

TEST_F(MainMenu, ItsLabelShowsTheProgramsVersionAndOnlyLiveEntriesTakeTheFocus) {
  Open(g_mainMenu);
  ASSERT_NE(g_mainMenu->Label(0), nullptr);
  EXPECT_EQ(g_mainMenu->Label(0)->text, VersionLabelText(GetProgramFileVersion()));
  // Every entry's screen exists.
  for (int button : {CMainMenuScreen::kNewCampaign, CMainMenuScreen::kLoadGame, CMainMenuScreen::kQuickBattle,
                     CMainMenuScreen::kOnlineLobby, CMainMenuScreen::kBattleOptions, CMainMenuScreen::kQuit})
    EXPECT_EQ(g_mainMenu->Button(button)->state, kStateNormal) << button;
  EXPECT_EQ(g_mainMenu->controls.Focused(), g_mainMenu->Button(CMainMenuScreen::kNewCampaign));
  EXPECT_EQ(g_mainMenu->Button(CMainMenuScreen::kNewCampaign)->highlight, 1);
  for (int next : {CMainMenuScreen::kLoadGame, CMainMenuScreen::kQuickBattle, CMainMenuScreen::kOnlineLobby,
                   CMainMenuScreen::kBattleOptions, CMainMenuScreen::kQuit}) {
    Key(platform::VK_DOWN);
    EXPECT_EQ(g_mainMenu->controls.Focused(), g_mainMenu->Button(next));
  }
  Key(platform::VK_DOWN);
  EXPECT_EQ(g_mainMenu->controls.Focused(), g_mainMenu->Button(CMainMenuScreen::kNewCampaign));
  Frames(1);
  SaveFrame("main_menu_focus.png");
}

TEST_F(MainMenu, GreyedEntriesDoNothing) {
  // Without its screen the lobby's entry is greyed.
  SetFrontEndScreen(FrontEndScreen::kLobbyLogin, nullptr);
  Open(g_mainMenu);
  EXPECT_EQ(g_mainMenu->Button(CMainMenuScreen::kOnlineLobby)->state, kStateGreyed);
  for (int number : {4}) {
    ClickWidget(layout_, WidgetKind::kTextButton, number);
    Frames(8);
    EXPECT_EQ(g_currentScreen, g_mainMenu) << number;
    EXPECT_EQ(g_mainMenu->fading, 0) << number;
    EXPECT_EQ(g_mainMenu->pendingPush, nullptr) << number;
  }
  EXPECT_EQ(g_gameMode, kGameModeNone);
  EXPECT_EQ(g_networkGame, 0);
  // Enter on a greyed entry (the focus put there by hand) does nothing either.
  g_mainMenu->controls.focusIndex = CMainMenuScreen::kOnlineLobby;
  Key(platform::VK_RETURN);
  Frames(8);
  EXPECT_EQ(g_currentScreen, g_mainMenu);
  EXPECT_EQ(g_networkGame, 0);
}

TEST_F(MainMenu, QuickBattleOpensItsMenuAndBackReturns) {
  Open(g_mainMenu);
  ClickWidget(layout_, WidgetKind::kTextButton, 3);
  EXPECT_EQ(g_mainMenu->fading, 1);
  EXPECT_EQ(FramesUntilChange(), g_quickBattleMenu);
  EXPECT_EQ(g_currentScreen->id, 27);
  EXPECT_EQ(g_mainMenu->loaded, 0);  // covered: unloaded
  ClickWidget(forge::QuickBattleMenuLayout(), WidgetKind::kTextButton, 4);
  EXPECT_EQ(FramesUntilChange(), g_mainMenu);
  EXPECT_EQ(g_mainMenu->loaded, 1);
  EXPECT_EQ(g_mainMenu->pendingPush, nullptr);
}

TEST_F(MainMenu, QuitPopsTheMenuAndTheScreenBelowResumes) {
  Open(g_mainMenu);
  ClickWidget(layout_, WidgetKind::kTextButton, 6);
  // The fade: one frame drawn, five dimmed, then the close.
  Frames(6);
  EXPECT_EQ(g_currentScreen, g_mainMenu);
  Frames(1);
  EXPECT_EQ(g_currentScreen, &bottom_);
  EXPECT_EQ(bottom_.resumed, 1);
  EXPECT_EQ(g_mainMenu->loaded, 0);
}

TEST_F(MainMenu, EscapeQuitsToo) {
  Open(g_mainMenu);
  Key(platform::VK_ESCAPE);
  EXPECT_EQ(FramesUntilChange(), &bottom_);
}

TEST_F(MainMenu, EntriesLeadToTheirScreensOnceTheyExistAndSetTheKindOfGame) {
  struct Case {
    int button;
    FrontEndScreen destination;
    int32_t gameMode, networkGame;
  };
  const Case cases[] = {
      {CMainMenuScreen::kLoadGame, FrontEndScreen::kLoadGame, kGameModeCampaign, 0},
      {CMainMenuScreen::kOnlineLobby, FrontEndScreen::kLobbyLogin, kGameModeLobby, 1},
      {CMainMenuScreen::kBattleOptions, FrontEndScreen::kBattleOptions, kGameModeNone, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.button);
    BottomScreen stand;  // the screen the entry leads to
    SetFrontEndScreen(c.destination, &stand);
    g_gameMode = kGameModeNone;
    g_networkGame = 0;
    Open(g_mainMenu);
    ClickWidget(layout_, WidgetKind::kTextButton, c.button + 1);
    EXPECT_EQ(FramesUntilChange(), &stand);
    EXPECT_EQ(g_gameMode, c.gameMode);
    EXPECT_EQ(g_networkGame, c.networkGame);
    while (g_screenCount > 0) PopScreen();
    SetFrontEndScreen(c.destination, nullptr);
  }
}

TEST_F(MainMenu, ANewCampaignLoadsThePlayersWizardInTheCampaignRealm) {
  BottomScreen realmView;
  SetFrontEndScreen(FrontEndScreen::kRealmView, &realmView);
  RecordedWizards wizards;
  FrontEndWizardsScope scope(wizards);
  Open(g_mainMenu);
  ClickWidget(layout_, WidgetKind::kTextButton, 1);
  EXPECT_EQ(FramesUntilChange(), &realmView);
  EXPECT_STREQ(g_realmName, "Moorland");
  EXPECT_STREQ(g_realmFile, "realms\\Moorland\\Moorland.cfg");
  EXPECT_EQ(g_gameMode, kGameModeCampaign);
  EXPECT_EQ(wizards.calls, std::vector<std::string>{"start 0"});
  while (g_screenCount > 0) PopScreen();
  SetFrontEndScreen(FrontEndScreen::kRealmView, nullptr);
}

TEST_F(MainMenu, ALoadedGameGoesOnToTheRealmViewWhenTheMenuIsCurrentAgain) {
  BottomScreen realmView, loadScreen;
  SetFrontEndScreen(FrontEndScreen::kRealmView, &realmView);
  Open(g_mainMenu);
  PushScreen(&loadScreen);
  g_mainMenu->resumeInRealmView = 1;
  PopScreen();
  EXPECT_EQ(g_mainMenu->loaded, 0);
  EXPECT_EQ(FramesUntilChange(), &realmView);
  EXPECT_EQ(g_mainMenu->resumeInRealmView, 0);
  while (g_screenCount > 0) PopScreen();
  SetFrontEndScreen(FrontEndScreen::kRealmView, nullptr);
}

TEST_F(MainMenu, AnUnattendedBattleEndsTheProgramWhenItReturns) {
  g_directAI = 1;
  BottomScreen battle;
  Open(g_mainMenu);
  PushScreen(&battle);
  PopScreen();
  EXPECT_EQ(FramesUntilChange(), &bottom_);
}
