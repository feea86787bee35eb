#pragma once
// CFrontEndRoot: the screen at the bottom of the stack. Entering it loads what every screen
// shares and pushes the main menu; when the main menu closes, the root pops itself, frees
// the shared resources and destroys the main window, which ends the program.

#include "core/Hooks.h"
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
// the root's order; the root does its own steps (fonts, buttons, cursors, print effects)
// itself. The spine installs its own at start-up (src/game), which calls each owner
// directly; the neutral one does nothing. A required load that fails shows the fatal
// file-load box itself.
class IFrontEndRootHooks {
 public:
  virtual ~IFrontEndRootHooks() = default;
  virtual void LoadInterfacePanels() {}  // the tooltips and the message panel
  virtual void LoadEffectTables() {}
  virtual void LoadCreatureTypes() {}
  // The battle map view, attached to the map and the work surface in the battle view's
  // rectangle.
  virtual void AttachMapView(int left, int top, int right, int bottom) {}
  virtual void LoadBattlePanels() {}  // story scroll, spot icons, select bar, faces, chat
  virtual void FreeBattleShared() {}  // the battle map's door records, the battle's named list
};
extern HookSlot<IFrontEndRootHooks> g_frontEndRootHooks;

extern CFrontEndRoot* g_frontEndRoot;
// The main menu, which the root pushes at the end of its entry. Until the front end puts its
// main menu here (among the global objects, src/game/GlobalObjects.cpp), an empty screen that
// Escape closes.
extern CScreen* g_mainMenuScreen;

// Builds and destroys the root and the placeholder menu as global objects.
void ConstructScreenObjects();
void DestroyScreenObjects();
