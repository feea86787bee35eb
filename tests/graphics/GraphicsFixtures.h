#pragma once
// Shared by the graphics tests: a window with the display open on it, and small surfaces.

#include <gtest/gtest.h>

#include <vector>

#include "core/Options.h"
#include "core/Preferences.h"
#include "graphics/Display.h"
#include "graphics/PixelFormat.h"
#include "graphics/Surface.h"
#include "platform/Window.h"

namespace graphics_test {

inline intptr_t TestWindowProc(platform::WindowHandle w, unsigned m, uintptr_t wp, intptr_t lp) {
  return platform::DefaultWindowProc(w, m, wp, lp);
}

// Opens a window at the game's resolution (windowed or full screen) and the display on it
// through InitDisplay, as start-up does; closes everything at the end.
class OpenDisplay {
 public:
  OpenDisplay(bool windowed, bool highRes, bool margin = false) {
    if (!platform::IsWindowClassRegistered("TEST_WINDOW")) platform::RegisterWindowClass("TEST_WINDOW", TestWindowProc);
    g_windowed = windowed ? 1 : 0;
    g_prefs.isHighRes = highRes ? 1 : 0;
    g_useMallocedBackBuffer = margin ? 1 : 0;
    platform::WindowPlacement placement;
    placement.fullScreen = !windowed;
    placement.clientWidth = ScreenWidth();
    placement.clientHeight = ScreenHeight();
    window = platform::CreateAppWindow("TEST_WINDOW", "Realms of Vrask", placement);
    if (window) InitDisplay(window);
  }
  ~OpenDisplay() {
    ShutdownDisplay();
    if (window) platform::DestroyAppWindow(window);
    platform::ClearMessageQueue();
    g_windowed = 0;
    g_prefs.isHighRes = 0;
    g_useMallocedBackBuffer = 0;
  }
  platform::WindowHandle window = nullptr;
};

// An offscreen surface of the given size.
inline void MakeSurface(CSurface& surface, int width, int height) {
  SurfaceDesc desc;
  desc.flags = kDescCaps | kDescWidth | kDescHeight;
  desc.caps = kCapsOffscreenPlain | kCapsSystemMemory;
  desc.width = width;
  desc.height = height;
  surface.Create(&desc);
}

// Every pixel, row by row.
inline std::vector<uint16_t> Pixels(CSurface& surface) {
  std::vector<uint16_t> out;
  uint16_t* p = surface.Lock();
  if (!p) return out;
  for (int y = 0; y < surface.height; ++y)
    for (int x = 0; x < surface.width; ++x)
      out.push_back(reinterpret_cast<uint16_t*>(reinterpret_cast<uint8_t*>(p) + y * surface.pitch)[x]);
  surface.Unlock(p);
  return out;
}

// The pixel at (x, y); a surface without pixels there (none made, no display) fails the test.
inline uint16_t PixelAt(CSurface& surface, int x, int y) {
  const std::vector<uint16_t> all = Pixels(surface);
  const size_t at = static_cast<size_t>(y) * static_cast<size_t>(surface.width) + static_cast<size_t>(x);
  if (x < 0 || y < 0 || x >= surface.width || at >= all.size()) {
    ADD_FAILURE() << "no pixel at " << x << "," << y << " of a surface with " << all.size() << " pixels";
    return 0;
  }
  return all[at];
}

inline void SetPixels(CSurface& surface, const std::vector<uint16_t>& values) {
  uint16_t* p = surface.Lock();
  for (int y = 0; y < surface.height; ++y)
    for (int x = 0; x < surface.width; ++x)
      reinterpret_cast<uint16_t*>(reinterpret_cast<uint8_t*>(p) + y * surface.pitch)[x] =
          values[static_cast<size_t>(y) * surface.width + x];
  surface.Unlock(p);
}

// Sets 5-6-5 or 5-5-5 for a scope.
class PixelFormatScope {
 public:
  explicit PixelFormatScope(bool is555) : saved_(g_is555) {
    g_is555 = is555 ? 1 : 0;
    g_redMask = is555 ? 0x7C00 : 0xF800;
    g_greenMask = is555 ? 0x03E0 : 0x07E0;
    g_blueMask = 0x001F;
  }
  ~PixelFormatScope() {
    g_is555 = saved_;
    g_redMask = saved_ ? 0x7C00 : 0xF800;
    g_greenMask = saved_ ? 0x03E0 : 0x07E0;
  }

 private:
  int saved_;
};

}  // namespace graphics_test
