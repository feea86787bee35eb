// The window procedure: keys go to the current screen, the mouse to the screen framework's
// input queue, and the window's end takes down what belongs to the window.
#include "battle/BattleRecord.h"
#include "core/Main.h"
#include "core/Options.h"
#include "frontend/ScreenTable.h"
#include "game/WinMain.h"
#include "graphics/Display.h"
#include "platform/Window.h"
#include "sound/MusicTrackList.h"
#include "sound/SoundStartup.h"
#include "ui/Cursor.h"
#include "ui/Flatwin.h"
#include "ui/FrontEndRoot.h"
#include "ui/Screen.h"

namespace {

void ForwardToScreen(platform::WindowHandle window, unsigned message, uintptr_t wParam, intptr_t lParam) {
  if (g_currentScreen) g_currentScreen->OnMessage(window, message, wParam, lParam);
}

// The position is the lParam's two words, each an unsigned 16-bit value: the window only
// reports points of its client area.
void QueueMouse(uintptr_t wParam, intptr_t lParam) {
  QueueMouseEvent(wParam, static_cast<uint16_t>(lParam & 0xFFFF), static_cast<uint16_t>((lParam >> 16) & 0xFFFF));
}

// The software cursor's end: its timer stopped before the cursors it draws are freed.
void ReleaseSoftwareCursor() {
  if (g_frontEndRoot) g_frontEndRoot->cursorTimer.Stop();
  FreeCursors();
}

void OnDestroy(platform::WindowHandle window) {
  if (g_softwareCursor) {
    ReleaseSoftwareCursor();
    platform::ShowSystemCursor(true);
  }
  delete g_startupMutex;
  g_startupMutex = nullptr;
  ShutdownDisplay();
  FreeRecordLog();
  FreeMusicTrackList();
  if (window == g_mainWindow) g_mainWindow = nullptr;
  platform::PostQuitMessage(0);
}

bool IsVolumeArrival(uintptr_t wParam, intptr_t lParam) {
  return wParam == platform::DBT_DEVICEARRIVAL && lParam != 0 &&
         reinterpret_cast<const uint32_t*>(lParam)[1] == platform::DBT_DEVTYP_VOLUME;
}

}  // namespace

intptr_t MainWndProc(platform::WindowHandle window, unsigned message, uintptr_t wParam, intptr_t lParam) {
  using namespace platform;
  if (message == g_autoPlayMessage && g_autoPlayMessage != 0) return 1;  // refuses disc autoplay
  switch (message) {
    case WM_CREATE:
      if (g_softwareCursor) ShowSystemCursor(false);
      PollMouse();
      return 0;
    case WM_DESTROY:
      OnDestroy(window);
      return 0;
    case WM_PAINT:
      return 1;
    case WM_ACTIVATEAPP:
      g_appActive = static_cast<int>(wParam);
      return 0;
    case WM_SYSKEYDOWN:
      if (wParam == static_cast<uintptr_t>(VK_MENU)) return 0;  // Alt alone opens nothing
      ForwardToScreen(window, message, wParam, lParam);
      return 0;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
      ForwardToScreen(window, message, wParam, lParam);
      return 0;
    case WM_ACTIVATE:
    case WM_TIMER:
      return 0;
    case WM_LBUTTONUP:
      QueueMouse(wParam, lParam);
      // The front end's spell box screen takes the release itself as well.
      if (g_currentScreen && g_currentScreen->id == kScreenSpellBox) ForwardToScreen(window, message, wParam, lParam);
      return 0;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      QueueMouse(wParam, lParam);
      return 0;
    case WM_DEVICECHANGE:
      if (IsVolumeArrival(wParam, lParam)) OnDiscInserted();
      return 1;
    default:
      return DefaultWindowProc(window, message, wParam, lParam);
  }
}
