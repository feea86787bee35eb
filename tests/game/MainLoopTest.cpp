#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Main.h"
#include "core/Options.h"
#include "core/Preferences.h"
#include "core/Random.h"
#include "game/MainLoop.h"
#include "game/RootScreenHooks.h"
#include "game/WinMain.h"
#include "graphics/Display.h"
#include "graphics/PrintFX.h"
#include "map/Doors.h"
#include "map/MapView.h"
#include "platform/Clock.h"
#include "platform/Window.h"
#include "support/TestSupport.h"
#include "ui/FrontEndRoot.h"
#include "ui/Screen.h"
#include "ui/SharedArt.h"

namespace {

class CountingScreen : public CScreen {
 public:
  void Update() override {
    ++updates;
    if (popAfter > 0 && updates == popAfter) PopScreen();
  }
  int OnMessage(platform::WindowHandle, unsigned, uintptr_t, intptr_t) override { return 0; }
  int updates = 0;
  int popAfter = 0;
};

class MainLoop : public ::testing::Test {
 protected:
  void TearDown() override {
    ResetScreenStack();
    g_appActive = 0;
    g_prefs.Reset();
    platform::ClearMessageQueue();
  }
};

TEST_F(MainLoop, UpdatesOnlyWhileActiveAndEndsWithAnEmptyStack) {
  g_prefs.framePeriod = 1;
  CountingScreen a;
  a.popAfter = 3;
  PushScreen(&a);
  g_appActive = 0;
  platform::PostMessage(nullptr, platform::WM_USER, 0, 0);
  EXPECT_EQ(PumpMessages(), 1);
  EXPECT_EQ(a.updates, 0);
  g_appActive = 1;
  EXPECT_EQ(RunMainLoop(), 0);
  EXPECT_EQ(a.updates, 3);
  EXPECT_EQ(g_currentScreen, nullptr);
}

TEST_F(MainLoop, QuitEndsTheLoopWithItsCodeAndKeepsTheScreens) {
  CountingScreen a;
  PushScreen(&a);
  platform::PostQuitMessage(5);
  EXPECT_EQ(RunMainLoop(), 5);
  EXPECT_EQ(g_quitRequested, 1);
  EXPECT_EQ(g_currentScreen, &a);
}

// The whole way out: Escape on the placeholder menu pops it, the root pops itself and destroys
// the main window, whose destruction ends the loop.
TEST_F(MainLoop, EscapeOnTheEmptyMenuEndsTheProgramThroughTheRoot) {
  testing_support::ForgedDataCopy data;  // the root loads the shared fonts and buttons
  ConstructScreenObjects();
  if (!platform::IsWindowClassRegistered("VRASK_MAIN_WINDOW"))
    platform::RegisterWindowClass("VRASK_MAIN_WINDOW", MainWndProc);
  g_mainWindow = platform::CreateAppWindow("VRASK_MAIN_WINDOW", "Realms of Vrask", platform::WindowPlacement{});
  ASSERT_NE(g_mainWindow, nullptr);
  g_prefs.framePeriod = 1;
  {
    platform::ManualClock clock(777);  // the system time the game's generator is seeded from
    PushScreen(g_frontEndRoot);
  }
  EXPECT_EQ(g_random.Next(), CRandom(777).Next());
  EXPECT_EQ(g_screenCount, 2);
  EXPECT_EQ(g_currentScreen, g_mainMenuScreen);
  platform::SimulateKey(platform::VK_ESCAPE, true);
  EXPECT_EQ(RunMainLoop(), 0);
  EXPECT_EQ(g_screenCount, 0);
  EXPECT_EQ(g_mainWindow, nullptr);
  DestroyScreenObjects();
}

// The root with the spine's own steps: entering it loads the print effects and attaches the
// battle map view to the map and the work surface in the battle view's rectangle, taking no
// input yet; leaving it frees the print effects, the doors and the shared sprites.
TEST_F(MainLoop, TheRootLoadsThePrintEffectsAndAttachesTheMapViewAndFreesThemOnItsWayOut) {
  testing_support::ForgedDataCopy data;
  InstallRootScreenHooks();
  ConstructScreenObjects();
  if (!platform::IsWindowClassRegistered("VRASK_MAIN_WINDOW"))
    platform::RegisterWindowClass("VRASK_MAIN_WINDOW", MainWndProc);
  g_mainWindow = platform::CreateAppWindow("VRASK_MAIN_WINDOW", "Realms of Vrask", platform::WindowPlacement{});
  ASSERT_NE(g_mainWindow, nullptr);
  g_prefs.framePeriod = 1;
  g_prefs.isHighRes = 1;
  g_prefs.windowSize = 1;  // the area above the battle panel
  ASSERT_EQ(g_printFXCount, 0);
  PushScreen(g_frontEndRoot);
  EXPECT_GT(g_printFXCount, 0);
  EXPECT_NE(PrintFXRecordOf(0), nullptr);
  EXPECT_GE(g_mapView.index, 0);  // registered among the window objects
  EXPECT_EQ(g_mapView.active, 0);
  EXPECT_EQ(g_mapView.map, &g_map);
  EXPECT_EQ(g_mapView.drawSurface, &g_backBuffer);
  EXPECT_EQ(g_mapView.rect.left, 0);
  EXPECT_EQ(g_mapView.rect.top, 0);
  EXPECT_EQ(g_mapView.rect.right, 800);
  EXPECT_EQ(g_mapView.rect.bottom, 460);
  g_doors.assign(2, CDoorRecord{});  // as a battle would leave them
  EXPECT_TRUE(g_buttonSprite.IsLoaded());

  platform::SimulateKey(platform::VK_ESCAPE, true);
  EXPECT_EQ(RunMainLoop(), 0);
  EXPECT_EQ(g_screenCount, 0);
  EXPECT_EQ(g_printFXCount, 0);
  EXPECT_EQ(g_printFX, nullptr);
  EXPECT_TRUE(g_doors.empty());
  EXPECT_FALSE(g_buttonSprite.IsLoaded());
  EXPECT_FALSE(g_borderSprite.IsLoaded());
  g_frontEndRootHooks.Install(nullptr);
  DestroyScreenObjects();
}

}  // namespace
