// A real window on a virtual X display: a forged picture drawn into the back buffer and
// presented must be what a screenshot of the screen shows.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

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

struct Screenshot {
  int width = 0, height = 0;
  std::vector<unsigned char> rgb;
  const unsigned char* At(int x, int y) const { return rgb.data() + (static_cast<size_t>(y) * width + x) * 3; }
};

// The whole X screen, through ImageMagick's import, as binary PPM.
bool TakeScreenshot(const std::string& display, const std::string& path, Screenshot& shot) {
  std::string command = "import -display " + display + " -window root -depth 8 ppm:" + path + " 2>/dev/null";
  if (std::system(command.c_str()) != 0) return false;
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  int maxValue = 0;
  bool ok = std::fscanf(file, "P6 %d %d %d", &shot.width, &shot.height, &maxValue) == 3 && maxValue == 255;
  std::fgetc(file);
  if (ok) {
    shot.rgb.resize(static_cast<size_t>(shot.width) * shot.height * 3);
    ok = std::fread(shot.rgb.data(), 1, shot.rgb.size(), file) == shot.rgb.size();
  }
  std::fclose(file);
  return ok;
}

bool Near(const unsigned char* pixel, int r, int g, int b) {
  return std::abs(pixel[0] - r) <= 8 && std::abs(pixel[1] - g) <= 8 && std::abs(pixel[2] - b) <= 8;
}

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
