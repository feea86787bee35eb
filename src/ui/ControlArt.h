#pragma once
// Drawing of the controls onto their surfaces: the sprite printers aimed at a locked surface
// with a clip rectangle, and sprite frames printed plainly or in grey.

#include <cstdint>

#include "graphics/Sprite.h"
#include "platform/Display.h"

class CSurface;

// While it lives the surface is locked and the sprite printers print into it, clipped to
// the rectangle (in surface pixels; the whole surface by default).
class SurfacePrinting {
 public:
  explicit SurfacePrinting(CSurface* surface);
  SurfacePrinting(CSurface* surface, const platform::Rect& clip);
  ~SurfacePrinting();
  SurfacePrinting(const SurfacePrinting&) = delete;
  SurfacePrinting& operator=(const SurfacePrinting&) = delete;
  explicit operator bool() const { return pixels_ != nullptr; }
  void SetClip(const platform::Rect& clip);

 private:
  CSurface* surface_;
  uint16_t* pixels_ = nullptr;
};

// Prints a frame of the sprite with its hotspot at x, y into the printers' target: in its own
// colours, or in grey. Nothing without a sprite or a frame; a number beyond the sprite's
// frames prints frame 0.
void PrintControlFrame(const CSprite* sprite, int frame, int x, int y, bool grey = false);
// A frame's width and height (0 without the sprite or frames).
int ControlFrameWidth(const CSprite* sprite, int frame);
int ControlFrameHeight(const CSprite* sprite, int frame);

// A picture or sprite of a screen that cannot be loaded: "Unable to load file: <name>" in a
// "LOAD ERROR" box; the screen goes on without it.
void ReportLoadError(const char* name);

// A sprite every instance of a control class shares: loaded (colour index 2) by the first
// instance, freed with the last.
class SharedControlSprite {
 public:
  explicit SharedControlSprite(const char* path) : path_(path) {}
  // One more user; the first loads the file (a file that cannot be loaded leaves it empty).
  CSprite* Acquire();
  void Release();
  CSprite* Sprite() { return &sprite_; }
  int Users() const { return users_; }

 private:
  const char* path_;
  CSprite sprite_;
  int users_ = 0;
};
