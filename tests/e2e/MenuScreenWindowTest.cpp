// A menu screen in a real window on the virtual X display: the screen built from the forged
// test layout shows its controls; the X server's own pointer and keyboard (through xdotool)
// reach them through the window procedure and the mouse dispatch; screenshots show the
// result, the software cursor included.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "XScreen.h"
#include "core/MMTimer.h"
#include "core/Main.h"
#include "core/Options.h"
#include "core/Preferences.h"
#include "game/WinMain.h"
#include "graphics/Display.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/Profile.h"
#include "platform/Window.h"
#include "support/TestSupport.h"
#include "ui/Cursor.h"
#include "ui/EditBox.h"
#include "ui/Flatwin.h"
#include "ui/LayoutScreen.h"
#include "ui/SharedArt.h"
#include "ui/SliderBar.h"
#include "ui/TextButton.h"

namespace {

constexpr int kWindowLeft = 100, kWindowTop = 100;

class TestScreen : public CLayoutScreen {
 public:
  TestScreen() : CLayoutScreen("Interface\\Test\\screen (Test).cfg") {}
  void OnControl(int id) override { clicks.push_back(id); }
  std::vector<int> clicks;
};

class MenuScreenWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* display = std::getenv("VRASK_X_DISPLAY");
    if (!display || !*display) GTEST_SKIP() << "no virtual X display (VRASK_X_DISPLAY)";
    if (!e2e::HaveXdoTool()) GTEST_SKIP() << "no xdotool";
    display_ = display;
    setenv("DISPLAY", display, 1);
    setenv("SDL_VIDEODRIVER", "x11", 1);
    platform::SetMessageBoxesUseWindows(false);
    data_ = std::make_unique<testing_support::ForgedDataCopy>();

    // The game's own window procedure: mouse messages go to the mouse ring, keys to the screen.
    g_startMutex = std::make_unique<std::timed_mutex>();
    g_startupMutex = g_startMutex.get();
    g_softwareCursor = 1;
    g_windowed = 1;
    g_prefs.isHighRes = 1;
    platform::RegisterWindowClass("VRASK_MAIN_WINDOW", MainWndProc);
    platform::WindowPlacement placement;
    placement.left = kWindowLeft;
    placement.top = kWindowTop;
    placement.clientWidth = 800;
    placement.clientHeight = 600;
    g_mainWindow = platform::CreateAppWindow("VRASK_MAIN_WINDOW", "Realms of Vrask", placement);
    ASSERT_NE(g_mainWindow, nullptr);
    InitDisplay(g_mainWindow);
    LoadSharedFontsAndButtons();
    LoadCursorsCfg();
    cursorTimer_.SetPeriod(20, 5);
    cursorTimer_.Start(CursorTimerCallback);
    PushScreen(&screen_);
  }

  void TearDown() override {
    if (display_.empty()) return;
    cursorTimer_.Stop();
    while (g_screenCount > 0) PopScreen();
    FreeCursors();
    FreeSharedButtons();
    ResetMouseInput();
    g_startupMutex = nullptr;
    // Video stays up, as in the other window tests: the X libraries keep some state to the end.
    if (g_mainWindow) platform::DestroyAppWindow(g_mainWindow);
    data_.reset();
  }

  // The main loop's work for one frame: the queued messages, the screen's update, the present.
  void Frame() {
    PumpMessages();
    g_appActive = 1;  // no window manager hands out the focus here
    screen_.Update();
    ShowPrimary();
  }

  // Runs frames and looks at the screen until it satisfies the test (a bounded number of times:
  // the X server shows the window and delivers input in its own time).
  bool FramesUntil(const std::function<bool(const e2e::Screenshot&)>& seen, e2e::Screenshot& shot) {
    for (int attempt = 0; attempt < 25; ++attempt) {
      for (int i = 0; i < 3; ++i) Frame();
      platform::SleepMs(100);
      for (int i = 0; i < 3; ++i) Frame();
      if (!e2e::TakeScreenshot(display_, dir_.File("shot.ppm"), shot)) return false;
      if (seen(shot)) return true;
    }
    return false;
  }

  const unsigned char* ScreenPixel(const e2e::Screenshot& shot, int x, int y) const {
    return shot.At(kWindowLeft + x, kWindowTop + y);
  }

  // Brightness along the top row of the focus frame a text button draws when it has the focus.
  int FocusRowBrightness(const e2e::Screenshot& shot, const CControl& button) const {
    int sum = 0;
    for (int x = button.rect.left + 6; x < button.rect.left + 26; ++x)
      sum += e2e::Brightness(ScreenPixel(shot, x, button.rect.top + 3));
    return sum;
  }

  std::string display_;
  std::unique_ptr<testing_support::ForgedDataCopy> data_;
  testing_support::TempDir dir_;
  TestScreen screen_;
  CMMTimer cursorTimer_;
  std::unique_ptr<std::timed_mutex> g_startMutex;
};

TEST_F(MenuScreenWindow, AClickOnAButtonRunsItsActionAndTheScreenShowsItFocused) {
  CControl* begin = screen_.ControlOf(kWidgetTextButton, 1);
  CControl* options = screen_.ControlOf(kWidgetTextButton, 2);
  ASSERT_NE(begin, nullptr);
  ASSERT_NE(options, nullptr);
  e2e::Screenshot shot;
  // The screen shows: its gold frame and its background.
  ASSERT_TRUE(
      FramesUntil([&](const e2e::Screenshot& s) { return e2e::Near(ScreenPixel(s, 2, 2), 200, 160, 60); }, shot))
      << "the window never showed the screen";
  const int unfocused = FocusRowBrightness(shot, *options);
  EXPECT_GT(FocusRowBrightness(shot, *begin), unfocused);  // the first button has the focus

  // The X server's pointer clicks the second button.
  const int x = (options->rect.left + options->rect.right) / 2, y = (options->rect.top + options->rect.bottom) / 2;
  ASSERT_TRUE(e2e::XdoTool(display_, "mousemove --sync " + std::to_string(kWindowLeft + x) + " " +
                                         std::to_string(kWindowTop + y) + " click 1"));
  ASSERT_TRUE(
      FramesUntil([&](const e2e::Screenshot& s) { return FocusRowBrightness(s, *options) > unfocused + 60; }, shot))
      << "the click never reached the button";
  EXPECT_EQ(screen_.clicks, std::vector<int>{WidgetControlId(kWidgetTextButton, 2)});
  EXPECT_LT(FocusRowBrightness(shot, *begin), FocusRowBrightness(shot, *options));

  // The software cursor is drawn where the pointer is: the white arrow just right of its tip.
  const int hotX = g_cursorDefs[kCursorNormal].hotspotX, hotY = g_cursorDefs[kCursorNormal].hotspotY;
  EXPECT_TRUE(e2e::Near(ScreenPixel(shot, x - hotX + 4, y - hotY + 12), 255, 255, 255, 24));
}

// Text typed on the X server's keyboard reaches the focused edit box through the window's
// character messages and shows on the screen; a click on the slider's track moves its knob.
TEST_F(MenuScreenWindow, TypedTextAppearsInTheEditBoxAndTheSliderFollowsAClick) {
  auto* edit = dynamic_cast<CEditBox*>(screen_.ControlOf(kWidgetEditBox, 1));
  auto* slider = dynamic_cast<CSliderBar*>(screen_.ControlOf(kWidgetSliderBar, 1));
  ASSERT_NE(edit, nullptr);
  ASSERT_NE(slider, nullptr);
  e2e::Screenshot before;
  ASSERT_TRUE(
      FramesUntil([&](const e2e::Screenshot& s) { return e2e::Near(ScreenPixel(s, 2, 2), 200, 160, 60); }, before));
  const int textEnd = edit->caretRect.left;
  const int midY = (edit->rect.top + edit->rect.bottom) / 2;
  ASSERT_TRUE(e2e::XdoTool(display_, "mousemove --sync " + std::to_string(kWindowLeft + edit->rect.left + 10) + " " +
                                         std::to_string(kWindowTop + midY) + " click 1"));
  // Keys reach the screen as the messages are pumped, clicks with the frame's mouse dispatch:
  // the edit box has the focus once a frame has run.
  e2e::Screenshot focused;
  ASSERT_TRUE(FramesUntil([&](const e2e::Screenshot&) { return screen_.controls.Focused() == edit; }, focused));
  ASSERT_TRUE(e2e::XdoTool(display_, "type --delay 20 'Wand'"));
  e2e::Screenshot after;
  ASSERT_TRUE(FramesUntil([&](const e2e::Screenshot&) { return std::string(edit->Text()) == "MerlinWand"; }, after))
      << "the edit box holds \"" << edit->Text() << "\"";
  // The new letters are on the screen, right of where the old text ended.
  int changed = 0;
  for (int y = edit->rect.top + 4; y < edit->rect.bottom - 4; ++y)
    for (int x = textEnd + 2; x < edit->caretRect.left - 1; ++x)
      changed += std::abs(e2e::Brightness(ScreenPixel(after, x, y)) - e2e::Brightness(ScreenPixel(before, x, y))) > 60;
  EXPECT_GT(changed, 30);

  // A click right of the slider's knob moves the value a quarter of its range up.
  const int knobBefore = slider->knob.rect.left;
  const int sliderY = (slider->rect.top + slider->rect.bottom) / 2;
  ASSERT_TRUE(e2e::XdoTool(display_, "mousemove --sync " + std::to_string(kWindowLeft + slider->rect.right - 60) + " " +
                                         std::to_string(kWindowTop + sliderY) + " click 1"));
  ASSERT_TRUE(FramesUntil([&](const e2e::Screenshot&) { return slider->value == 25; }, after));
  EXPECT_GT(slider->knob.rect.left, knobBefore);
  EXPECT_EQ(screen_.clicks.back(), WidgetControlId(kWidgetSliderBar, 1));
  // The knob shows at its new place: the slider's track there has changed.
  int knobPixels = 0;
  for (int x = slider->knob.rect.left; x < slider->knob.rect.right; ++x)
    knobPixels += std::abs(e2e::Brightness(ScreenPixel(after, x, sliderY)) -
                           e2e::Brightness(ScreenPixel(before, x, sliderY))) > 30;
  EXPECT_GT(knobPixels, 3);
}

}  // namespace
