#pragma once
// The forge's raster art: a canvas of cell values with transparency, a few shapes drawn
// with shading, and a palette builder of colour ramps. Sprite, font and (later) creature
// and terrain art are drawn with these and then encoded by the format writers.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace forge {

// A width x height raster. Each cell is transparent or holds a value: a palette index for
// 8-bit frames, a 5-6-5 pixel for 16-bit frames, a coverage level for glyphs.
class Canvas {
 public:
  static constexpr int kTransparent = -1;

  Canvas() = default;
  Canvas(int width, int height)
      : width_(width), height_(height), cells_(static_cast<size_t>(width) * height, kTransparent) {}

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
  int At(int x, int y) const { return Inside(x, y) ? cells_[Index(x, y)] : kTransparent; }
  bool Opaque(int x, int y) const { return At(x, y) != kTransparent; }
  void Set(int x, int y, int value) {
    if (Inside(x, y)) cells_[Index(x, y)] = value;
  }

  void Fill(int value);
  void FillRect(int x, int y, int width, int height, int value);
  // A one-pixel outline of the rectangle.
  void OutlineRect(int x, int y, int width, int height, int value);
  // An ellipse inside the box, flat.
  void FillEllipse(int x, int y, int width, int height, int value);
  // An ellipse lit from the upper left: each cell takes first + shade, shade 0 (darkest)
  // to steps - 1 (brightest), from the surface normal.
  void ShadeEllipse(int x, int y, int width, int height, int first, int steps);
  // A bevelled box: face value, a light top-left edge and a dark bottom-right edge.
  void Bevel(int x, int y, int width, int height, int face, int light, int dark, int thickness);
  // A line of the given thickness from (x0, y0) to (x1, y1).
  void Line(int x0, int y0, int x1, int y1, int value, int thickness = 1);
  // A filled triangle.
  void FillTriangle(int x0, int y0, int x1, int y1, int x2, int y2, int value);
  // Every opaque cell v becomes map(v) (palette remaps, darker or greyed copies).
  template <class Map>
  void Remap(Map&& map) {
    for (int& cell : cells_)
      if (cell != kTransparent) cell = map(cell);
  }

 private:
  size_t Index(int x, int y) const { return static_cast<size_t>(y) * width_ + x; }
  int width_ = 0, height_ = 0;
  std::vector<int> cells_;
};

// A 256-colour palette (red, green, blue bytes) made of ramps.
class PaletteBuilder {
 public:
  // Entry 0 is black; entries are handed out from 1 upward.
  PaletteBuilder();
  void Set(int index, int r, int g, int b);
  // steps entries from the dark end (the colour at darkness) to the light end (the colour
  // brightened toward white by highlight 0..1); answers the first entry's index.
  int AddRamp(int r, int g, int b, int steps, double darkness = 0.25, double highlight = 0.35);
  int Used() const { return next_; }
  const std::array<uint8_t, 768>& Bytes() const { return bytes_; }

 private:
  std::array<uint8_t, 768> bytes_{};
  int next_ = 1;
};

// A 5-6-5 pixel of 8-bit channels.
inline int Rgb565(int r, int g, int b) { return ((r & 0xF8) << 8) | ((g & 0xFC) << 3) | ((b & 0xFF) >> 3); }

}  // namespace forge
