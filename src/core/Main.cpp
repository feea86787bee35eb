#include "core/Main.h"

#include <cstdlib>

#include "core/CpuInfo.h"
#include "core/ErrorBox.h"
#include "core/Options.h"
#include "core/Preferences.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"

void* g_hInstance = nullptr;
platform::WindowHandle g_mainWindow = nullptr;
std::timed_mutex* g_startupMutex = nullptr;
unsigned g_autoPlayMessage = 0;
int g_screenHeight = 480;
int g_displayOrigin[2] = {0, 0};
int g_outsideCdPlayerRunning = 0;
std::atomic<int> g_appActive{0};
StartupHooks g_startupHooks;
void (*g_cursorTimerTick)() = nullptr;

GameDataLoad g_gameDataLoads[kGameDataLoads] = {
    {"cfg\\spells.cfg", GameDataFileIsPresent},      {"cfg\\objects.cfg", GameDataFileIsPresent},
    {"cfg\\ai.cfg", GameDataFileIsPresent},          {"cfg\\chatmessage.cfg", GameDataFileIsPresent},
    {"cfg\\chatmessage.cfg", GameDataFileIsPresent},
};

namespace {

constexpr const char* kWindowClass = "VRASK_MAIN_WINDOW";
constexpr const char* kWindowTitle = "Realms of Vrask";
constexpr const char* kOutsideCdPlayerClass = "ZOQ_CdPlayerClass";

void CloseStartupMutex() {
  delete g_startupMutex;
  g_startupMutex = nullptr;
}

// At any exit after the window opened, fatal ones included, the window is closed (its
// WM_DESTROY does the window's share of the shut-down).
void CloseMainWindowAtExit() {
  if (g_mainWindow && platform::IsWindow(g_mainWindow)) platform::DestroyAppWindow(g_mainWindow);
  g_mainWindow = nullptr;
  platform::ShutdownVideo();
}

// Where the window opens: centred on the desktop in a window, over the chosen display full screen.
platform::WindowPlacement ChooseWindowPlacement() {
  platform::WindowPlacement placement;
  placement.clientWidth = g_prefs.isHighRes ? 800 : 640;
  placement.clientHeight = g_prefs.isHighRes ? 600 : 480;
  int monitor[4] = {0, 0, 0, 0};
  int device = g_startupHooks.chooseDisplayDevice ? g_startupHooks.chooseDisplayDevice(g_windowed != 0, monitor) : 0;
  g_displayOrigin[0] = monitor[0];
  g_displayOrigin[1] = monitor[1];
  if (g_windowed) {
    int screenWidth = 0, screenHeight = 0;
    platform::GetScreenSize(screenWidth, screenHeight);
    placement.left = (screenWidth - placement.clientWidth) / 2;
    placement.top = (screenHeight - placement.clientHeight) / 2;
  } else {
    placement.fullScreen = true;
    placement.display = device < 0 ? 0 : device;  // no device with either size: the first display
    placement.left = monitor[0];
    placement.top = monitor[1];
  }
  return placement;
}

void LoadGameData() {
  for (const GameDataLoad& entry : g_gameDataLoads) {
    if (!entry.load || !entry.load(entry.fileName)) ShowFileLoadError(entry.fileName);
  }
}

void ShutDownServices() {
  // An outside CD player that was not running at start-up would be closed here; no window of
  // another program is ever found, so there is none.
  if (g_prefs.cdMusicEnabled && g_startupHooks.closeCdAudio) g_startupHooks.closeCdAudio();
  if (g_prefs.soundEnabled && g_startupHooks.shutdownSound) g_startupHooks.shutdownSound();
}

}  // namespace

int GameDataFileIsPresent(const char* fileName) { return platform::FileExists(fileName) ? 1 : 0; }

void CursorTimerCallback(uint32_t, uint32_t, uintptr_t, uintptr_t, uintptr_t) {
  if (g_cursorTimerTick) g_cursorTimerTick();
}

int WinMain(void* instance, void* previousInstance, const char* commandLine, int showCommand) {
  (void)showCommand;
  g_hInstance = instance;
  ParseCommandLine(commandLine);
  CloseStartupMutex();
  g_startupMutex = new std::timed_mutex;
  g_autoPlayMessage = platform::RegisterWindowMessage("QueryCancelAutoPlay");

  if (!ReadGlobalOptions()) {
    platform::ShowMessageBox("The configuration file 'VRASK.CFG' could not be found.\nDefault values will be used",
                             "NO CONFIGURATION FILE", WarningBoxFlags());
  }
  g_cpuInfo.Probe();
  g_prefs.Load();
  g_screenHeight = g_prefs.isHighRes ? 600 : 480;

  if (!previousInstance && !platform::IsWindowClassRegistered(kWindowClass))
    platform::RegisterWindowClass(kWindowClass, MainWndProc);
  g_mainWindow = platform::CreateAppWindow(kWindowClass, kWindowTitle, ChooseWindowPlacement());
  if (!g_mainWindow) {
    CloseStartupMutex();
    return 1;
  }
  static bool closeRegistered = false;
  if (!closeRegistered) {
    closeRegistered = true;
    std::atexit(CloseMainWindowAtExit);
  }

  if (g_prefs.soundEnabled && g_startupHooks.startSound) g_startupHooks.startSound(g_mainWindow);
  g_outsideCdPlayerRunning = platform::FindOutsideWindow(kOutsideCdPlayerClass) ? 1 : 0;

  if (g_windowed && (platform::DesktopBitsPerPixel() != 16 || platform::DesktopPlanes() != 1)) {
    platform::ShowMessageBox("Must be in high colour mode to run in a window.", "ERROR", WarningBoxFlags());
    // The sound manager has started by now: it is stopped with the rest.
    ShutDownServices();
    CloseMainWindowAtExit();
    return 1;
  }

  if (g_startupHooks.initDisplay) g_startupHooks.initDisplay(g_mainWindow);
  if (g_prefs.playFmv && g_startupHooks.playIntroMovies) g_startupHooks.playIntroMovies(g_mainWindow);
  if (g_prefs.cdMusicEnabled && g_startupHooks.openCdAudio) g_startupHooks.openCdAudio(g_mainWindow);

  LoadGameData();

  if (g_startupHooks.pushRootScreen) g_startupHooks.pushRootScreen();
  if (g_startupHooks.startTitleMusic) g_startupHooks.startTitleMusic();
  int exitCode = g_startupHooks.runMainLoop ? g_startupHooks.runMainLoop() : 0;

  ShutDownServices();
  // The root screen's exit has destroyed the window by now, unless the loop ended another way.
  CloseMainWindowAtExit();
  return exitCode;
}

intptr_t MainWndProc(platform::WindowHandle window, unsigned message, uintptr_t wParam, intptr_t lParam) {
  using namespace platform;
  const StartupHooks& hooks = g_startupHooks;
  auto forward = [&] {
    if (hooks.forwardToScreen) hooks.forwardToScreen(window, message, wParam, lParam);
  };
  // The position is the lParam's two words, each an unsigned 16-bit value: the window only
  // reports points of its client area.
  auto queueMouse = [&] {
    if (hooks.queueMouseEvent)
      hooks.queueMouseEvent(wParam, static_cast<uint16_t>(lParam & 0xFFFF),
                            static_cast<uint16_t>((lParam >> 16) & 0xFFFF));
  };
  if (message == g_autoPlayMessage && g_autoPlayMessage != 0) return 1;  // refuses disc autoplay
  switch (message) {
    case WM_CREATE:
      if (g_softwareCursor) ShowSystemCursor(false);
      if (hooks.pollMouse) hooks.pollMouse();
      return 0;
    case WM_DESTROY:
      if (g_softwareCursor) {
        if (hooks.releaseSoftwareCursor) hooks.releaseSoftwareCursor();
        ShowSystemCursor(true);
      }
      CloseStartupMutex();
      if (hooks.shutdownDisplay) hooks.shutdownDisplay();
      if (hooks.closeRecordLog) hooks.closeRecordLog();
      if (hooks.freeMusicTrackList) hooks.freeMusicTrackList();
      if (window == g_mainWindow) g_mainWindow = nullptr;
      PostQuitMessage(0);
      return 0;
    case WM_PAINT:
      return 1;
    case WM_ACTIVATEAPP:
      g_appActive = static_cast<int>(wParam);
      return 0;
    case WM_SYSKEYDOWN:
      if (wParam == static_cast<uintptr_t>(VK_MENU)) return 0;  // Alt alone opens nothing
      forward();
      return 0;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
      forward();
      return 0;
    case WM_ACTIVATE:
    case WM_TIMER:
      return 0;
    case WM_LBUTTONUP:
      queueMouse();
      // The spell box screen takes the release itself as well.
      if (hooks.currentScreenId && hooks.currentScreenId() == 7) forward();
      return 0;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      queueMouse();
      return 0;
    case WM_DEVICECHANGE:
      if (wParam == DBT_DEVICEARRIVAL && lParam != 0 &&
          reinterpret_cast<const uint32_t*>(lParam)[1] == DBT_DEVTYP_VOLUME && hooks.onDiscArrived)
        hooks.onDiscArrived();
      return 1;
    default:
      return DefaultWindowProc(window, message, wParam, lParam);
  }
}
