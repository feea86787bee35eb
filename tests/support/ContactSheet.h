#pragma once
// A sheet of pictures in a grid, for a person to look at: each cell shows one picture hung
// from its hot spot over the outline of a map cell (64 x 32 pixels), on a ground colour.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

class ContactSheet {
 public:
  // cellWidth x cellHeight pixels a cell; the hot spot goes to (cellWidth / 2, anchorY).
  ContactSheet(int columns, int rows, int cellWidth, int cellHeight, int anchorY);
  // Palette-indexed cells (width x height, -1 transparent; a palette of 256 RGB triples).
  void Put(int column, int row, int width, int height, const std::vector<int>& cells, int hotspotX, int hotspotY,
           const std::array<uint8_t, 768>& palette);
  // A picture of RGB pixels (width x height x 3), transparent where `opaque` is 0.
  void PutRgb(int column, int row, int width, int height, const std::vector<uint8_t>& rgb,
              const std::vector<uint8_t>& opaque, int hotspotX, int hotspotY);
  bool Write(const std::string& fileName) const;  // into the test output folder
  int Width() const { return width_; }
  int Height() const { return height_; }

 private:
  void Pixel(int x, int y, int r, int g, int b);
  int columns_, rows_, cellWidth_, cellHeight_, anchorY_, width_, height_;
  std::vector<uint8_t> rgb_;
};

}  // namespace testing_support
