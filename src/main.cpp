// The program's entry: fills the start-up hooks and the global objects' places with the
// subsystems that own them, builds the global objects, and hands over to WinMain.
#include "core/Main.h"

#include <string>

#include "core/CpuInfo.h"
#include "core/Globals.h"
#include "graphics/Display.h"
#include "graphics/Surface.h"
#include "graphics/TunedPrinters.h"
#include "net/NetStartup.h"
#include "platform/Window.h"
#include "sound/CDAudio.h"
#include "sound/MusicTrackList.h"
#include "sound/SoundStartup.h"
#include "ui/Cursor.h"
#include "ui/Flatwin.h"
#include "ui/FrontEndRoot.h"
#include "ui/Screen.h"

namespace {

int ChooseDisplayDevice(bool windowed, int monitor[4]) {
  int chosen = EnumerateDisplayDevices();
  // In a window the choice is ignored: the first device, whose monitor holds the desktop.
  g_displayDevice = windowed ? 0 : chosen;
  int device = g_displayDevice < 0 ? 0 : g_displayDevice;
  if (device < g_displayDeviceCount) {
    const CDisplayDevice& record = g_displayDevices[device];
    monitor[0] = record.monitorLeft;
    monitor[1] = record.monitorTop;
    monitor[2] = record.monitorWidth;
    monitor[3] = record.monitorHeight;
  }
  return g_displayDevice;
}

int ForwardToScreen(platform::WindowHandle window, unsigned message, uintptr_t wParam, intptr_t lParam) {
  return g_currentScreen ? g_currentScreen->OnMessage(window, message, wParam, lParam) : 0;
}

int CurrentScreenId() { return g_currentScreen ? g_currentScreen->id : 0; }

void ReleaseSoftwareCursor() {
  if (g_frontEndRoot) g_frontEndRoot->cursorTimer.Stop();
  FreeCursors();
}

void FillStartupHooks() {
  StartupHooks& hooks = g_startupHooks;
  hooks.chooseDisplayDevice = ChooseDisplayDevice;
  hooks.initDisplay = InitDisplay;
  hooks.shutdownDisplay = ShutdownDisplay;
  // Sound, music and movies.
  hooks.startSound = [](platform::WindowHandle window) { StartSound(window, g_hInstance); };
  hooks.playIntroMovies = [](platform::WindowHandle window) {
    int left = 0, top = 0;
    platform::ClientToScreen(window, left, top);
    PlayIntroMovies(&g_primary, left, top);
  };
  hooks.openCdAudio = [](platform::WindowHandle window) { OpenCdMusic(window); };
  hooks.startTitleMusic = PlayTitleMusic;
  hooks.closeCdAudio = CloseCdMusic;
  hooks.shutdownSound = StopSoundManager;
  hooks.onDiscArrived = OnDiscInserted;
  hooks.freeMusicTrackList = FreeMusicTrackList;
  g_onMciNotify = [](uintptr_t outcome) { g_cdAudio.OnNotify(static_cast<int>(outcome)); };

  hooks.pushRootScreen = [] { PushScreen(g_frontEndRoot); };
  hooks.runMainLoop = RunMainLoop;
  hooks.forwardToScreen = ForwardToScreen;
  hooks.currentScreenId = CurrentScreenId;
  hooks.queueMouseEvent = QueueMouseEvent;
  hooks.pollMouse = PollMouse;
  hooks.releaseSoftwareCursor = ReleaseSoftwareCursor;
  g_cursorTimerTick = CursorTimerTick;
  g_reloadCursorSheet = ReloadCursorSheet;
  // The printers choose by the processor's vector units rather than its family; their
  // selection also applies the option UseCSpritePrinter.
  g_selectProcessorPrinters = [](bool) { SelectSpritePrinters(DetectPrinterProcessor()); };
}

void FillGlobalObjects() {
  // Both surfaces also clear the display device count when they are built.
  SetGlobalObject(
      kGlobalPrimarySurface, "primary surface", [] { g_displayDeviceCount = 0; }, [] { g_primary.Release(); });
  SetGlobalObject(
      kGlobalBackBuffer, "back buffer", [] { g_displayDeviceCount = 0; }, [] { g_backBuffer.Release(); });
  RegisterSoundGlobalObjects();
  SetGlobalObject(kGlobalFrontEndRoot, "front-end root", ConstructScreenObjects, DestroyScreenObjects);
}

}  // namespace

int main(int argc, char** argv) {
  std::string commandLine;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) commandLine += ' ';
    commandLine += argv[i];
  }
  FillStartupHooks();
  InstallNet();
  FillGlobalObjects();
  ConstructGlobalObjects(true);
  return WinMain(nullptr, nullptr, commandLine.c_str(), 1);
}
