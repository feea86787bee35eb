#pragma once
// CSurface: one surface of 16-bit pixels (the primary surface, the back buffer, the work and
// picture surfaces of screens and controls). Every live surface is in one table, so that the
// display's shut-down can release them all. Every operation survives a lost surface: it
// restores the surface, lets its restorer draw the content again and repeats.

#include <cstdint>

#include "platform/Display.h"

class CDibBitmap;

// Draws a surface's content again after it was lost.
class CSurfaceRestorer {
 public:
  virtual ~CSurfaceRestorer() = default;
  virtual void RestoreSurface(int reason) = 0;
};

// What a surface is created from: which fields count, its kind, its size (and, after Create,
// its pitch in bytes).
struct SurfaceDesc {
  uint32_t flags = 0;
  uint32_t caps = 0;
  int width = 0;
  int height = 0;
  int pitch = 0;
};
constexpr uint32_t kDescCaps = 0x1;
constexpr uint32_t kDescHeight = 0x2;
constexpr uint32_t kDescWidth = 0x4;
constexpr uint32_t kDescPitch = 0x8;
constexpr uint32_t kCapsOffscreenPlain = 0x40;
constexpr uint32_t kCapsPrimarySurface = 0x200;
constexpr uint32_t kCapsSystemMemory = 0x800;
constexpr uint32_t kCapsVideoMemory = 0x4000;

class CSurface {
 public:
  CSurface() = default;
  ~CSurface() { Release(); }
  CSurface(const CSurface&) = delete;
  CSurface& operator=(const CSurface&) = delete;

  // Creates the surface; answers its size in bytes, or 0 when it could not be created (the
  // live table is full).
  int Create(SurfaceDesc* desc);
  void Release();
  bool IsCreated() const { return surface2 != nullptr; }

  // The first pixel, with `pitch` set; null for an empty surface or one that stays lost.
  uint16_t* Lock();
  void Unlock(void* pixels);

  int FillRect(const platform::Rect* rect, uint32_t colour);
  int Fill(uint32_t colour);
  int BlitTo(CSurface* destination, int x, int y);
  int BlitToKeyed(CSurface* destination, int x, int y);
  int BlitRectTo(CSurface* destination, const platform::Rect* sourceRect, int x, int y);
  int BlitRectToKeyed(CSurface* destination, const platform::Rect* sourceRect, int x, int y);
  int StretchBlitToKeyed(CSurface* destination, const platform::Rect* sourceRect, platform::Rect* destinationRect);

  // Sets the source colour key from 8-bit components; answers whether the key is 0.
  bool SetColourKey(int red, int green, int blue);
  uint16_t GetColourKey();

  bool LoadBitmap(const char* path);
  void DrawDib(const CDibBitmap& bitmap) { DrawDibAt(bitmap, 0, 0); }
  void DrawDibAt(const CDibBitmap& bitmap, int atX, int atY);
  bool LoadJpeg(const char* path);

  // Defers a copy of this surface to the next FlushQueuedBlits: kind 0 a keyed rectangle, 1
  // the whole surface keyed, 2 a plain rectangle; a null rectangle means the whole surface.
  // Passes run 0, 1, 2. A full table drops the copy.
  void QueueBlit(int kind, CSurface* destination, const platform::Rect* sourceRect, int x, int y, int pass);

  // Pixel effects. Rectangles are clipped to the surface.
  void HighlightRect(const platform::Rect& rect);
  void HighlightFrame(const platform::Rect& rect);
  void DrawBevel(const platform::Rect& screenRect, int percent, int raised, int reverse);
  void GreyRect(int red, int green, int blue, const platform::Rect* rect);
  void Dim();
  void SnapToColourKey(int red, int green, int blue, int tolerance);
  void FillGradientH(int left, int top, int right, int bottom, int red1, int green1, int blue1, int red2, int green2,
                     int blue2);
  void FillGradientV(int left, int top, int right, int bottom, int red1, int green1, int blue1, int red2, int green2,
                     int blue2);

  // The restore steps after a loss: the full-screen mode set again, the surface restored, its
  // colour key set again while colour keys are in use, and its content drawn by the restorer.
  void RestoreLost();

  int inVideoMemory = 0;
  platform::Surface* surface2 = nullptr;
  int width = 0;
  int height = 0;
  int pitch = 0;
  int liveIndex = -1;
  int x = 0;  // where the owner shows the surface on the screen
  int y = 0;
  CSurfaceRestorer* restorer = nullptr;
  uint16_t colourKey = 0;
  uint32_t size = 0;

 private:
  int Copy(CSurface* destination, const platform::Rect* destinationRect, const platform::Rect* sourceRect, bool keyed);
  void FillGradient(bool horizontal, int left, int top, int right, int bottom, const int* from, const int* to);
};

constexpr int kMaxLiveSurfaces = 128;
extern CSurface* g_liveSurfaces[kMaxLiveSurfaces];
extern int g_liveSurfaceCount;

struct QueuedBlit {
  int used;
  int pass;
  CSurface* source;
  CSurface* destination;
  int kind;
  int left, top, right, bottom;
  int x, y;
};
constexpr int kMaxQueuedBlits = 128;
extern QueuedBlit g_queuedBlits[kMaxQueuedBlits];
extern int g_queuedBlitCount;
extern int g_flushingBlits;

// Runs the deferred copies (below).
void FlushQueuedBlits();

// Switches of the interface state, written by the battle interface: colour keys are in use
// (a restored surface gets its key again), and the battle map is shown.
extern int g_useColourKeys;
extern int g_mapViewShown;
// Deferred blitting is in use: the interface's keyed copies onto the back buffer are queued
// (QueueBlit) and run by the frame's FlushQueuedBlits instead of at once. Off by default.
extern int g_deferBlits;

// How often a copy or lock is tried again on a surface that stays lost before it gives up.
constexpr int kMaxLostSurfaceRetries = 8;

// A bare surface held for the software cursor: copies without lost-surface handling.
class CRawSurface {
 public:
  int BlitRectTo(CSurface* destination, const platform::Rect* sourceRect, int x, int y);
  int BlitRectToKeyed(CSurface* destination, const platform::Rect* sourceRect, int x, int y);
  bool LoadBitmapAt(const char* path, int x, int y);

  void* owner[2] = {nullptr, nullptr};  // the owner's
  platform::Surface* surface = nullptr;

 private:
  int Copy(CSurface* destination, const platform::Rect* sourceRect, int x, int y, unsigned flags);
};
