#pragma once
// The display layer: the display devices and the choice among them, opening the display full
// screen or in a window, the pixel format of the primary surface, and the shut-down that
// releases every surface. Surfaces themselves are in Surface.h.

#include <cstdint>

#include "platform/Window.h"

class CSurface;

// One display device as the enumeration found it.
struct CDisplayDevice {
  char description[120];
  char driverName[120];
  int hasMonitor;  // the monitor rectangle below is known
  int has640x480;  // offers 640x480 with a pitch of 1280 bytes
  int refresh640x480;
  int has800x600;  // offers 800x600 with a pitch of 1600 bytes
  int refresh800x600;
  uint32_t videoMemory;  // 0 when the device cannot display anything
  int monitorLeft, monitorTop, monitorWidth, monitorHeight;
};

constexpr int kMaxDisplayDevices = 20;

extern CDisplayDevice g_displayDevices[kMaxDisplayDevices];
extern signed char g_displayDeviceCount;
extern int g_displayDevice;  // the chosen device, -1 until chosen
extern int g_has640x480;     // the chosen device's screen sizes, offered by the options
extern int g_has800x600;
extern int g_displayBits;  // bits per pixel of the full-screen mode: 16
extern int g_fullScreen;   // 1 after a full-screen start, 0 windowed
extern int g_paletteMode;  // 1 when the display has 8 bits per pixel or fewer
extern CSurface* g_primarySurface;

// The primary surface and the back buffer the game draws its frames into, with the back
// buffer's margin (96 x 0 pixels with the option UseMallocedBackBuffer, else none).
extern CSurface g_primary;
extern CSurface g_backBuffer;
extern int g_backBufferMarginWidth;
extern int g_backBufferMarginHeight;

// Fills the device table from the system's displays and answers the chosen device: -1 when
// none offers either screen size, 0 when no device was reported.
int EnumerateDisplayDevices();
// Appends a device record; answers 1 to go on, 0 once the table is full.
int OnDirectDrawDevice(const char* description, const char* driverName, const int* monitorRect);
// Notes one mode of a device (width, height, pitch in bytes, refresh rate); always 1.
int OnDisplayMode(int width, int height, int pitch, int refresh, CDisplayDevice* device);
// The choice among the enumerated devices, setting g_has640x480 and g_has800x600.
int ChooseDisplayDevice();

// Opens the chosen device full screen at width x height, or the display in the window.
// A failure ends the program through the result check.
void InitDisplayFullscreen(platform::WindowHandle window, int width, int height, int bits);
void InitDisplayWindowed(platform::WindowHandle window);
// Releases every surface and closes the display; a second call does nothing.
void ShutdownDisplay();
// Reads the primary's pixel format into the masks; true for 5-5-5.
bool ReadPixelFormatMasks(CSurface* primary);

// The start-up of the display: opens it by g_windowed and the resolution preference, creates
// the primary surface and the back buffer, and notes the pixel format. Always 1.
int InitDisplay(platform::WindowHandle window);
// The screen size in use: 800 x 600 with the high-resolution preference, else 640 x 480.
int ScreenWidth();
int ScreenHeight();
// Shows the primary surface in the window when it changed.
void PresentDisplay();
