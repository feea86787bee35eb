// The pattern every front-end menu follows, seen on the main menu: its background per
// resolution, its restorer, its controls, and leaving by the fade.
#include <gtest/gtest.h>

#include "FrontEndTestSupport.h"
#include "frontend/MainMenu.h"
#include "platform/Display.h"
#include "ui/TextButton.h"

using namespace frontend_test;

namespace {

class MenuPattern : public FrontEnd {};

bool Same(const platform::Rect& a, const forge::LayoutRect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

TEST_F(MenuPattern, AfterAResolutionSwitchLoadTakesTheOtherFolderAndPicture) {
  const forge::ScreenLayout layout = forge::MainMenuLayout();
  Open(g_mainMenu);
  EXPECT_EQ(g_mainMenu->BackgroundPath(), "Interface\\MainScreen\\800x600\\Main Menu 800-600.JPG");
  ASSERT_NE(g_mainMenu->background, nullptr);
  EXPECT_EQ(g_mainMenu->background->width, 800);
  EXPECT_TRUE(Same(g_mainMenu->Button(5)->rect, layout.Widgets()[5].rect800));
  Frames(2);
  SaveFrame("main_menu_800.png");

  while (g_screenCount > 0) PopScreen();
  CloseDisplay();
  OpenDisplay(false);
  Open(g_mainMenu);
  EXPECT_EQ(g_mainMenu->BackgroundPath(), "Interface\\MainScreen\\640x480\\Main Menu 640-480.JPG");
  ASSERT_NE(g_mainMenu->background, nullptr);
  EXPECT_EQ(g_mainMenu->background->width, 640);
  EXPECT_TRUE(Same(g_mainMenu->Button(5)->rect, forge::ScaledTo640(layout.Widgets()[5].rect800)));
  Frames(2);
  SaveFrame("main_menu_640.png");
}

TEST_F(MenuPattern, ALostBackgroundIsPaintedAgainWithoutReloadingTheScreen) {
  Open(g_mainMenu);
  CSurface* background = g_mainMenu->background;
  ASSERT_NE(background, nullptr);
  const std::vector<uint16_t> picture = graphics_test::Pixels(*background);
  CControl* button = g_mainMenu->Button(2);
  platform::LoseSurface(background->surface2);
  background->BlitTo(&g_backBuffer, 0, 0);  // the first use finds it lost and restores it
  EXPECT_EQ(graphics_test::Pixels(*background), picture);
  EXPECT_EQ(g_mainMenu->background, background);
  EXPECT_EQ(g_mainMenu->Button(2), button);  // the same controls: the screen stayed loaded
  EXPECT_EQ(g_mainMenu->loaded, 1);
}

TEST_F(MenuPattern, AMissingBackgroundEndsTheProgramWithTheFileLoadError) {
  std::remove("Interface/MainScreen/800x600/Main Menu 800-600.JPG");
  testing_support::BoxRecorder boxes;
  PushScreen(&bottom_);
  EXPECT_NE(testing_support::ExitCodeOf([] { PushScreen(g_mainMenu); }), -1);
  ASSERT_EQ(boxes.Count(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].caption, "FILE LOAD ERROR");
  EXPECT_EQ(boxes.Boxes()[0].text,
            "Unable to load file: Interface\\MainScreen\\800x600\\Main Menu 800-600.JPG, Exiting Program");
}

TEST_F(MenuPattern, UnloadingReleasesEverythingLoadMadeAndTheNextLoadMakesItAgain) {
  Open(g_mainMenu);
  EXPECT_EQ(g_mainMenu->controls.Count(), CMainMenuScreen::kButtonCount);
  const int registered = g_windowCount;
  g_mainMenu->Suspend();
  EXPECT_EQ(g_mainMenu->loaded, 0);
  EXPECT_EQ(g_mainMenu->background, nullptr);
  EXPECT_EQ(g_mainMenu->Button(0), nullptr);
  EXPECT_EQ(g_mainMenu->controls.Count(), 0);
  EXPECT_EQ(g_windowCount, registered - CMainMenuScreen::kButtonCount);
  g_mainMenu->Resume();
  EXPECT_EQ(g_mainMenu->loaded, 1);
  EXPECT_EQ(g_windowCount, registered);
  EXPECT_EQ(g_mainMenu->Button(0)->bevel, 40);
  EXPECT_EQ(g_mainMenu->Button(3)->id, 3);
}
