// A real window on a virtual X display: a forged picture drawn into the back buffer and
// presented must be what a screenshot of the screen shows.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "XScreen.h"
#include "core/Options.h"
#include "core/Preferences.h"
#include "graphics/Display.h"
#include "graphics/Surface.h"
#include "platform/Clock.h"
#include "platform/Window.h"
#include "support/TestSupport.h"

namespace {

intptr_t Proc(platform::WindowHandle w, unsigned m, uintptr_t wp, intptr_t lp) {
  return platform::DefaultWindowProc(w, m, wp, lp);
}

using e2e::Near;
using e2e::Screenshot;
using e2e::TakeScreenshot;

TEST(DisplayWindow, APresentedPictureIsWhatTheScreenShows) {
  const char* display = std::getenv("VRASK_X_DISPLAY");
  if (!display || !*display) GTEST_SKIP() << "no virtual X display (VRASK_X_DISPLAY)";
  setenv("DISPLAY", display, 1);
  setenv("SDL_VIDEODRIVER", "x11", 1);
  platform::SetMessageBoxesUseWindows(false);

  platform::RegisterWindowClass("E2E_WINDOW", Proc);
  g_windowed = 1;
  g_prefs.isHighRes = 0;
  platform::WindowPlacement placement;
  placement.left = 100;
  placement.top = 100;
  placement.clientWidth = 640;
  placement.clientHeight = 480;
  platform::WindowHandle window = platform::CreateAppWindow("E2E_WINDOW", "Realms of Vrask", placement);
  ASSERT_NE(window, nullptr);
  InitDisplay(window);
  ASSERT_TRUE(g_backBuffer.LoadBitmap((testing_support::ForgedDataDir() + "/samples/display/testcard.bmp").c_str()));
  g_backBuffer.BlitTo(&g_primary, 0, 0);

  testing_support::TempDir dir;
  Screenshot shot;
  bool seen = false;
  // The window needs a moment to be mapped: present and look again a bounded number of times.
  for (int attempt = 0; attempt < 20 && !seen; ++attempt) {
    platform::Message message;
    while (platform::PeekMessage(message, true)) platform::DispatchMessage(message);
    g_primary.Fill(0);
    g_backBuffer.BlitTo(&g_primary, 0, 0);
    PresentDisplay();
    platform::SleepMs(200);
    ASSERT_TRUE(TakeScreenshot(display, dir.File("shot.ppm"), shot));
    seen = shot.width >= 740 && shot.height >= 580 && Near(shot.At(100 + 160, 100 + 120), 255, 0, 0);
  }
  ASSERT_TRUE(seen) << "the window never showed the picture";
  EXPECT_TRUE(Near(shot.At(100 + 480, 100 + 120), 0, 255, 0));
  EXPECT_TRUE(Near(shot.At(100 + 480, 100 + 360), 0, 0, 255));
  EXPECT_TRUE(Near(shot.At(100 + 160, 100 + 360), 255, 255, 255));
  EXPECT_TRUE(Near(shot.At(100 + 639, 100 + 479), 0, 0, 255));

  // Video stays up: the X libraries keep some of their state to the end of the process, where
  // the leak checker knows them (quitting SDL would unload them first and hide their names).
  platform::DestroyAppWindow(window);
}

}  // namespace
