#include "ui/FrontEndRoot.h"

#include <new>

#include "core/Main.h"
#include "core/Options.h"
#include "core/Preferences.h"
#include "core/Random.h"
#include "graphics/BattleFacing.h"
#include "graphics/PrintFX.h"
#include "platform/Clock.h"
#include "ui/Cursor.h"
#include "ui/PlaceholderMenu.h"
#include "ui/SharedArt.h"

CFrontEndRoot* g_frontEndRoot = nullptr;
CScreen* g_mainMenuScreen = nullptr;

namespace {
IFrontEndRootHooks g_neutralFrontEndRootHooks;
}  // namespace

constinit HookSlot<IFrontEndRootHooks> g_frontEndRootHooks{&g_neutralFrontEndRootHooks};

namespace {
alignas(CFrontEndRoot) unsigned char g_rootStorage[sizeof(CFrontEndRoot)];
alignas(CPlaceholderMenu) unsigned char g_menuStorage[sizeof(CPlaceholderMenu)];
CPlaceholderMenu* g_placeholderMenu = nullptr;

void StartSoftwareCursor(CMMTimer& timer) {
  LoadCursorsCfg();
  timer.SetPeriod(20, 5);
  timer.Start(CursorTimerCallback);
}

// The first menu: the front end's main menu once it exists, the placeholder until then.
void PushMainMenu() {
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

void CFrontEndRoot::Enter() {
  IFrontEndRootHooks& hooks = *g_frontEndRootHooks;
  LoadSharedFontsAndButtons();
  hooks.LoadInterfacePanels();
  hooks.LoadEffectTables();
  if (g_softwareCursor) StartSoftwareCursor(cursorTimer);
  hooks.LoadCreatureTypes();
  LoadPrintFX();
  int rect[4];
  BattleViewRect(g_prefs.windowSize, g_prefs.isHighRes != 0, rect);
  hooks.AttachMapView(rect[0], rect[1], rect[2], rect[3]);
  hooks.LoadBattlePanels();
  g_random.Seed(platform::SystemTimeMs());  // a fresh game every run
  PushMainMenu();
}

void CFrontEndRoot::Exit() {
  // The timer stops before the cursors it draws are freed.
  cursorTimer.Stop();
  FreeCursors();
  g_borderSprite.Free();
  g_frontEndRootHooks->FreeBattleShared();
  g_buttonSprite.Free();
  FreePrintFX();
  if (g_mainWindow) platform::DestroyAppWindow(g_mainWindow);
}
