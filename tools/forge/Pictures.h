#pragma once
// Writers of the picture formats the game reads: Windows bitmaps (8 and 24 bits per pixel),
// PCX images with their 256-colour palette, and JPEG images.

#include <cstdint>
#include <string>
#include <vector>

namespace forge {

// A picture of 8-bit red, green, blue triples, top row first.
struct RgbPicture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;

  RgbPicture(int w, int h) : width(w), height(h), rgb(static_cast<size_t>(w) * h * 3) {}
  void Set(int x, int y, uint8_t r, uint8_t g, uint8_t b);
  const uint8_t* At(int x, int y) const { return rgb.data() + (static_cast<size_t>(y) * width + x) * 3; }
};

// A picture of palette indices, top row first, with its 256 colours.
struct IndexedPicture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> indices;
  uint8_t palette[256][3] = {};

  IndexedPicture(int w, int h) : width(w), height(h), indices(static_cast<size_t>(w) * h) {}
};

// A bottom-up uncompressed bitmap.
std::vector<uint8_t> MakeBmp24(const RgbPicture& picture);
std::vector<uint8_t> MakeBmp8(const IndexedPicture& picture);
// A PCX image: 8 bits, one plane, run-length rows padded to an even byte count, the palette
// at the end after its marker byte 12.
std::vector<uint8_t> MakePcx(const IndexedPicture& picture);
// Writes a JPEG file (quality 1..100); throws when it cannot.
void WriteJpeg(const std::string& path, const RgbPicture& picture, int quality);

// The sample pictures: four quadrants of flat colour (red, green, blue, white from the top
// left, clockwise) and, in the indexed ones, a diagonal line of colour 5.
RgbPicture QuadrantPicture(int width, int height);
IndexedPicture QuadrantIndexedPicture(int width, int height);

}  // namespace forge
