#pragma once
// Writes sprite files (.spr) and their run-length frames exactly as the game reads them.
// Unchained frames write 0 as their next-part offset and always give the end of their
// pixel data at 32. Gaps wider than 255 are written as (255, 0) pairs before the rest of
// the gap; runs longer than 255 as 255 followed by (0, rest).

#include <array>
#include <cstdint>
#include <vector>

#include "forge/Canvas.h"

namespace forge {

// The control bytes of one canvas row.
std::vector<uint8_t> EncodeRowRuns(const Canvas& canvas, int row);

// One frame: 8-bit cells (palette index 0..) or, with palette -1, 16-bit cells.
std::vector<uint8_t> EncodeFrame(const Canvas& canvas, int hotspotX, int hotspotY, int palette);

// A chain of parts (a trail): each part's next-part offset points at the one after it.
std::vector<uint8_t> ChainFrames(const std::vector<std::vector<uint8_t>>& parts);

class SpriteFileWriter {
 public:
  void AddPalette(const std::array<uint8_t, 768>& palette) { palettes_.push_back(palette); }
  // Adds an encoded frame; answers its number.
  int AddFrame(std::vector<uint8_t> frame);
  // Adds another entry for an existing frame (two numbers, one frame).
  int AddAlias(int frame);
  int FrameCount() const { return static_cast<int>(entries_.size()); }
  std::vector<uint8_t> Bytes() const;

 private:
  std::vector<std::array<uint8_t, 768>> palettes_;
  std::vector<std::vector<uint8_t>> frames_;
  std::vector<int> entries_;  // frame number -> index into frames_
};

}  // namespace forge
