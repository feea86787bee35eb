#pragma once
// Two small value-bar painters for the screens that show a wizard's figures (the character
// screen, the grimoire's statistics page, the layout screens): a gradient bar that fills a
// rectangle in proportion to a value with a colour ramp and marks a second value beside it,
// and a sprite bar that repeats a "filled" and an "empty" sprite frame along a line. Both
// paint into a surface given to Draw, in that surface's pixels. STATBAR_ and SPRITEBAR_
// widgets of a layout file become one or the other through MakeWidgetBar.

#include "platform/Display.h"

class CSprite;
class CSurface;
struct CWidgetConfig;

class CGradientBar {
 public:
  enum Orientation : int { kHorizontal = 0, kVertical = 1 };

  // The defaults: range 0-400, value and second value 200, black to white, grey mark.
  void Init() { *this = CGradientBar(); }
  // Horizontal: fills from x0 rightward, marks the second value after the fill and prints it
  // beyond the mark; vertical: fills from y1 upward and marks above. Values are kept within
  // the range; a range of no width, or another orientation, draws nothing.
  void Draw(CSurface* surface) const;

  // Where the fill ends (x for horizontal, y for vertical) and the mark's length in pixels,
  // after the values are kept within the range; false when the bar draws nothing.
  bool Measure(int& fillEnd, int& markLength) const;

  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  int orientation = kHorizontal;
  int minimum = 0;
  int maximum = 400;
  int value = 200;
  int secondValue = 200;
  int startRed = 0, startGreen = 0, startBlue = 0;
  int endRed = 255, endGreen = 255, endBlue = 255;
  int markRed = 128, markGreen = 128, markBlue = 128;
};

class CSpriteBar {
 public:
  enum Orientation : int { kHorizontal = 0, kVertical = 1 };

  void Init() { *this = CSpriteBar(); }
  // Prints cells first .. filledEnd - 1 with the filled frame, then cells up to allEnd with the
  // empty frame, each cell one frame's width (height) + 1 after the last, clipped to the
  // surface. Nothing without a loaded sprite.
  void Draw(CSurface* surface) const;

  int x = 0, y = 0;
  int orientation = kHorizontal;
  int first = 0;
  int filledEnd = 200;
  int allEnd = 200;
  CSprite* sprite = nullptr;
  int filledFrame = 0;
  int emptyFrame = 1;
};

// A bar of a layout file's widget: a STATBAR_ widget (type 7) makes a gradient bar, a
// SPRITEBAR_ widget (type 8) a sprite bar. From the record: the rectangle of the resolution in
// use (horizontal when at least as wide as high, else vertical), minValue and maxValue as the
// range, "Colours" as the start, end and mark colours (those missing keep the defaults),
// "SpriteIndexes" as the filled and empty frames. Both start empty: the value and the second
// value at the minimum. The screen sets the value with SetValue.
class CWidgetBar {
 public:
  void Draw(CSurface* surface) const;
  // The bar's value, and the second value a gradient bar marks; kept within the range when
  // drawn.
  void SetValue(int value, int secondValue);
  void SetValue(int value) { SetValue(value, value); }
  bool IsSprite() const { return sprite_; }

  CGradientBar gradient;
  CSpriteBar sprites;

 private:
  friend CWidgetBar MakeWidgetBar(int type, const CWidgetConfig& config, CSprite* sprite);
  bool sprite_ = false;
};

// The bar of a STATBAR_ or SPRITEBAR_ widget; a sprite bar prints frames of the sprite.
CWidgetBar MakeWidgetBar(int type, const CWidgetConfig& config, CSprite* sprite);
