#include "game/GlobalObjects.h"

#include "core/Globals.h"
#include "game/FrontEndRoot.h"
#include "graphics/Display.h"
#include "graphics/Surface.h"
#include "sound/SoundStartup.h"

void FillGlobalObjects() {
  // 1 the preferences, 28 the random generators and 60 the realm file are the core's own.
  // Both surfaces also clear the display device count when they are built.
  SetGlobalObject(
      kGlobalPrimarySurface, "primary surface", [] { g_displayDeviceCount = 0; }, [] { g_primary.Release(); });
  SetGlobalObject(
      kGlobalBackBuffer, "back buffer", [] { g_displayDeviceCount = 0; }, [] { g_backBuffer.Release(); });
  RegisterSoundGlobalObjects();  // 29 the sound manager, 30 the CD player
  SetGlobalObject(kGlobalFrontEndRoot, "front-end root", ConstructScreenObjects, DestroyScreenObjects);
}
