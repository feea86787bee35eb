// The main loop: the window's messages, then one paced frame of the current screen.
#include "game/MainLoop.h"

#include "core/Main.h"
#include "game/ScriptedInput.h"
#include "platform/Clock.h"
#include "ui/Cursor.h"
#include "ui/Screen.h"

int RunMainLoop() {
  while (!g_quitRequested) {
    if (!PumpMessages()) return g_exitCode;
    if (g_appActive) PaceFrame();
    if (!g_currentScreen) break;
    if (g_appActive) {
      g_currentScreen->Update();
      ShowPrimary();
      ScriptedInputFrame();
    } else {
      platform::SleepMs(5);  // inactive: keep polling without burning the processor
    }
  }
  return g_exitCode;
}
