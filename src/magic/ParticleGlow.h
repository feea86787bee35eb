#pragma once
// The two pictures particles draw straight into the 16-bit back buffer: CGlowSquare adds a
// colour to a rectangle (sparks, glows) and CLightTexture writes or blends a rectangle of one
// colour or of a shaded texture (blood drops, gore). Colours are held scaled to the pixel's
// bits (red and blue 0-31, green 0-31 on a 5-5-5 display and 0-63 on 5-6-5), both draw only
// inside the print target's clip rectangle, and neither reads anything of the battle.

#include <cstdint>
#include <memory>

// A 0-255 component scaled to the bits of its channel in the display's layout.
int ScaleRedBlue(int component);
int ScaleGreen(int component);
// The largest green value of the display's layout (31 or 63).
int GreenMaximum();

struct CGlowSquare {
  int width = 0, height = 0;  // pixels
  int r = 0, g = 0, b = 0;    // scaled

  // Size and a 0-255 colour (clamped, then scaled).
  void Set(int w, int h, int red, int green, int blue);
  void SetColour(int red, int green, int blue);
  // Adds the colour to every pixel of the rectangle at (sx, sy), each channel saturating.
  void Draw(int sx, int sy) const;
};

struct CLightTexture {
  int mode = 0;               // 0 writes; 1, 2 and 3 blend more and more of the screen in
  int width = 1, height = 1;  // 1-16
  uint16_t r = 0, g = 0, b = 0;
  std::unique_ptr<uint16_t[]> texture;  // width x height texels of three scaled channels

  // A 0-255 colour; the texture is rebuilt when one exists and the colour changed.
  void SetColour(int red, int green, int blue);
  // Makes (or refills) the texture: brightest at the top-left texel and falling off along
  // the diagonal between the TexturedGoreUpper and TexturedGoreLower factors. A rectangle
  // whose diagonal is 1 or less gets none.
  void Build();
  void Draw(int sx, int sy) const;
};
