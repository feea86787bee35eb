// The road through the menus in the real program: the main menu, the quick battle menu and
// back, then Quit. Once headless, driven by a script (VRASK_SCRIPT), with the frames it saved
// and the screens it noted; once in a real window on the virtual X display, with the X
// server's own pointer, at both resolutions.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "XScreen.h"
#include "forge/FrontEndLayouts.h"
#include "platform/Clock.h"
#include "support/Png.h"
#include "support/TestSupport.h"

namespace {

#ifdef VRASK_PROGRAM

using forge::WidgetKind;

using testing_support::ReadText;

// The ids in the screen log, in order.
std::vector<int> ScreenIds(const std::string& log) {
  std::vector<int> ids;
  std::istringstream lines(log);
  int frame = 0, id = 0;
  while (lines >> frame >> id) ids.push_back(id);
  return ids;
}

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

class MenuRoad : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::copy(testing_support::ForgedDataDir(), dir_.Path(), std::filesystem::copy_options::recursive);
  }
  void UseLowResolution() {
    std::ofstream(dir_.File("cfg/prefs.cfg")) << "[VIDEO]\nIsHighRes=FALSE\nMaxFramesPerSec=20\n";
  }
  std::string Program(const std::string& environment, const std::string& arguments) const {
    // exec: the shell becomes the program's timeout, which passes a signal on to the program.
    return "cd '" + dir_.Path() + "' && exec env " + environment + " timeout 120 '" + VRASK_PROGRAM + "' " + arguments +
           " 2>'" + dir_.File("stderr.txt") + "' >/dev/null";
  }
  std::string Point(const forge::ScreenLayout& layout, int button, bool highRes) const {
    const forge::LayoutPoint at = forge::WidgetCentre(layout, WidgetKind::kTextButton, button, highRes);
    return std::to_string(at.x) + " " + std::to_string(at.y);
  }
  // Copies a saved frame to the test output folder, for a person to look at.
  void KeepPicture(const std::string& name, const std::string& as) {
    std::filesystem::copy_file(dir_.File(name), testing_support::TestOutputDir() + "/" + as,
                               std::filesystem::copy_options::overwrite_existing);
  }
  testing_support::TempDir dir_;
};

TEST_F(MenuRoad, AScriptedRunGoesToTheQuickBattleMenuAndBackAndQuits) {
  const forge::ScreenLayout main = forge::MainMenuLayout(), quick = forge::QuickBattleMenuLayout();
  std::ofstream(dir_.File("road.txt")) << "log screens.txt\n"
                                       << "3 png main.png\n"
                                       << "4 click " << Point(main, 3, true) << "\n"
                                       << "24 png quick.png\n"
                                       << "25 click " << Point(quick, 4, true) << "\n"
                                       << "45 png back.png\n"
                                       << "46 click " << Point(main, 6, true) << "\n"
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
class MenuWindow : public MenuRoad {
 protected:
  // Tries of 100 ms each before a wait gives up: a checked build on a busy two-core machine can
  // take many seconds to map its window, and every wait ends as soon as it sees what it waits for.
  static constexpr int kPatientTries = 600;

  void SetUp() override {
    const char* display = std::getenv("VRASK_X_DISPLAY");
    if (!display || !*display) GTEST_SKIP() << "no virtual X display (VRASK_X_DISPLAY)";
    if (!e2e::HaveXdoTool()) GTEST_SKIP() << "no xdotool";
    display_ = display;
    MenuRoad::SetUp();
  }
  void TearDown() override {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
  }
  void Start() {
    pid_ = fork();
    if (pid_ == 0) {
      // The X libraries, unloaded when the video system shuts down at the end, leave their
      // allocations without a name the leak checker's suppressions could match: the headless
      // run checks the program's own leaks.
      const std::string command = Program(
          "DISPLAY=" + display_ + " SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy ASAN_OPTIONS=detect_leaks=0", "/win");
      execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
  }
  // The game window's id, once it is mapped.
  bool FindWindow() {
    for (int attempt = 0; attempt < kPatientTries && window_.empty(); ++attempt) {
      std::istringstream ids(e2e::XdoToolOutput(display_, "search --onlyvisible --name 'Realms of Vrask'"));
      ids >> window_;
      if (window_.empty()) platform::SleepMs(100);
    }
    return !window_.empty();
  }
  // Screenshots until the screen shows the title (or another test passes), at most a minute.
  bool ShotUntil(const std::string& name, const std::function<bool(const e2e::Screenshot&)>& test) {
    for (int attempt = 0; attempt < kPatientTries / 2; ++attempt) {
      platform::SleepMs(200);
      if (!e2e::TakeScreenshot(display_, dir_.File("shot.ppm"), shot_)) continue;
      if (test(shot_)) {
        testing_support::WritePng(testing_support::TestOutputDir() + "/" + name, shot_.width, shot_.height, shot_.rgb);
        return true;
      }
    }
    return false;
  }
  // The window's client area on the screen.
  void WindowOrigin(int& x, int& y) {
    std::istringstream lines(e2e::XdoToolOutput(display_, "getwindowgeometry --shell " + window_));
    std::string line;
    while (std::getline(lines, line)) {
      if (line.rfind("X=", 0) == 0) x = std::atoi(line.c_str() + 2);
      if (line.rfind("Y=", 0) == 0) y = std::atoi(line.c_str() + 2);
    }
  }
  void Click(const forge::ScreenLayout& layout, int button, bool highRes) {
    const forge::LayoutPoint at = forge::WidgetCentre(layout, WidgetKind::kTextButton, button, highRes);
    e2e::XdoTool(display_, "mousemove --window " + window_ + " " + std::to_string(at.x) + " " + std::to_string(at.y) +
                               " click 1");
  }
  int WaitForExit() {
    int status = 0;
    for (int attempt = 0; attempt < kPatientTries; ++attempt) {
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      platform::SleepMs(100);
    }
    return -2;
  }
  // The window's client area in the last screenshot.
  std::vector<uint8_t> Client(const e2e::Screenshot& shot, int width, int height) {
    int left = 0, top = 0;
    WindowOrigin(left, top);
    std::vector<uint8_t> client;
    if (shot.width < left + width || shot.height < top + height) return client;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        client.insert(client.end(), shot.At(left + x, top + y), shot.At(left + x, top + y) + 3);
    return client;
  }
  bool MainMenuShown(const e2e::Screenshot& shot, int width, int height) {
    const std::vector<uint8_t> client = Client(shot, width, height);
    return !client.empty() && ShowsTheMainMenu(client, width, height);
  }
  bool QuickBattleMenuShown(const e2e::Screenshot& shot, int width, int height) {
    const std::vector<uint8_t> client = Client(shot, width, height);
    return !client.empty() && ShowsTheQuickBattleMenu(client, width, height);
  }

  std::string display_;
  std::string window_;
  pid_t pid_ = -1;
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
