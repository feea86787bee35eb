#pragma once
// Static elements of the menu screens, drawn by their screen and taking no input: a text in a
// rectangle (CTextLabel) and one sprite frame (CPictureBox).

#include <cstdint>
#include <string>

#include "platform/Display.h"

class CFont;
class CSprite;
class CSurface;

class CTextLabel {
 public:
  void SetSurface(CSurface* target) { surface = target; }
  void SetFont(CFont* textFont) { font = textFont; }
  void SetRect(const platform::Rect& area) { rect = area; }
  // Keeps a copy of the text; null leaves none.
  void SetText(const char* newText);
  void SetNumber(int n);
  // Stores the flags with vertical centring and word wrap added.
  void SetFlags(uint8_t flags);
  void SetColour(int r, int g, int b) {
    red = r;
    green = g;
    blue = b;
  }
  void Draw();

  CSurface* surface = nullptr;
  CFont* font = nullptr;
  std::string text;
  bool hasText = false;
  platform::Rect rect{};  // screen pixels
  uint8_t textFlags = 0;
  int red = 0, green = 0, blue = 0;
};

class CPictureBox {
 public:
  int Create(const platform::Rect& area, CSprite* image, int frameNumber);
  void SetFrame(int frameNumber) { frame = frameNumber; }
  void SetSurface(CSurface* target) { surface = target; }
  // Nothing for frame -1, without a surface, or without a loaded sprite.
  void Draw();

  CSurface* surface = nullptr;
  CSprite* sprite = nullptr;
  platform::Rect rect{};
  int frame = -1;
};

// Loads a sprite a screen shows in its picture boxes (colour index 2). A file that cannot be
// loaded is reported in a "LOAD ERROR" box and the sprite stays empty, so its boxes show
// nothing and the screen goes on.
bool LoadPictureSprite(CSprite& sprite, const char* path);
