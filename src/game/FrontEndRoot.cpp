#include "game/FrontEndRoot.h"

#include <new>

#include "core/Main.h"
#include "core/Options.h"
#include "core/Random.h"
#include "game/WinMain.h"
#include "platform/Clock.h"
#include "ui/Cursor.h"
#include "ui/PlaceholderMenu.h"
#include "ui/SharedArt.h"

CFrontEndRoot* g_frontEndRoot = nullptr;
CScreen* g_mainMenuScreen = nullptr;

namespace {
alignas(CFrontEndRoot) unsigned char g_rootStorage[sizeof(CFrontEndRoot)];
alignas(CPlaceholderMenu) unsigned char g_menuStorage[sizeof(CPlaceholderMenu)];
CPlaceholderMenu* g_placeholderMenu = nullptr;

void StartSoftwareCursor(CMMTimer& timer) {
  LoadCursorsCfg();
  timer.SetPeriod(20, 5);
  timer.Start(CursorTimerCallback);
}

// The first menu: the front end's main menu once it exists.
void PushFirstMenu() {
  if (g_mainMenuScreen) PushScreen(g_mainMenuScreen);
}
}  // namespace

void ConstructScreenObjects() {
  if (!g_frontEndRoot) g_frontEndRoot = new (g_rootStorage) CFrontEndRoot;
  if (!g_placeholderMenu) g_placeholderMenu = new (g_menuStorage) CPlaceholderMenu;
  if (!g_mainMenuScreen) g_mainMenuScreen = g_placeholderMenu;
}

void DestroyScreenObjects() {
  if (g_mainMenuScreen == g_placeholderMenu) g_mainMenuScreen = nullptr;
  if (g_placeholderMenu) g_placeholderMenu->~CPlaceholderMenu();
  if (g_frontEndRoot) g_frontEndRoot->~CFrontEndRoot();
  g_placeholderMenu = nullptr;
  g_frontEndRoot = nullptr;
}

// What every screen shares, in this order. The steps of the subsystems not built yet take
// their places as marked: each calls its owner directly.
void CFrontEndRoot::Enter() {
  LoadSharedFontsAndButtons();
  // The tooltips and the in-battle message panel (battle), then the effect tables (magic).
  if (g_softwareCursor) StartSoftwareCursor(cursorTimer);
  // The creature types (creatures; a failure names cfg\creature.cfg), the print effects, the
  // battle map view attached to the map in the battle view's rectangle (map), and the story
  // scroll, spot icons, select bar, wizard faces and chat console (battle).
  g_random.Seed(platform::SystemTimeMs());  // a fresh game every run
  PushFirstMenu();
}

void CFrontEndRoot::Exit() {
  // The timer stops before the cursors it draws are freed.
  cursorTimer.Stop();
  FreeCursors();
  FreeSharedButtons();
  // The battle map's doors, the battle's named list and the print effects are freed here.
  if (g_mainWindow) platform::DestroyAppWindow(g_mainWindow);
}
