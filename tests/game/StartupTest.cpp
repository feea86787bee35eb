// The spine's start-up, shut-down and window procedure, run on a copy of the forged data with
// the real subsystems beneath it. A recording first menu stands in for the main menu: its
// entry and its first frame show what start-up had done by then.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ai/AIDecisionData.h"
#include "core/Main.h"
#include "core/Options.h"
#include "core/Preferences.h"
#include "game/MainLoop.h"
#include "game/WinMain.h"
#include "graphics/Display.h"
#include "graphics/PrintFX.h"
#include "graphics/Surface.h"
#include "platform/AudioOutput.h"
#include "platform/Files.h"
#include "platform/Window.h"
#include "sound/CDAudio.h"
#include "sound/SoundManager.h"
#include "support/TestSupport.h"
#include "ui/Cursor.h"
#include "ui/Flatwin.h"
#include "ui/FrontEndRoot.h"
#include "ui/Screen.h"
#include "ui/SharedArt.h"

using testing_support::BoxRecorder;

namespace {

std::vector<std::string> g_calls;

// Notes, when it is entered and at its first frame, how far start-up had gone; the first
// frame ends the loop with exit code 7.
class RecordingMenu : public CScreen {
 public:
  void Enter() override {
    g_calls.push_back("root");
    if (g_primary.IsCreated() && g_backBuffer.IsCreated()) g_calls.push_back("display");
    if (g_cdAudio.playCount > 0) g_calls.push_back("music");
  }
  void Update() override {
    g_calls.push_back("loop");
    if (g_cdAudio.playCount > 0) g_calls.push_back("music");
    platform::PostQuitMessage(7);
  }
  int OnMessage(platform::WindowHandle, unsigned message, uintptr_t wParam, intptr_t) override {
    g_calls.push_back(std::to_string(message) + ":" + std::to_string(wParam));
    return 0;
  }
};

class Startup : public ::testing::Test {
 protected:
  void SetUp() override {
    g_calls.clear();
    ResetGlobalOptions();
    g_prefs.Reset();
    ResetFramePacer();
    g_cdAudio.ClearPlayList();
    ConstructScreenObjects();
    g_mainMenuScreen = &menu_;
  }
  void TearDown() override {
    if (g_mainWindow && platform::IsWindow(g_mainWindow)) platform::DestroyAppWindow(g_mainWindow);
    g_mainWindow = nullptr;
    ShutdownDisplay();
    FreeCursors();
    FreeSharedButtons();
    FreePrintFX();  // the root loaded them, and the loop ended with it still on the stack
    ResetScreenStack();
    g_appActive = 0;
    platform::ClearMessageQueue();
    g_mainMenuScreen = nullptr;
    DestroyScreenObjects();
    g_cdAudio.Close();
    g_cdAudio.ClearPlayList();
    ResetMouseInput();
    ResetGlobalOptions();
    g_prefs.Reset();
  }
  testing_support::ForgedDataCopy data_;
  RecordingMenu menu_;
};

TEST_F(Startup, RunsItsStepsInOrderAndAnswersTheLoopsExitCode) {
  BoxRecorder boxes;
  g_appActive = 1;
  EXPECT_EQ(WinMain(nullptr, nullptr, "/win", 1), 7);
  EXPECT_EQ(boxes.Count(), 0u);
  // The display is open when the root pushes the first menu; the title music starts after
  // that, before the first frame.
  EXPECT_EQ(g_calls, (std::vector<std::string>{"root", "display", "loop", "music"}));
  EXPECT_EQ(g_windowed, 1);
  EXPECT_EQ(g_displayDevice, 0);   // in a window, the first device whatever the choice
  EXPECT_EQ(g_screenHeight, 600);  // the forged preferences ask for 800 x 600
  EXPECT_NE(g_autoPlayMessage, 0u);
  EXPECT_EQ(g_mainWindow, nullptr);  // closed on the way out
  EXPECT_EQ(g_startupMutex, nullptr);
  EXPECT_FALSE(g_primary.IsCreated());  // the window's end closed the display
}

TEST_F(Startup, WithoutTheOptionsFileItWarnsAndKeepsTheDefaults) {
  platform::RemoveFile("cfg/vrask.cfg");
  BoxRecorder boxes;
  g_appActive = 1;
  EXPECT_EQ(WinMain(nullptr, nullptr, "", 1), 7);
  ASSERT_EQ(boxes.Count(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].caption, "NO CONFIGURATION FILE");
  EXPECT_EQ(boxes.Boxes()[0].text,
            "The configuration file 'VRASK.CFG' could not be found.\nDefault values will be used");
  EXPECT_EQ(g_softwareCursor, 0);
  EXPECT_EQ(g_windowed, 0);  // full screen
  EXPECT_EQ(g_calls.front(), "root");
}

TEST_F(Startup, AMissingGameDataFileEndsTheProgramWithItsBox) {
  platform::RemoveFile("cfg/chatmessage.cfg");
  BoxRecorder boxes;
  bool displayOpen = false;
  EXPECT_EQ(testing_support::ExitCodeOf([&] {
              WinMain(nullptr, nullptr, "/win", 1);
              displayOpen = g_primary.IsCreated();
            }),
            1);
  ASSERT_EQ(boxes.Count(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].caption, "FILE LOAD ERROR");
  EXPECT_EQ(boxes.Boxes()[0].text, "Unable to load file: cfg\\chatmessage.cfg, Exiting Program");
  EXPECT_TRUE(g_primary.IsCreated());  // the display had opened
  EXPECT_FALSE(displayOpen);           // WinMain never came back
  EXPECT_TRUE(g_calls.empty());        // the root was never pushed
  EXPECT_EQ(g_screenCount, 0);
}

// The computer player's decision data is the one game data file whose absence is no error:
// its tables stay at zero and the program starts without a box.
TEST_F(Startup, WithoutTheDecisionDataItStartsWithZeroTablesAndNoBox) {
  platform::RemoveFile("cfg/ai.cfg");
  ClearAIDecisionData();
  BoxRecorder boxes;
  g_appActive = 1;
  EXPECT_EQ(WinMain(nullptr, nullptr, "/win", 1), 7);
  EXPECT_EQ(boxes.Count(), 0u);
  EXPECT_EQ(g_calls.front(), "root");
  for (int id = 0; id < kAIMeasureCount; ++id) {
    EXPECT_EQ(g_aiMeasureReference[id], 0.0f) << id;
    EXPECT_EQ(g_aiMeasureRange[id], 0.0f) << id;
  }
}

TEST_F(Startup, ADesktopNotInHighColourEndsItWithItsBoxAndStopsWhatHadStarted) {
  std::vector<uint8_t> prefs;
  ASSERT_TRUE(platform::ReadWholeFile("cfg/prefs.cfg", prefs));
  std::string text(prefs.begin(), prefs.end());
  text += "\n[SOUND]\nSoundEnabled=TRUE\n";
  ASSERT_TRUE(platform::WriteWholeFile("cfg/prefs.cfg", text.data(), text.size()));
  g_theSoundManager.soundFilePath.clear();
  platform::SetDesktopBitsPerPixel(8);
  BoxRecorder boxes;
  const int exitCode = WinMain(nullptr, nullptr, "/win", 1);
  platform::SetDesktopBitsPerPixel(16);
  EXPECT_NE(exitCode, 0);
  ASSERT_EQ(boxes.Count(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].caption, "ERROR");
  EXPECT_EQ(boxes.Boxes()[0].text, "Must be in high colour mode to run in a window.");
  EXPECT_FALSE(g_theSoundManager.soundFilePath.empty());  // sound had started
  EXPECT_EQ(g_soundManager, nullptr);                     // and was stopped
  EXPECT_FALSE(platform::AudioOutputIsOpen());
  EXPECT_FALSE(g_primary.IsCreated());  // the display never opened
  EXPECT_TRUE(g_calls.empty());
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
  g_appActive = 1;
  WinMain(nullptr, nullptr, "/win", 1);
  std::copy(saved, saved + kGameDataLoads, g_gameDataLoads);
  EXPECT_EQ(loaded, (std::vector<std::string>{"cfg\\spells.cfg", "cfg\\objects.cfg", "cfg\\ai.cfg",
                                              "cfg\\chatmessage.cfg", "cfg\\chatmessage.cfg"}));
}

// The window procedure alone: keys to the current screen, the mouse to the input ring.
class WindowProcedure : public ::testing::Test {
 protected:
  void SetUp() override {
    g_calls.clear();
    ResetMouseInput();
    PushScreen(&screen_);
    g_calls.clear();
  }
  void TearDown() override {
    while (g_screenCount > 0) PopScreen();
    ResetMouseInput();
    platform::ClearMessageQueue();
  }
  // The queued mouse events as "flags@x,y" (flags: 1 left held, 2 right held).
  static std::vector<std::string> QueuedMouse() {
    std::vector<std::string> events;
    for (int i = g_mouseReadIndex; i != g_mouseWriteIndex; i = (i + 1) % kMouseRingSize) {
      const CMouseEvent& e = g_mouseRing[i];
      events.push_back(std::to_string(e.left + 2 * e.right) + "@" + std::to_string(e.x) + "," + std::to_string(e.y));
    }
    return events;
  }
  RecordingMenu screen_;
};

TEST_F(WindowProcedure, KeysGoToTheScreenButAltAloneGoesNowhere) {
  using namespace platform;
  EXPECT_EQ(MainWndProc(nullptr, WM_SYSKEYDOWN, VK_MENU, 0), 0);
  EXPECT_TRUE(g_calls.empty());
  MainWndProc(nullptr, WM_SYSKEYDOWN, 'X', 0);
  MainWndProc(nullptr, WM_KEYDOWN, VK_ESCAPE, 0);
  MainWndProc(nullptr, WM_KEYUP, VK_ESCAPE, 0);
  MainWndProc(nullptr, WM_CHAR, 'a', 0);
  EXPECT_EQ(g_calls, (std::vector<std::string>{"260:88", "256:27", "257:27", "258:97"}));
}

TEST_F(WindowProcedure, MouseMessagesGoToTheQueueAndReleasesToTheSpellBoxToo) {
  using namespace platform;
  MainWndProc(nullptr, WM_MOUSEMOVE, 0, MakePointParam(10, 20));
  MainWndProc(nullptr, WM_LBUTTONDOWN, MK_LBUTTON, MakePointParam(30, 40));
  MainWndProc(nullptr, WM_LBUTTONUP, 0, MakePointParam(1, 2));
  EXPECT_TRUE(g_calls.empty());
  screen_.id = 7;
  MainWndProc(nullptr, WM_LBUTTONUP, 0, MakePointParam(3, 4));
  EXPECT_EQ(g_calls.size(), 1u);
  EXPECT_EQ(QueuedMouse(), (std::vector<std::string>{"0@10,20", "1@30,40", "0@1,2", "0@3,4"}));
}

TEST_F(WindowProcedure, ThePositionsWordsAreUnsigned) {
  using namespace platform;
  const intptr_t highWords = static_cast<intptr_t>(0xFFF6FFFBu);  // -5 and -10 as signed words
  MainWndProc(nullptr, WM_MOUSEMOVE, 0, highWords);
  MainWndProc(nullptr, WM_RBUTTONDOWN, MK_RBUTTON, MakePointParam(40000, 32768));
  EXPECT_EQ(QueuedMouse(), (std::vector<std::string>{"0@65531,65526", "2@40000,32768"}));
}

TEST_F(WindowProcedure, ActivationAutoplayAndDestruction) {
  using namespace platform;
  g_autoPlayMessage = RegisterWindowMessage("QueryCancelAutoPlay");
  EXPECT_EQ(MainWndProc(nullptr, g_autoPlayMessage, 0, 0), 1);
  MainWndProc(nullptr, WM_ACTIVATEAPP, 0, 0);
  EXPECT_EQ(g_appActive, 0);
  MainWndProc(nullptr, WM_ACTIVATEAPP, 1, 0);
  EXPECT_EQ(g_appActive, 1);
  g_appActive = 0;
  EXPECT_EQ(MainWndProc(nullptr, WM_PAINT, 0, 0), 1);
  EXPECT_EQ(MainWndProc(nullptr, WM_DEVICECHANGE, 0, 0), 1);

  // The window's end closes the display it opened.
  if (!IsWindowClassRegistered("VRASK_MAIN_WINDOW")) RegisterWindowClass("VRASK_MAIN_WINDOW", MainWndProc);
  WindowPlacement placement;
  placement.clientWidth = 640;
  placement.clientHeight = 480;
  WindowHandle window = CreateAppWindow("VRASK_MAIN_WINDOW", "Realms of Vrask", placement);
  ASSERT_NE(window, nullptr);
  g_windowed = 1;
  InitDisplay(window);
  ASSERT_TRUE(g_primary.IsCreated());
  ClearMessageQueue();
  g_startupMutex = new std::timed_mutex;
  EXPECT_EQ(MainWndProc(nullptr, WM_DESTROY, 0, 0), 0);
  EXPECT_EQ(g_startupMutex, nullptr);
  EXPECT_FALSE(g_primary.IsCreated());
  Message quit;
  ASSERT_TRUE(PeekMessage(quit, true));
  EXPECT_EQ(quit.message, WM_QUIT);
  EXPECT_EQ(quit.wParam, 0u);
  DestroyAppWindow(window);
  ClearMessageQueue();
  g_windowed = 0;
}

}  // namespace
