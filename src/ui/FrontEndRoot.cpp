#include "ui/FrontEndRoot.h"

#include <new>

#include "core/Main.h"
#include "core/Options.h"
#include "core/Preferences.h"
#include "core/Random.h"
#include "platform/Clock.h"
#include "ui/Cursor.h"
#include "ui/PlaceholderMenu.h"
#include "ui/SharedArt.h"

FrontEndRootHooks g_frontEndRootHooks;
CFrontEndRoot* g_frontEndRoot = nullptr;
CScreen* g_mainMenuScreen = nullptr;

namespace {
alignas(CFrontEndRoot) unsigned char g_rootStorage[sizeof(CFrontEndRoot)];
alignas(CPlaceholderMenu) unsigned char g_menuStorage[sizeof(CPlaceholderMenu)];
CPlaceholderMenu* g_placeholderMenu = nullptr;
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

void BattleViewRect(int windowSize, bool highRes, int rect[4]) {
  rect[0] = rect[1] = 0;
  rect[2] = highRes ? 800 : 640;
  rect[3] = windowSize == 1 ? (highRes ? 460 : 340) : (highRes ? 600 : 480);
}

void CFrontEndRoot::Enter() {
  const FrontEndRootHooks& hooks = g_frontEndRootHooks;
  LoadSharedFontsAndButtons();
  if (hooks.loadInterfacePanels) hooks.loadInterfacePanels();
  if (hooks.loadEffectTables) hooks.loadEffectTables();
  if (g_softwareCursor) {
    LoadCursorsCfg();
    cursorTimer.SetPeriod(20, 5);
    cursorTimer.Start(CursorTimerCallback);
  }
  if (hooks.loadCreatureTypes) hooks.loadCreatureTypes();
  if (hooks.loadPrintEffects) hooks.loadPrintEffects();
  if (hooks.attachMapView) {
    int rect[4];
    BattleViewRect(g_prefs.windowSize, g_prefs.isHighRes != 0, rect);
    hooks.attachMapView(rect[0], rect[1], rect[2], rect[3]);
  }
  if (hooks.loadBattlePanels) hooks.loadBattlePanels();
  g_random.Seed(platform::SystemTimeMs());  // a fresh game every run
  if (g_mainMenuScreen) PushScreen(g_mainMenuScreen);
}

void CFrontEndRoot::Exit() {
  // The timer stops before the cursors it draws are freed.
  cursorTimer.Stop();
  FreeCursors();
  FreeSharedButtons();
  if (g_frontEndRootHooks.freeShared) g_frontEndRootHooks.freeShared();
  if (g_mainWindow) platform::DestroyAppWindow(g_mainWindow);
}
