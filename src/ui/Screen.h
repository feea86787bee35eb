#pragma once
// Screens and the screen stack: everything the player sees is run by a screen object (the
// front-end root, the menus, the battle, the realm view, the lobby). Screens are global
// objects; the stack of at most 15 never owns them. The main loop (src/game) pumps the window
// messages and, while the application is active, paces the frame and updates the current screen.

#include <cstdint>

#include "platform/Window.h"

class CScreen {
 public:
  virtual ~CScreen() = default;
  // The screen has just been pushed and is current.
  virtual void Enter() {}
  // The screen is leaving the stack.
  virtual void Exit() {}
  // Another screen is being pushed over it.
  virtual void Suspend() {}
  // The screen above it was popped; it is current again.
  virtual void Resume() {}
  // One frame.
  virtual void Update() = 0;
  // A keyboard message (WM_KEYDOWN, WM_KEYUP, WM_CHAR, WM_SYSKEYDOWN but the Alt key).
  virtual int OnMessage(platform::WindowHandle window, unsigned message, uintptr_t wParam, intptr_t lParam) = 0;

  // Starts the fade-out of a screen about to change (the menu screens run it).
  void BeginFadeOut();

  int id = 0;
  int loaded = 0;
  uint8_t fading = 0;
  int fadeStep = 0;
  uint8_t fadesOn = 1;
};

constexpr int kMaxScreens = 15;
// Positions 1..15; position 0 stays null, so the entry below the bottom is no screen.
extern CScreen* g_screenStack[kMaxScreens + 1];
extern int g_screenCount;
extern CScreen* g_currentScreen;
extern int g_quitRequested;
extern int g_exitCode;

void PushScreen(CScreen* screen);
void PopScreen();
// Pops the screens above the target (which lies below the current one) and resumes it.
void PopToScreen(CScreen* target);
// One pass over the message queue (the main loop's, and code that waits outside it): 1 once
// the queue is empty, 0 when WM_QUIT was taken. The CD audio's notification goes to the CD
// player on the way.
int PumpMessages();
// Empties the stack without calling the screens, and forgets a quit request and its exit code
// (tests, and a new run of the game).
void ResetScreenStack();
