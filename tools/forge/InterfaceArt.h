#pragma once
// The palette shared by the interface sprites: named colour ramps (each index is the ramp's
// darkest entry; the ramp's length follows its name in InterfacePalette's constructor).

#include "forge/Canvas.h"

namespace forge {

struct InterfacePalette {
  InterfacePalette();
  PaletteBuilder builder;
  int stone = 0;  // 24 steps, blue-grey
  int gold = 0;   // 24 steps
  int red = 0;    // 16 steps
  int green = 0;  // 16
  int blue = 0;   // 16
  int ink = 0;    // 8, near black
};

// An arrow button of size x size pixels pointing 0 up, 1 down, 2 left, 3 right; pressed
// buttons are sunk and their arrow moved one pixel down and right.
Canvas ArrowButton(const InterfacePalette& p, int size, int direction, bool pressed);

}  // namespace forge
