#pragma once
// The window the frame benches draw in: 800x600, of the game's own class, with no display
// needed (the dummy video driver unless one is asked for).

#include <cstdlib>

#include "core/Options.h"
#include "core/Preferences.h"
#include "graphics/Display.h"
#include "platform/Window.h"

namespace bench_window {

inline intptr_t Proc(platform::WindowHandle w, unsigned m, uintptr_t wp, intptr_t lp) {
  return platform::DefaultWindowProc(w, m, wp, lp);
}

// Opens the window at the high resolution and starts the display in it.
inline platform::WindowHandle Open() {
  setenv("SDL_VIDEODRIVER", "dummy", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  platform::RegisterWindowClass("BENCH_WINDOW", Proc);
  g_windowed = 1;
  g_prefs.isHighRes = 1;
  platform::WindowPlacement placement;
  placement.clientWidth = 800;
  placement.clientHeight = 600;
  platform::WindowHandle window = platform::CreateAppWindow("BENCH_WINDOW", "Realms of Vrask", placement);
  InitDisplay(window);
  return window;
}

}  // namespace bench_window
