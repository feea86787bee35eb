#include "game/GlobalObjects.h"

#include "battle/Battle.h"
#include "battle/ChatConsole.h"
#include "battle/ScrollPanel.h"
#include "battle/SelectBar.h"
#include "battle/TooltipManager.h"
#include "battle/WizardFacePanel.h"
#include "core/GameSettings.h"
#include "core/Globals.h"
#include "core/Main.h"
#include "frontend/FrontEndScreens.h"
#include "frontend/MainMenu.h"
#include "graphics/Display.h"
#include "graphics/Surface.h"
#include "magic/EffectManager.h"
#include "map/Map.h"
#include "map/TileOverlay.h"
#include "sound/SoundCues.h"
#include "sound/SoundStartup.h"
#include "ui/FrontEndRoot.h"
#include "ui/SharedArt.h"
#include "ui/SpeechCtrl.h"

namespace {

void ClearDisplayDeviceCount() { g_displayDeviceCount = 0; }

// The objects live as the program's statics; their places here give them their start state
// and, at exit, release what they hold in the table's reverse order, so that nothing drawn
// or printed outlives the surfaces and the preferences go last.
struct GlobalObjectRow {
  int order;
  const char* name;
  void (*construct)();
  void (*destroy)();
};

// Every object of the order. A row without functions is an object whose subsystem is not
// built yet, or one its owner fills below the spine (the core's preferences, random
// generators and realm file, the sound manager and the CD player): it keeps its place and
// name in the order.
const GlobalObjectRow kRows[] = {
    {1, "preferences", nullptr, nullptr},
    {2, "primary surface", ClearDisplayDeviceCount, [] { g_primary.Release(); }},
    {3, "back buffer", ClearDisplayDeviceCount, [] { g_backBuffer.Release(); }},
    {4, "battle map", nullptr, [] { g_map.Clear(); }},
    {5, "map view", nullptr, nullptr},
    {6, "buffers of the battle, spells and map", nullptr, nullptr},
    {7, "world objects", nullptr, nullptr},
    {8, "creatures", nullptr, nullptr},
    {9, "creature type table", nullptr, nullptr},
    {10, "effects", nullptr, [] { g_effectManager.Reset(); }},
    {11, "AI experience ring", nullptr, nullptr},
    {12, "tile overlay",
     [] {
       g_tileSpans.frameCount = 15;
       g_tileSpans.frameDelay = 1;
     },
     [] { g_tileSpans.Free(); }},
    {13, "select bar", nullptr, [] { g_selectBar.Release(); }},
    {14, "tooltips", nullptr, [] { g_tooltipManager.Release(); }},
    {15, "message panel", nullptr, nullptr},
    {16, "spot icons", nullptr, nullptr},
    {17, "message scroll", nullptr, nullptr},
    {18, "scanner", nullptr, nullptr},
    {19, "wizard face panel", nullptr, [] { g_wizardFacePanel.Release(); }},
    {20, "story scroll panel", nullptr, [] { g_scrollPanel.Release(); }},
    {21, "chat console", nullptr, [] { g_chatConsole.Release(); }},
    {22, "control-limit display", nullptr, nullptr},
    {23, "battle timer display", nullptr, nullptr},
    {24, "shared sprites", nullptr,
     [] {
       g_buttonSprite.Free();
       g_borderSprite.Free();
     }},
    {25, "shared fonts",
     [] {
       for (CFont* font : {&g_yellowFont, &g_smallFont, &g_bodyFont, &g_headingFont}) font->spacing = 1;
     },
     [] {
       for (CFont* font : {&g_yellowFont, &g_smallFont, &g_bodyFont, &g_headingFont}) font->Free();
     }},
    {26, "creature animations", nullptr, nullptr},
    {27, "shared animations", nullptr, nullptr},
    {28, "random generators", nullptr, nullptr},
    {29, "sound manager", nullptr, nullptr},
    {30, "CD player", nullptr, nullptr},
    {31, "sound cues", [] { g_soundCues = CSoundCues{}; }, nullptr},
    {32, "AI learning store", nullptr, nullptr},
    {33, "AI controller of the creatures", nullptr, nullptr},
    {34, "AI controller of the wizards", nullptr, nullptr},
    {35, "route-search tables", nullptr, nullptr},
    {36, "wizards", nullptr, nullptr},
    // With a placeholder menu, which the tests of the spine push.
    {37, "front-end root", ConstructScreenObjects, DestroyScreenObjects},
    {38, "battle", ConstructBattle, DestroyBattle},
    // The front end's screens, the main menu among them: the first menu the root pushes.
    {39, "main menu",
     [] {
       ConstructFrontEndScreens();
       g_mainMenuScreen = g_mainMenu;
     },
     [] {
       g_mainMenuScreen = nullptr;
       DestroyFrontEndScreens();
     }},
    {40, "menu screens 11, 12 and 13", nullptr, nullptr},
    {41, "single-player battle screen", nullptr, nullptr},
    {42, "realm view", nullptr, nullptr},
    {43, "grimoire", nullptr, nullptr},
    {44, "menu screen 14", nullptr, nullptr},
    {45, "battle options screen", nullptr, nullptr},
    {46, "load and save screens", nullptr, nullptr},
    {47, "multiplayer screens", nullptr, nullptr},
    {48, "mini menu, region entry and character screens", nullptr, nullptr},
    {49, "lobby screens", nullptr, nullptr},
    {50, "quick battle menu", nullptr, nullptr},
    {51, "multiplayer battle set-up screens", nullptr, nullptr},
    {52, "map selection screen", nullptr, nullptr},
    {53, "quick battle end screen", nullptr, nullptr},
    {54, "network load screen", nullptr, nullptr},
    {55, "network command port", nullptr, nullptr},
    {56, "demo end screen", nullptr, nullptr},
    {57, "player slots", nullptr, nullptr},
    {58, "game settings", [] { g_gameSettings = CGameSettings{}; }, nullptr},
    {59, "network transport record", nullptr, nullptr},
    {60, "realm file", nullptr, nullptr},
    {61, "battle start record", nullptr, nullptr},
    {62, "armies", nullptr, nullptr},
    {63, "saved-game settings record", nullptr, nullptr},
    {64, "network session", nullptr, nullptr},
    {65, "host side", nullptr, nullptr},
    {66, "client side", nullptr, nullptr},
    {67, "shared animation", nullptr, nullptr},
    {68, "battle fonts and buffer", nullptr, nullptr},
    {69, "speech control", nullptr, [] { g_speechCtrl.Clear(); }},
    {70, "AI objects", nullptr, nullptr},
    {71, "lobby session", nullptr, nullptr},
    {72, "blit benchmark", [] { g_blitBenchmark = 0; }, nullptr},
};
static_assert(sizeof kRows / sizeof kRows[0] == kGlobalOrderCount - 1, "one row for every place of the order");

}  // namespace

void FillGlobalObjects() {
  for (const GlobalObjectRow& row : kRows) {
    if (row.construct || row.destroy)
      SetGlobalObject(row.order, row.name, row.construct, row.destroy);
    else
      NameGlobalObject(row.order, row.name);
  }
  RegisterSoundGlobalObjects();  // 29 the sound manager, 30 the CD player
}
