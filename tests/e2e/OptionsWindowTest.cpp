// The battle options in a real window on the virtual X display, worked with xdotool: choosing
// 640 x 480 shrinks the window to that client size and the menus draw at it; choosing 800 x 600
// brings it back.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "ProgramRoad.h"
#include "XScreen.h"
#include "forge/CampaignMenus.h"
#include "forge/FrontEndLayouts.h"
#include "platform/Clock.h"
#include "support/Png.h"
#include "support/TestSupport.h"

namespace {

#ifdef VRASK_PROGRAM

using e2e::ScreenIds;
using forge::WidgetKind;
using testing_support::ReadText;

class OptionsWindow : public e2e::ProgramWindow {
 protected:
  static constexpr int kPatientTries = 600;  // of 100 ms: a checked build on a busy machine is slow

  void StartLogged() {
    std::ofstream(dir_.File("log.txt")) << "log screens.txt\n";
    setenv("VRASK_SCRIPT", "log.txt", 1);
    Start("/win", 240);
  }
  void TearDown() override {
    unsetenv("VRASK_SCRIPT");
    ProgramWindow::TearDown();
  }
  // Waits until the newest screen in the log is the one asked for, a moment more for its fade,
  // and keeps what the window shows.
  bool WaitForScreen(int id, int count, const std::string& name, int width, int height) {
    for (int attempt = 0; attempt < kPatientTries; ++attempt) {
      const std::vector<int> ids = ScreenIds(ReadText(dir_.File("screens.txt")));
      if (static_cast<int>(ids.size()) >= count && ids.back() == id) {
        platform::SleepMs(800);
        e2e::Screenshot shot;
        if (!e2e::TakeScreenshot(display_, dir_.File("shot.ppm"), shot)) return false;
        const std::vector<uint8_t> client = Client(shot, width, height);
        if (!client.empty())
          testing_support::WritePng(testing_support::TestOutputDir() + "/" + name, width, height, client);
        return !client.empty();
      }
      platform::SleepMs(100);
    }
    return false;
  }
  void ClientSize(int& width, int& height) {
    std::istringstream lines(e2e::XdoToolOutput(display_, "getwindowgeometry --shell " + window_));
    std::string line;
    while (std::getline(lines, line)) {
      if (line.rfind("WIDTH=", 0) == 0) width = std::atoi(line.c_str() + 6);
      if (line.rfind("HEIGHT=", 0) == 0) height = std::atoi(line.c_str() + 7);
    }
  }
  void Click(const forge::ScreenLayout& layout, WidgetKind kind, int number, bool highRes) {
    ClickAt(forge::WidgetCentre(layout, kind, number, highRes));
  }
};

TEST_F(OptionsWindow, ChoosingTheOtherResolutionResizesTheWindow) {
  const forge::ScreenLayout main = forge::MainMenuLayout(), options = forge::BattleOptionsLayout();
  StartLogged();
  ASSERT_TRUE(FindWindow(kPatientTries)) << ReadText(dir_.File("stderr.txt"));
  ASSERT_TRUE(WaitForScreen(3, 1, "options_window_main_800.png", 800, 600)) << ReadText(dir_.File("screens.txt"));
  Click(main, WidgetKind::kTextButton, 5, true);
  ASSERT_TRUE(WaitForScreen(10, 2, "options_window_800.png", 800, 600)) << ReadText(dir_.File("screens.txt"));
  Click(options, WidgetKind::kRadioButton, 2, true);
  platform::SleepMs(300);
  Click(options, WidgetKind::kTextButton, 1, true);
  ASSERT_TRUE(WaitForScreen(3, 3, "options_window_main_640.png", 640, 480)) << ReadText(dir_.File("screens.txt"));
  int width = 0, height = 0;
  ClientSize(width, height);
  EXPECT_EQ(width, 640);
  EXPECT_EQ(height, 480);
  Click(main, WidgetKind::kTextButton, 5, false);
  ASSERT_TRUE(WaitForScreen(10, 4, "options_window_640.png", 640, 480)) << ReadText(dir_.File("screens.txt"));
  Click(options, WidgetKind::kRadioButton, 1, false);
  platform::SleepMs(300);
  Click(options, WidgetKind::kTextButton, 1, false);
  ASSERT_TRUE(WaitForScreen(3, 5, "options_window_main_back.png", 800, 600)) << ReadText(dir_.File("screens.txt"));
  ClientSize(width, height);
  EXPECT_EQ(width, 800);
  EXPECT_EQ(height, 600);
  Click(main, WidgetKind::kTextButton, 6, true);
  EXPECT_EQ(WaitForExit(kPatientTries), 0) << ReadText(dir_.File("stderr.txt"));
}

#endif

}  // namespace
