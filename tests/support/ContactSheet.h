#pragma once
// A sheet of pictures in a grid, for a person to look at: each cell shows pictures hung
// from its anchor over the outline of a map cell (64 x 32 pixels), on a ground colour. The
// sheet is 16-bit 5-6-5, so the game's own sprite printers can print into it.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

struct SheetPoint {
  int x, y;
};

class ContactSheet {
 public:
  // cellWidth x cellHeight pixels a cell; a cell's anchor is (cellWidth / 2, anchorY).
  ContactSheet(int columns, int rows, int cellWidth, int cellHeight, int anchorY);
  SheetPoint Anchor(int column, int row) const;
  // Palette-indexed cells (width x height, -1 transparent; a palette of 256 RGB triples),
  // the hot spot at the cell's anchor.
  void Put(int column, int row, int width, int height, const std::vector<int>& cells, int hotspotX, int hotspotY,
           const std::array<uint8_t, 768>& palette);
  // The pixels, row after row, for printers (SetSpriteTarget(Pixels(), Width(), Height())).
  uint16_t* Pixels() { return pixels_.data(); }
  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Write(const std::string& fileName) const;  // into the test output folder

 private:
  void Pixel(int x, int y, int r, int g, int b);
  int columns_, rows_, cellWidth_, cellHeight_, anchorY_, width_, height_;
  std::vector<uint16_t> pixels_;
};

}  // namespace testing_support
