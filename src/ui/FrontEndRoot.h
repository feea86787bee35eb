#pragma once
// CFrontEndRoot: the screen at the bottom of the stack. Entering it loads what every screen
// shares and pushes the main menu; when the main menu closes, the root pops itself, frees
// the shared resources and destroys the main window, which ends the program.

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

// What entering and leaving the root does in the subsystems above the screen framework, in
// the root's order; each owner fills its own and an empty one is skipped. A required load
// that fails shows the fatal file-load box itself.
struct FrontEndRootHooks {
  void (*loadInterfacePanels)() = nullptr;  // the tooltips and the message panel
  void (*loadEffectTables)() = nullptr;
  void (*loadCreatureTypes)() = nullptr;
  void (*loadPrintEffects)() = nullptr;
  void (*attachMapView)(int left, int top, int right, int bottom) = nullptr;
  void (*loadBattlePanels)() = nullptr;  // story scroll, spot icons, select bar, faces, chat
  void (*freeShared)() = nullptr;        // doors, named list, print effects
};
extern FrontEndRootHooks g_frontEndRootHooks;

extern CFrontEndRoot* g_frontEndRoot;
// The main menu the root pushes; until the front end fills it, an empty screen that Escape closes.
extern CScreen* g_mainMenuScreen;

// Builds and destroys the root and the placeholder menu as global objects.
void ConstructScreenObjects();
void DestroyScreenObjects();

// The battle view's rectangle for a view size and resolution (index 0 the whole screen,
// 1 the area above the battle panel).
void BattleViewRect(int windowSize, bool highRes, int rect[4]);
