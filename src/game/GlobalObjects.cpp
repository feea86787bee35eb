#include "game/GlobalObjects.h"

#include "core/Globals.h"
#include "frontend/FrontEndScreens.h"
#include "frontend/MainMenu.h"
#include "graphics/Display.h"
#include "graphics/Surface.h"
#include "sound/SoundStartup.h"
#include "ui/FrontEndRoot.h"

void FillGlobalObjects() {
  // 1 the preferences, 28 the random generators and 60 the realm file are the core's own.
  // Both surfaces also clear the display device count when they are built.
  SetGlobalObject(
      kGlobalPrimarySurface, "primary surface", [] { g_displayDeviceCount = 0; }, [] { g_primary.Release(); });
  SetGlobalObject(
      kGlobalBackBuffer, "back buffer", [] { g_displayDeviceCount = 0; }, [] { g_backBuffer.Release(); });
  RegisterSoundGlobalObjects();  // 29 the sound manager, 30 the CD player
  // 37 the front-end root (with a placeholder menu, which the tests of the spine push).
  SetGlobalObject(kGlobalFrontEndRoot, "front-end root", ConstructScreenObjects, DestroyScreenObjects);
  // 39 the front end's screens, the main menu among them: the first menu the root pushes.
  SetGlobalObject(
      kGlobalMainMenu, "main menu",
      [] {
        ConstructFrontEndScreens();
        g_mainMenuScreen = g_mainMenu;
      },
      [] {
        g_mainMenuScreen = nullptr;
        DestroyFrontEndScreens();
      });
}
