#pragma once
// CFrontEndRoot: the screen at the bottom of the stack. Entering it loads what every screen
// shares and pushes the first menu; when that menu closes, the root pops itself, frees the
// shared resources and destroys the main window, which ends the program.

#include "core/MMTimer.h"
#include "ui/Screen.h"

class CFrontEndRoot : public CScreen {
 public:
  CFrontEndRoot() { id = 1; }
  void Enter() override;
  void Exit() override;
  void Resume() override { PopScreen(); }
  void Update() override {}
  int OnMessage(platform::WindowHandle, unsigned, uintptr_t, intptr_t) override { return 0; }

  CMMTimer cursorTimer;
};

extern CFrontEndRoot* g_frontEndRoot;
// The first menu, which the root pushes at the end of its entry. Until the front end builds
// its main menu (and points this at it among the global objects), an empty screen that
// Escape closes.
extern CScreen* g_mainMenuScreen;

// Builds and destroys the root and the placeholder menu as global objects.
void ConstructScreenObjects();
void DestroyScreenObjects();
