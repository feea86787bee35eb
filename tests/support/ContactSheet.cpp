#include "support/ContactSheet.h"

#include <cstdlib>

#include "support/Png.h"

namespace testing_support {

ContactSheet::ContactSheet(int columns, int rows, int cellWidth, int cellHeight, int anchorY)
    : columns_(columns),
      rows_(rows),
      cellWidth_(cellWidth),
      cellHeight_(cellHeight),
      anchorY_(anchorY),
      width_(columns * cellWidth),
      height_(rows * cellHeight),
      pixels_(static_cast<size_t>(width_) * height_) {
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) {
      // A muted ground with a faint grid between cells.
      const bool seam = x % cellWidth_ == 0 || y % cellHeight_ == 0;
      Pixel(x, y, seam ? 70 : 92, seam ? 84 : 110, seam ? 60 : 78);
    }
  for (int row = 0; row < rows_; ++row)
    for (int column = 0; column < columns_; ++column) {
      // The map cell the figure stands on: a 64 x 32 diamond round the anchor.
      const SheetPoint a = Anchor(column, row);
      for (int i = -32; i <= 32; ++i) {
        const int dy = 16 - std::abs(i) / 2;
        Pixel(a.x + i, a.y - dy, 120, 136, 100);
        Pixel(a.x + i, a.y + dy, 120, 136, 100);
      }
    }
}

SheetPoint ContactSheet::Anchor(int column, int row) const {
  return {column * cellWidth_ + cellWidth_ / 2, row * cellHeight_ + anchorY_};
}

void ContactSheet::Pixel(int x, int y, int r, int g, int b) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  pixels_[static_cast<size_t>(y) * width_ + x] =
      static_cast<uint16_t>(((r & 0xF8) << 8) | ((g & 0xFC) << 3) | (b >> 3));
}

void ContactSheet::Put(int column, int row, int width, int height, const std::vector<int>& cells, int hotspotX,
                       int hotspotY, const std::array<uint8_t, 768>& palette) {
  const SheetPoint a = Anchor(column, row);
  const int left = a.x - hotspotX, top = a.y - hotspotY;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const int v = cells[static_cast<size_t>(y) * width + x];
      if (v < 0 || v > 255) continue;
      Pixel(left + x, top + y, palette[3 * v], palette[3 * v + 1], palette[3 * v + 2]);
    }
}

bool ContactSheet::Write(const std::string& fileName) const {
  return WritePng565(TestOutputDir() + "/" + fileName, width_, height_, pixels_);
}

}  // namespace testing_support
