// The road through the menus in the real program: the main menu, the quick battle menu and
// back, then Quit. Once headless, driven by a script (VRASK_SCRIPT), with the frames it saved
// and the screens it noted; once in a real window on the virtual X display, with the X
// server's own pointer, at both resolutions.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "ProgramRoad.h"
#include "XScreen.h"
#include "forge/FrontEndLayouts.h"
#include "platform/Clock.h"
#include "support/Png.h"
#include "support/TestSupport.h"

namespace {

#ifdef VRASK_PROGRAM

using e2e::Point;
using e2e::ScreenIds;
using forge::WidgetKind;

using testing_support::ReadText;

const uint8_t* PixelOf(const std::vector<uint8_t>& rgb, int width, int x, int y) {
  return &rgb[(static_cast<size_t>(y) * width + x) * 3];
}

// The main menu, fully shown: the title's gold at the top and the night sky's blue in the
// top left corner (the quick battle menu's sky is red; a fading screen is dark).
bool ShowsTheMainMenu(const std::vector<uint8_t>& rgb, int width, int height) {
  int gold = 0;
  for (int y = height / 8; y < height / 5; ++y)
    for (int x = width / 4; x < width * 3 / 4; ++x) {
      const uint8_t* p = PixelOf(rgb, width, x, y);
      gold += p[0] > 200 && p[1] > 140 && p[2] < 140;
    }
  const uint8_t* sky = PixelOf(rgb, width, width / 20, height / 4);
  return gold > 500 && sky[2] > sky[0] + 20;
}

// The quick battle menu, fully shown: the sunset's orange low on the left.
bool ShowsTheQuickBattleMenu(const std::vector<uint8_t>& rgb, int width, int height) {
  const uint8_t* sky = PixelOf(rgb, width, width / 20, height / 2);
  return sky[0] > 150 && sky[0] > sky[2] + 60;
}

class MenuRoad : public e2e::ProgramRoad {};

TEST_F(MenuRoad, AScriptedRunGoesToTheQuickBattleMenuAndBackAndQuits) {
  const forge::ScreenLayout main = forge::MainMenuLayout(), quick = forge::QuickBattleMenuLayout();
  std::ofstream(dir_.File("road.txt")) << "log screens.txt\n"
                                       << "3 png main.png\n"
                                       << "4 click " << Point(main, WidgetKind::kTextButton, 3, true) << "\n"
                                       << "24 png quick.png\n"
                                       << "25 click " << Point(quick, WidgetKind::kTextButton, 4, true) << "\n"
                                       << "45 png back.png\n"
                                       << "46 click " << Point(main, WidgetKind::kTextButton, 6, true) << "\n"
                                       << "200 close\n";
  const int status =
      std::system(Program("SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy VRASK_SCRIPT=road.txt", "/win").c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << ReadText(dir_.File("stderr.txt"));
  const std::string log = ReadText(dir_.File("screens.txt"));
  std::vector<int> ids = ScreenIds(log);
  while (!ids.empty() && (ids.back() == 0 || ids.back() == 1)) ids.pop_back();  // the end: the root, then none
  EXPECT_EQ(ids, (std::vector<int>{3, 27, 3})) << log;
  // Quit ended the run long before the script's own close.
  std::istringstream lines(log);
  int lastFrame = 0, id = 0;
  while (lines >> lastFrame >> id) {
  }
  EXPECT_LT(lastFrame, 80) << log;

  int width = 0, height = 0;
  std::vector<uint8_t> main800, quick800, back800;
  ASSERT_TRUE(testing_support::ReadStoredPng(dir_.File("main.png"), width, height, main800));
  EXPECT_EQ(width, 800);
  EXPECT_TRUE(ShowsTheMainMenu(main800, width, height));
  ASSERT_TRUE(testing_support::ReadStoredPng(dir_.File("quick.png"), width, height, quick800));
  ASSERT_TRUE(testing_support::ReadStoredPng(dir_.File("back.png"), width, height, back800));
  EXPECT_TRUE(ShowsTheQuickBattleMenu(quick800, width, height));
  EXPECT_TRUE(ShowsTheMainMenu(back800, width, height));
  KeepPicture("main.png", "menu_road_main.png");
  KeepPicture("quick.png", "menu_road_quick_battle.png");
}

// The real program in a window on the virtual X display, worked with xdotool.
class MenuWindow : public e2e::ProgramWindow {
 protected:
  // Tries of 100 ms each before a wait gives up: a checked build on a busy two-core machine can
  // take many seconds to map its window, and every wait ends as soon as it sees what it waits for.
  static constexpr int kPatientTries = 600;

  bool FindWindow() { return ProgramWindow::FindWindow(kPatientTries); }
  int WaitForExit() { return ProgramWindow::WaitForExit(kPatientTries); }

  // Screenshots until the screen shows the title (or another test passes), at most a minute.
  // When it never does, the last screenshot is kept beside where the picture would have gone,
  // and the failure says where the window was and what the program said.
  testing::AssertionResult ShotUntil(const std::string& name,
                                     const std::function<bool(const e2e::Screenshot&)>& test) {
    const std::string path = testing_support::TestOutputDir() + "/" + name;
    for (int attempt = 0; attempt < kPatientTries / 2; ++attempt) {
      platform::SleepMs(200);
      if (!e2e::TakeScreenshot(display_, dir_.File("shot.ppm"), shot_)) continue;
      if (test(shot_)) {
        testing_support::WritePng(path, shot_.width, shot_.height, shot_.rgb);
        return testing::AssertionSuccess();
      }
    }
    if (!shot_.rgb.empty()) testing_support::WritePng(path + ".last.png", shot_.width, shot_.height, shot_.rgb);
    return testing::AssertionFailure() << name << " never showed; the window: " << lastGeometry_
                                       << "; the last screenshot: " << path << ".last.png; stderr:\n"
                                       << ReadText(dir_.File("stderr.txt"));
  }
  void Click(const forge::ScreenLayout& layout, int button, bool highRes) {
    ClickAt(forge::WidgetCentre(layout, WidgetKind::kTextButton, button, highRes));
  }
  bool MainMenuShown(const e2e::Screenshot& shot, int width, int height) {
    const std::vector<uint8_t> client = Client(shot, width, height);
    return !client.empty() && ShowsTheMainMenu(client, width, height);
  }
  bool QuickBattleMenuShown(const e2e::Screenshot& shot, int width, int height) {
    const std::vector<uint8_t> client = Client(shot, width, height);
    return !client.empty() && ShowsTheQuickBattleMenu(client, width, height);
  }

  e2e::Screenshot shot_;
};

TEST_F(MenuWindow, TheMainMenuLeadsToTheQuickBattleMenuAndBackAndQuitEndsTheProgram) {
  Start();
  ASSERT_TRUE(FindWindow()) << ReadText(dir_.File("stderr.txt"));
  ASSERT_TRUE(ShotUntil("menu_window_800.png", [&](const e2e::Screenshot& s) { return MainMenuShown(s, 800, 600); }));
  Click(forge::MainMenuLayout(), 3, true);
  ASSERT_TRUE(ShotUntil("menu_window_quick_battle.png",
                        [&](const e2e::Screenshot& s) { return QuickBattleMenuShown(s, 800, 600); }));
  Click(forge::QuickBattleMenuLayout(), 4, true);
  ASSERT_TRUE(ShotUntil("menu_window_back.png", [&](const e2e::Screenshot& s) { return MainMenuShown(s, 800, 600); }));
  Click(forge::MainMenuLayout(), 6, true);
  EXPECT_EQ(WaitForExit(), 0) << ReadText(dir_.File("stderr.txt"));
}

TEST_F(MenuWindow, AtTheLowResolutionTheMenuShowsItsOwnPicture) {
  UseLowResolution();
  Start();
  ASSERT_TRUE(FindWindow()) << ReadText(dir_.File("stderr.txt"));
  ASSERT_TRUE(ShotUntil("menu_window_640.png", [&](const e2e::Screenshot& s) { return MainMenuShown(s, 640, 480); }));
  Click(forge::MainMenuLayout(), 6, false);
  EXPECT_EQ(WaitForExit(), 0) << ReadText(dir_.File("stderr.txt"));
}

#endif

}  // namespace
