#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Main.h"
#include "core/Options.h"
#include "core/Preferences.h"
#include "platform/Files.h"
#include "platform/Window.h"
#include "support/TestSupport.h"

using testing_support::BoxRecorder;
using testing_support::TempDir;

namespace {

std::vector<std::string> g_calls;

// Start-up in a temporary folder holding the forged start-up files, with hooks that record.
class Startup : public ::testing::Test {
 protected:
  Startup() : dir_(true) {}
  void SetUp() override {
    g_calls.clear();
    for (const char* name : {"cfg/vrask.cfg", "cfg/prefs.cfg", "cfg/Install Type.cfg", "cfg/spells.cfg",
                             "cfg/objects.cfg", "cfg/ai.cfg", "cfg/chatmessage.cfg"})
      Copy(name);
    ResetGlobalOptions();
    g_prefs.Reset();
    StartupHooks hooks;
    hooks.chooseDisplayDevice = [](bool windowed, int monitor[4]) {
      g_calls.push_back(windowed ? "choose windowed" : "choose full screen");
      return 0;
    };
    hooks.initDisplay = [](platform::WindowHandle) {
      g_calls.push_back("display");
      return 1;
    };
    hooks.pushRootScreen = [] { g_calls.push_back("root"); };
    hooks.startTitleMusic = [] { g_calls.push_back("music"); };
    hooks.runMainLoop = [] {
      g_calls.push_back("loop");
      return 7;
    };
    g_startupHooks = hooks;
  }
  void TearDown() override {
    if (g_mainWindow && platform::IsWindow(g_mainWindow)) platform::DestroyAppWindow(g_mainWindow);
    platform::ClearMessageQueue();
    g_startupHooks = StartupHooks{};
    ResetGlobalOptions();
    g_prefs.Reset();
  }
  void Copy(const std::string& name) {
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(platform::ReadWholeFile(testing_support::ForgedDataDir() + "/" + name, bytes)) << name;
    dir_.Write(name, std::vector<unsigned char>(bytes.begin(), bytes.end()));
  }
  TempDir dir_;
};

TEST_F(Startup, RunsItsStepsInOrderAndAnswersTheLoopsExitCode) {
  BoxRecorder boxes;
  EXPECT_EQ(WinMain(nullptr, nullptr, "/win", 1), 7);
  EXPECT_EQ(boxes.Count(), 0u);
  EXPECT_EQ(g_calls, (std::vector<std::string>{"choose windowed", "display", "root", "music", "loop"}));
  EXPECT_EQ(g_windowed, 1);
  EXPECT_EQ(g_screenHeight, 600);  // the forged preferences ask for 800 x 600
  EXPECT_NE(g_autoPlayMessage, 0u);
  EXPECT_EQ(g_mainWindow, nullptr);  // closed on the way out
}

TEST_F(Startup, WithoutTheOptionsFileItWarnsAndKeepsTheDefaults) {
  platform::RemoveFile("cfg/vrask.cfg");
  BoxRecorder boxes;
  EXPECT_EQ(WinMain(nullptr, nullptr, "", 1), 7);
  ASSERT_EQ(boxes.Count(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].caption, "NO CONFIGURATION FILE");
  EXPECT_EQ(boxes.Boxes()[0].text,
            "The configuration file 'VRASK.CFG' could not be found.\nDefault values will be used");
  EXPECT_EQ(g_softwareCursor, 0);
  EXPECT_EQ(g_calls.front(), "choose full screen");
}

TEST_F(Startup, AMissingGameDataFileEndsTheProgramWithItsBox) {
  platform::RemoveFile("cfg/ai.cfg");
  BoxRecorder boxes;
  EXPECT_EQ(testing_support::ExitCodeOf([] { WinMain(nullptr, nullptr, "/win", 1); }), 1);
  ASSERT_EQ(boxes.Count(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].caption, "FILE LOAD ERROR");
  EXPECT_EQ(boxes.Boxes()[0].text, "Unable to load file: cfg\\ai.cfg, Exiting Program");
  EXPECT_EQ(g_calls, (std::vector<std::string>{"choose windowed", "display"}));
}

TEST_F(Startup, ADesktopNotInHighColourEndsItWithItsBoxAndStopsWhatHadStarted) {
  dir_.Write("cfg/prefs.cfg", "[SOUND]\nSoundEnabled=TRUE\n");
  g_startupHooks.startSound = [](platform::WindowHandle) { g_calls.push_back("sound"); };
  g_startupHooks.shutdownSound = [] { g_calls.push_back("sound off"); };
  platform::SetDesktopBitsPerPixel(8);
  BoxRecorder boxes;
  int exitCode = WinMain(nullptr, nullptr, "/win", 1);
  platform::SetDesktopBitsPerPixel(16);
  EXPECT_NE(exitCode, 0);
  ASSERT_EQ(boxes.Count(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].caption, "ERROR");
  EXPECT_EQ(boxes.Boxes()[0].text, "Must be in high colour mode to run in a window.");
  EXPECT_EQ(g_calls, (std::vector<std::string>{"choose windowed", "sound", "sound off"}));
  EXPECT_EQ(g_mainWindow, nullptr);
  EXPECT_EQ(g_startupMutex, nullptr);
}

TEST_F(Startup, TheGameDataLoadersAreCalledWithTheirFiles) {
  static std::vector<std::string> loaded;
  loaded.clear();
  GameDataLoad saved[kGameDataLoads];
  std::copy(g_gameDataLoads, g_gameDataLoads + kGameDataLoads, saved);
  for (GameDataLoad& entry : g_gameDataLoads)
    entry.load = [](const char* name) {
      loaded.push_back(name);
      return 1;
    };
  WinMain(nullptr, nullptr, "/win", 1);
  std::copy(saved, saved + kGameDataLoads, g_gameDataLoads);
  EXPECT_EQ(loaded, (std::vector<std::string>{"cfg\\spells.cfg", "cfg\\objects.cfg", "cfg\\ai.cfg",
                                              "cfg\\chatmessage.cfg", "cfg\\chatmessage.cfg"}));
}

std::vector<std::string> g_forwarded;
std::vector<std::string> g_mouse;
int g_screenId = 0;

class WindowProcedure : public ::testing::Test {
 protected:
  void SetUp() override {
    g_forwarded.clear();
    g_mouse.clear();
    g_screenId = 0;
    g_startupHooks.forwardToScreen = [](platform::WindowHandle, unsigned message, uintptr_t wParam, intptr_t) {
      g_forwarded.push_back(std::to_string(message) + ":" + std::to_string(wParam));
      return 0;
    };
    g_startupHooks.queueMouseEvent = [](uintptr_t flags, int x, int y) {
      g_mouse.push_back(std::to_string(flags) + "@" + std::to_string(x) + "," + std::to_string(y));
    };
    g_startupHooks.currentScreenId = [] { return g_screenId; };
  }
  void TearDown() override {
    g_startupHooks = StartupHooks{};
    platform::ClearMessageQueue();
  }
};

TEST_F(WindowProcedure, KeysGoToTheScreenButAltAloneGoesNowhere) {
  using namespace platform;
  EXPECT_EQ(MainWndProc(nullptr, WM_SYSKEYDOWN, VK_MENU, 0), 0);
  EXPECT_TRUE(g_forwarded.empty());
  MainWndProc(nullptr, WM_SYSKEYDOWN, 'X', 0);
  MainWndProc(nullptr, WM_KEYDOWN, VK_ESCAPE, 0);
  MainWndProc(nullptr, WM_KEYUP, VK_ESCAPE, 0);
  MainWndProc(nullptr, WM_CHAR, 'a', 0);
  EXPECT_EQ(g_forwarded, (std::vector<std::string>{"260:88", "256:27", "257:27", "258:97"}));
}

TEST_F(WindowProcedure, MouseMessagesGoToTheQueueAndReleasesToTheSpellBoxToo) {
  using namespace platform;
  MainWndProc(nullptr, WM_MOUSEMOVE, 0, MakePointParam(10, 20));
  MainWndProc(nullptr, WM_LBUTTONDOWN, MK_LBUTTON, MakePointParam(30, 40));
  MainWndProc(nullptr, WM_LBUTTONUP, 0, MakePointParam(1, 2));
  EXPECT_TRUE(g_forwarded.empty());
  g_screenId = 7;
  MainWndProc(nullptr, WM_LBUTTONUP, 0, MakePointParam(3, 4));
  EXPECT_EQ(g_forwarded.size(), 1u);
  EXPECT_EQ(g_mouse, (std::vector<std::string>{"0@10,20", "1@30,40", "0@1,2", "0@3,4"}));
}

TEST_F(WindowProcedure, ThePositionsWordsAreUnsigned) {
  using namespace platform;
  const intptr_t highWords = static_cast<intptr_t>(0xFFF6FFFBu);  // -5 and -10 as signed words
  MainWndProc(nullptr, WM_MOUSEMOVE, 0, highWords);
  MainWndProc(nullptr, WM_RBUTTONDOWN, MK_RBUTTON, MakePointParam(40000, 32768));
  EXPECT_EQ(g_mouse, (std::vector<std::string>{"0@65531,65526", "2@40000,32768"}));
}

TEST_F(WindowProcedure, ActivationAutoplayAndDestruction) {
  using namespace platform;
  g_autoPlayMessage = RegisterWindowMessage("QueryCancelAutoPlay");
  EXPECT_EQ(MainWndProc(nullptr, g_autoPlayMessage, 0, 0), 1);
  MainWndProc(nullptr, WM_ACTIVATEAPP, 0, 0);
  EXPECT_EQ(g_appActive, 0);
  MainWndProc(nullptr, WM_ACTIVATEAPP, 1, 0);
  EXPECT_EQ(g_appActive, 1);
  EXPECT_EQ(MainWndProc(nullptr, WM_PAINT, 0, 0), 1);
  EXPECT_EQ(MainWndProc(nullptr, WM_DEVICECHANGE, 0, 0), 1);

  static int displayClosed = 0;
  g_startupHooks.shutdownDisplay = [] { ++displayClosed; };
  g_startupMutex = new std::timed_mutex;
  EXPECT_EQ(MainWndProc(nullptr, WM_DESTROY, 0, 0), 0);
  EXPECT_EQ(g_startupMutex, nullptr);
  EXPECT_EQ(displayClosed, 1);
  Message quit;
  ASSERT_TRUE(PeekMessage(quit, true));
  EXPECT_EQ(quit.message, WM_QUIT);
  EXPECT_EQ(quit.wParam, 0u);
}

}  // namespace
