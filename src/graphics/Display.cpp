#include "graphics/Display.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/DirectDrawResult.h"
#include "core/Options.h"
#include "core/Preferences.h"
#include "graphics/PixelFormat.h"
#include "graphics/Surface.h"
#include "platform/Display.h"
#include "platform/Process.h"

CDisplayDevice g_displayDevices[kMaxDisplayDevices];
signed char g_displayDeviceCount = 0;
int g_displayDevice = -1;
int g_has640x480 = 1;
int g_has800x600 = 1;
int g_displayBits = 16;
int g_fullScreen = 0;
int g_paletteMode = 0;
CSurface* g_primarySurface = nullptr;
CSurface g_primary;
CSurface g_backBuffer;
int g_backBufferMarginWidth = 0;
int g_backBufferMarginHeight = 0;

namespace {

bool g_shutdownRegistered = false;

// The display is closed at every exit, fatal ones included; registered once.
void RegisterShutdown() {
  if (g_shutdownRegistered) return;
  g_shutdownRegistered = true;
  std::atexit(ShutdownDisplay);
}

// One pass of the choice: among the records that pass the test, the one with the most memory;
// an equal one replaces the record at index 0.
int ChoosePass(bool (*takes)(const CDisplayDevice&), int has640, int has800) {
  int best = -1;
  uint32_t bestMemory = 0;
  for (int i = 0; i < g_displayDeviceCount; ++i) {
    const CDisplayDevice& device = g_displayDevices[i];
    if (!takes(device) || device.videoMemory == 0) continue;
    if (device.videoMemory > bestMemory || (device.videoMemory == bestMemory && best == 0)) {
      best = i;
      bestMemory = device.videoMemory;
      g_has640x480 = has640;
      g_has800x600 = has800;
    }
  }
  return best;
}

}  // namespace

int OnDirectDrawDevice(const char* description, const char* driverName, const int* monitorRect) {
  if (g_displayDeviceCount >= kMaxDisplayDevices) return 0;
  CDisplayDevice& device = g_displayDevices[g_displayDeviceCount];
  std::memset(&device, 0, sizeof device);
  std::snprintf(device.description, sizeof device.description, "%s", description ? description : "");
  std::snprintf(device.driverName, sizeof device.driverName, "%s", driverName ? driverName : "");
  if (monitorRect) {
    device.hasMonitor = 1;
    device.monitorLeft = monitorRect[0];
    device.monitorTop = monitorRect[1];
    device.monitorWidth = monitorRect[2];
    device.monitorHeight = monitorRect[3];
  }
  ++g_displayDeviceCount;
  return g_displayDeviceCount < kMaxDisplayDevices ? 1 : 0;
}

int OnDisplayMode(int width, int height, int pitch, int refresh, CDisplayDevice* device) {
  if (!device) return 1;
  if (height == 480 && width == 640 && pitch == 1280) {
    device->has640x480 = 1;
    if (refresh != 0 && refresh > device->refresh640x480) device->refresh640x480 = refresh;
  }
  if (height == 600 && width == 800 && pitch == 1600) {
    device->has800x600 = 1;
    if (refresh != 0 && refresh > device->refresh800x600) device->refresh800x600 = refresh;
  }
  return 1;
}

int ChooseDisplayDevice() {
  int best = ChoosePass([](const CDisplayDevice& d) { return d.has640x480 && d.has800x600; }, 1, 1);
  if (best >= 0) return best;
  best = ChoosePass([](const CDisplayDevice& d) { return d.has640x480 != 0; }, 1, 0);
  if (best >= 0) return best;
  return ChoosePass([](const CDisplayDevice& d) { return d.has800x600 != 0; }, 0, 1);
}

int EnumerateDisplayDevices() {
  g_displayDeviceCount = 0;
  std::vector<platform::DisplayInfo> displays = platform::EnumerateDisplays();
  for (const platform::DisplayInfo& info : displays) {
    const int rect[4] = {info.left, info.top, info.width, info.height};
    int index = g_displayDeviceCount;
    int goOn = OnDirectDrawDevice(info.description.c_str(), info.driver.c_str(), rect);
    CDisplayDevice& device = g_displayDevices[index];
    for (const platform::DisplayMode& mode : info.modes)
      OnDisplayMode(mode.width, mode.height, mode.pitch, mode.refresh, &device);
    device.videoMemory = info.memory;
    if (!goOn) break;
  }
  if (g_displayDeviceCount == 0) return 0;
  return ChooseDisplayDevice();
}

void InitDisplayFullscreen(platform::WindowHandle window, int width, int height, int bits) {
  CheckDirectDrawResult(platform::OpenDisplay(window, true, width, height));
  CheckDirectDrawResult(platform::SetDisplayMode(width, height, bits));
  g_fullScreen = 1;
  g_paletteMode = bits < 9 ? 1 : 0;
  RegisterShutdown();
}

void InitDisplayWindowed(platform::WindowHandle window) {
  int width = 0, height = 0;
  platform::GetClientSize(window, width, height);
  platform::DisplayResult result = platform::OpenDisplay(window, false, width, height);
  if (result != platform::kDisplayOk) {
    // The window cannot take the display: closed without a message.
    ShutdownDisplay();
    platform::ExitProcess(1);
  }
  g_fullScreen = 0;
  g_paletteMode = platform::DesktopBitsPerPixel() < 9 ? 1 : 0;
  RegisterShutdown();
}

void ShutdownDisplay() {
  while (g_liveSurfaceCount > 0) g_liveSurfaces[g_liveSurfaceCount - 1]->Release();
  if (platform::IsDisplayOpen()) platform::CloseDisplay();
  g_fullScreen = 0;
  g_primarySurface = nullptr;
}

bool ReadPixelFormatMasks(CSurface* primary) {
  uint16_t red = 0, green = 0, blue = 0;
  if (!primary || !primary->surface2) return g_is555 != 0;
  platform::GetPixelFormatMasks(red, green, blue);
  g_redMask = red;
  g_greenMask = green;
  g_blueMask = blue;
  return ((red | green | blue) & 0x8000) == 0;
}

int ScreenWidth() { return g_prefs.isHighRes ? 800 : 640; }
int ScreenHeight() { return g_prefs.isHighRes ? 600 : 480; }

int InitDisplay(platform::WindowHandle window) {
  if (g_windowed)
    InitDisplayWindowed(window);
  else
    InitDisplayFullscreen(window, ScreenWidth(), ScreenHeight(), g_displayBits);

  SurfaceDesc primary;
  primary.flags = kDescCaps;
  primary.caps = kCapsPrimarySurface;
  g_primary.Create(&primary);

  g_backBufferMarginWidth = g_useMallocedBackBuffer ? 96 : 0;
  g_backBufferMarginHeight = 0;
  SurfaceDesc back;
  back.flags = kDescCaps | kDescHeight | kDescWidth;
  back.caps = kCapsOffscreenPlain | kCapsSystemMemory;
  back.width = ScreenWidth() + g_backBufferMarginWidth;
  back.height = ScreenHeight() + g_backBufferMarginHeight;
  g_backBuffer.Create(&back);
  g_backBuffer.Fill(0);

  g_is555 = ReadPixelFormatMasks(g_primarySurface) ? 1 : 0;
  return 1;
}

void PresentDisplay() { platform::PresentPrimary(); }
