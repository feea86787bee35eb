#include "ui/Screen.h"

#include "core/ErrorBox.h"
#include "core/Main.h"
#include "core/Options.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "sound/CDAudio.h"
#include "ui/Cursor.h"

CScreen* g_screenStack[kMaxScreens + 1] = {};
int g_screenCount = 0;
CScreen* g_currentScreen = nullptr;
int g_quitRequested = 0;
int g_exitCode = 0;

namespace {

void ScreenClassError(const char* text) { platform::ShowMessageBox(text, "SCREEN CLASS ERROR", WarningBoxFlags()); }

void RestartSkipCountdown() { g_skipCountdown = g_frameSkipEvery; }

// Keys and left-button presses made before the push (the Enter that chose a menu item) must
// not reach the new screen; moves and releases stay.
void DiscardPendingInput() {
  platform::RemoveMessages(g_mainWindow, platform::WM_KEYFIRST, platform::WM_KEYLAST);
  platform::RemoveMessages(g_mainWindow, platform::WM_LBUTTONDOWN, platform::WM_LBUTTONDOWN);
}

// Takes the queued messages; false when WM_QUIT was among them.
bool DispatchQueuedMessages() {
  platform::Message message;
  while (platform::PeekMessage(message, false)) {
    if (!platform::GetMessage(message)) {
      g_quitRequested = 1;
      g_exitCode = static_cast<int>(message.wParam);
      return false;
    }
    if (message.message == platform::MM_MCINOTIFY) g_cdAudio.OnNotify(static_cast<int>(message.wParam));
    platform::DispatchMessage(message);
  }
  return true;
}

}  // namespace

void CScreen::BeginFadeOut() {
  SetCursorKind(kCursorNone);
  if (fadesOn && !fading) {
    fading = 1;
    fadeStep = 0;
  }
}

void PushScreen(CScreen* screen) {
  if (g_screenCount >= kMaxScreens) {
    ScreenClassError("the screen class call stack has overflowed");
    return;
  }
  if (g_currentScreen) g_currentScreen->Suspend();
  g_screenStack[++g_screenCount] = screen;
  g_currentScreen = screen;
  RestartSkipCountdown();
  DiscardPendingInput();
  ForgetCursorBackground();
  screen->Enter();
  SetCursorKind(kCursorNormal);
}

void PopScreen() {
  if (g_screenCount <= 0) {
    ScreenClassError("the screen class call stack has underflowed");
    return;
  }
  g_currentScreen->Exit();
  g_screenStack[g_screenCount] = nullptr;
  --g_screenCount;
  RestartSkipCountdown();
  g_currentScreen = g_screenStack[g_screenCount];
  ForgetCursorBackground();
  if (g_currentScreen) g_currentScreen->Resume();
  SetCursorKind(kCursorNormal);
}

void PopToScreen(CScreen* target) {
  if (g_screenCount <= 0) {
    ScreenClassError("the screen class call stack has underflowed");
    return;
  }
  // A target that is not below the current screen leaves the stack as it is.
  int targetPosition = 0;
  for (int position = g_screenCount - 1; position >= 1 && targetPosition == 0; --position)
    if (g_screenStack[position] == target) targetPosition = position;
  if (targetPosition == 0) return;
  RestartSkipCountdown();
  g_currentScreen->Exit();
  for (int position = g_screenCount - 1; position > targetPosition; --position) g_screenStack[position]->Exit();
  for (int above = targetPosition + 1; above <= g_screenCount; ++above) g_screenStack[above] = nullptr;
  g_screenCount = targetPosition;
  g_currentScreen = target;
  ForgetCursorBackground();
  target->Resume();
  SetCursorKind(kCursorNormal);
}

int PumpMessages() { return DispatchQueuedMessages() ? 1 : 0; }

void ResetScreenStack() {
  for (CScreen*& entry : g_screenStack) entry = nullptr;
  g_screenCount = 0;
  g_currentScreen = nullptr;
  g_quitRequested = 0;
  g_exitCode = 0;
}
