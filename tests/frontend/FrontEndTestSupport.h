#pragma once
// Shared by the front end's tests: a copy of the forged data as the current directory, the
// display open at a resolution with the shared art loaded, the front end's screen objects
// built over a bottom screen, and frames, clicks and keys as the main loop would deliver them.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/GameSettings.h"
#include "core/Main.h"
#include "core/Options.h"
#include "forge/FrontEndLayouts.h"
#include "frontend/FrontEndScreens.h"
#include "frontend/FrontEndWizards.h"
#include "graphics/Display.h"
#include "graphics/GraphicsFixtures.h"
#include "platform/Files.h"
#include "platform/Profile.h"
#include "support/Png.h"
#include "support/TestSupport.h"
#include "ui/Control.h"
#include "ui/Cursor.h"
#include "ui/Flatwin.h"
#include "ui/Screen.h"
#include "ui/SharedArt.h"

namespace frontend_test {

// The screen at the bottom of the stack in place of the front-end root: it notes when it is
// current again.
class BottomScreen : public CScreen {
 public:
  void Resume() override { ++resumed; }
  void Update() override {}
  int OnMessage(platform::WindowHandle, unsigned, uintptr_t, intptr_t) override { return 0; }
  int resumed = 0;
};

// What the menus ask of the wizard table, recorded.
struct RecordedWizards : IFrontEndWizards {
  void ClearTable() override { calls.push_back("clear"); }
  void LoadStartWizard(int record) override { calls.push_back("start " + std::to_string(record)); }
  std::vector<std::string> calls;
};

class FrontEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    data_ = std::make_unique<testing_support::ForgedDataCopy>();
    OpenDisplay(true);
    ConstructFrontEndScreens();
    g_gameSettings = CGameSettings{};
    g_gameMode = kGameModeNone;
    g_networkGame = 0;
  }
  void TearDown() override {
    while (g_screenCount > 0) PopScreen();
    DestroyFrontEndScreens();
    CloseDisplay();
    ResetGlobalOptions();
    g_gameSettings = CGameSettings{};
    data_.reset();
  }

  void OpenDisplay(bool highRes) {
    ResetMouseInput();
    display_ = std::make_unique<graphics_test::OpenDisplay>(true, highRes);
    LoadSharedFontsAndButtons();
    g_appActive = 1;
  }
  void CloseDisplay() {
    ResetMouseInput();
    FreeSharedButtons();
    g_appActive = 0;
    display_.reset();
  }

  // The bottom screen and the screen above it.
  void Open(CScreen* screen) {
    PushScreen(&bottom_);
    PushScreen(screen);
  }
  // Frames of the current screen, as the main loop runs them.
  void Frames(int count) {
    for (int i = 0; i < count && g_currentScreen; ++i) g_currentScreen->Update();
  }
  // Runs frames until the screen on top changes (at most 20); answers it.
  CScreen* FramesUntilChange() {
    CScreen* before = g_currentScreen;
    for (int i = 0; i < 20 && g_currentScreen == before; ++i) g_currentScreen->Update();
    return g_currentScreen;
  }
  // A left click at a point, dispatched as the next frame would.
  void ClickAt(int x, int y) {
    QueueMouseEvent(0, x, y);
    QueueMouseEvent(platform::MK_LBUTTON, x, y);
    QueueMouseEvent(0, x, y);
    DispatchMouseEvents();
  }
  void ClickWidget(const forge::ScreenLayout& layout, forge::WidgetKind kind, int number) {
    const forge::LayoutPoint at = forge::WidgetCentre(layout, kind, number, g_prefs.isHighRes != 0);
    ClickAt(at.x, at.y);
  }
  void Key(int virtualKey) {
    g_currentScreen->OnMessage(nullptr, platform::WM_KEYDOWN, static_cast<uintptr_t>(virtualKey), 0);
    g_currentScreen->OnMessage(nullptr, platform::WM_KEYUP, static_cast<uintptr_t>(virtualKey), 0);
  }
  // The back buffer as a PNG in the test output folder.
  void SaveFrame(const std::string& name) {
    testing_support::WritePng565(testing_support::TestOutputDir() + "/" + name, g_backBuffer.width, g_backBuffer.height,
                                 graphics_test::Pixels(g_backBuffer));
  }

  std::unique_ptr<testing_support::ForgedDataCopy> data_;
  std::unique_ptr<graphics_test::OpenDisplay> display_;
  BottomScreen bottom_;
};

}  // namespace frontend_test
