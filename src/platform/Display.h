#pragma once
// The display: surfaces of 16-bit 5-6-5 pixels in memory, copies between them, and the
// primary surface, whose picture is shown in the game's window (scaled to it, through one
// streaming texture). Surfaces work without an open display (tests, pictures loaded early);
// only showing the primary needs one. Operations answer 0 or one of the failure codes below,
// which the game's result check knows. Main thread only, except that a locked surface's
// pixels may be written by a thread that holds the game's own lock around them.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Window.h"

namespace platform {

using DisplayResult = int32_t;
constexpr DisplayResult kDisplayOk = 0;
constexpr DisplayResult kErrGeneric = static_cast<int32_t>(0x80004005);
constexpr DisplayResult kErrUnsupported = static_cast<int32_t>(0x80004001);
constexpr DisplayResult kErrOutOfMemory = static_cast<int32_t>(0x8007000E);
constexpr DisplayResult kErrInvalidParams = static_cast<int32_t>(0x80070057);
constexpr DisplayResult kErrNotInitialised = static_cast<int32_t>(0x800401F0);
constexpr DisplayResult kErrInvalidRect = static_cast<int32_t>(0x88760000u + 150);
constexpr DisplayResult kErrNoColourKey = static_cast<int32_t>(0x88760000u + 215);
constexpr DisplayResult kErrSurfaceLost = static_cast<int32_t>(0x887601C2);
constexpr DisplayResult kErrWasStillDrawing = static_cast<int32_t>(0x88760000u + 540);
constexpr DisplayResult kErrNoDisplayHardware = static_cast<int32_t>(0x88760233);
constexpr DisplayResult kErrPrimaryExists = static_cast<int32_t>(0x88760000u + 564);
constexpr DisplayResult kErrNotLocked = static_cast<int32_t>(0x88760000u + 584);

struct DisplayMode {
  int width = 0;
  int height = 0;
  int pitch = 0;  // bytes per row of a 16-bit surface of that mode
  int refresh = 0;
};

// One of the system's displays, with the game's modes it can show.
struct DisplayInfo {
  std::string description;
  std::string driver;
  int left = 0, top = 0, width = 0, height = 0;  // the monitor rectangle on the desktop
  uint32_t memory = 0;                           // bytes of picture memory, never 0 for a working display
  std::vector<DisplayMode> modes;
};

std::vector<DisplayInfo> EnumerateDisplays();

// Opens the display on a window: the primary surface will be width x height pixels, shown
// scaled to the window's client area (letterboxed to keep its shape).
DisplayResult OpenDisplay(WindowHandle window, bool fullScreen, int width, int height);
// Sets the full-screen mode again after a loss (the window keeps covering its display).
DisplayResult SetDisplayMode(int width, int height, int bits);
void CloseDisplay();
bool IsDisplayOpen();
// The screen size the open display shows (the primary's size), 0 x 0 when closed.
void GetDisplaySize(int& width, int& height);
// The masks of the display's pixel format.
void GetPixelFormatMasks(uint16_t& red, uint16_t& green, uint16_t& blue);

struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
};

struct Surface;

// A surface of width x height pixels; the primary takes the open display's size (and there is
// at most one).
DisplayResult CreateSurface(int width, int height, bool primary, Surface** out);
void ReleaseSurface(Surface* surface);
int SurfaceWidth(const Surface* surface);
int SurfaceHeight(const Surface* surface);
bool SurfaceIsPrimary(const Surface* surface);
int LiveSurfaceCount();

DisplayResult LockSurface(Surface* surface, uint16_t** pixels, int* pitch);
DisplayResult UnlockSurface(Surface* surface);
// Brings a lost surface back (its pixels are cleared: the owner draws them again).
DisplayResult RestoreSurface(Surface* surface);

enum BlitFlags : unsigned {
  kBlitSourceKey = 1,  // pixels equal to the source's colour key are not copied
  kBlitWait = 2,       // wait for a busy destination instead of failing
};
// Copies the source rectangle (null: the whole source) to the destination rectangle (null:
// the same size at 0, 0), stretching when the sizes differ. Both rectangles are clipped to
// their surfaces; a rectangle that is empty or turned inside out is refused.
DisplayResult BlitSurface(Surface* destination, const Rect* destinationRect, Surface* source, const Rect* sourceRect,
                          unsigned flags);
// Fills the rectangle (null: the whole surface), clipped to the surface.
DisplayResult FillSurface(Surface* surface, const Rect* rect, uint16_t colour);
DisplayResult SetColourKey(Surface* surface, uint16_t key);
DisplayResult GetColourKey(Surface* surface, uint16_t* key);
// Whether a copy onto the surface could start now.
DisplayResult GetBlitStatus(Surface* surface);

// Shows the primary surface in the window when it changed since it was last shown.
void PresentPrimary();
// Notes that the primary's pixels changed behind the surface operations' back (the software
// cursor's timer writes them under the game's own lock). Any thread.
void MarkPrimaryChanged();
// How many frames have been shown since the process started.
int PresentedFrameCount();

// As when the user switches away from the game: the surface is lost (its operations answer
// kErrSurfaceLost) until it has been restored `restores` times.
void LoseSurface(Surface* surface, int restores = 1);
void LoseAllSurfaces();

}  // namespace platform
