// Pictures: the test pictures of every format the display reads, and the writers behind them.
#include "forge/Pictures.h"

#include <algorithm>
#include <stdexcept>

#include "core/Bytes.h"
#include "forge/Forge.h"
#include "platform/Jpeg.h"

namespace forge {
namespace {

size_t RowBytes(int width, int bits) { return ((static_cast<size_t>(width) * bits + 31) / 32) * 4; }

void BitmapHeaders(bytes::Writer& out, int width, int height, int bits, int colours, size_t pixelBytes) {
  const uint32_t offset = 14 + 40 + static_cast<uint32_t>(colours) * 4;
  out.U16(0x4D42);
  out.U32(offset + static_cast<uint32_t>(pixelBytes));
  out.U32(0);
  out.U32(offset);
  out.U32(40);
  out.I32(width);
  out.I32(height);
  out.U16(1);
  out.U16(static_cast<uint16_t>(bits));
  out.U32(0);  // uncompressed
  out.U32(static_cast<uint32_t>(pixelBytes));
  out.U32(2835);
  out.U32(2835);
  out.U32(static_cast<uint32_t>(colours));
  out.U32(0);
}

// Runs of one value, at most 63 each; a single byte below 192 goes as itself.
void PcxRow(bytes::Writer& out, const uint8_t* row, int count) {
  int i = 0;
  while (i < count) {
    int run = 1;
    while (i + run < count && run < 63 && row[i + run] == row[i]) ++run;
    if (run > 1 || row[i] >= 192) out.U8(static_cast<uint8_t>(192 | run));
    out.U8(row[i]);
    i += run;
  }
}

}  // namespace

void RgbPicture::Set(int x, int y, uint8_t r, uint8_t g, uint8_t b) {
  uint8_t* p = rgb.data() + (static_cast<size_t>(y) * width + x) * 3;
  p[0] = r;
  p[1] = g;
  p[2] = b;
}

std::vector<uint8_t> MakeBmp24(const RgbPicture& picture) {
  const size_t rowBytes = RowBytes(picture.width, 24);
  bytes::Writer out;
  BitmapHeaders(out, picture.width, picture.height, 24, 0, rowBytes * picture.height);
  for (int y = picture.height - 1; y >= 0; --y) {
    for (int x = 0; x < picture.width; ++x) {
      const uint8_t* p = picture.At(x, y);
      out.U8(p[2]);
      out.U8(p[1]);
      out.U8(p[0]);
    }
    out.Zeros(rowBytes - static_cast<size_t>(picture.width) * 3);
  }
  return out.Data();
}

std::vector<uint8_t> MakeBmp8(const IndexedPicture& picture) {
  const size_t rowBytes = RowBytes(picture.width, 8);
  bytes::Writer out;
  BitmapHeaders(out, picture.width, picture.height, 8, 256, rowBytes * picture.height);
  for (const auto& colour : picture.palette) {
    out.U8(colour[2]);
    out.U8(colour[1]);
    out.U8(colour[0]);
    out.U8(0);
  }
  for (int y = picture.height - 1; y >= 0; --y) {
    out.Bytes(picture.indices.data() + static_cast<size_t>(y) * picture.width, static_cast<size_t>(picture.width));
    out.Zeros(rowBytes - static_cast<size_t>(picture.width));
  }
  return out.Data();
}

std::vector<uint8_t> MakePcx(const IndexedPicture& picture) {
  const int bytesPerLine = picture.width + (picture.width & 1);
  bytes::Writer out;
  out.U8(10);  // manufacturer
  out.U8(5);   // version
  out.U8(1);   // run-length coding
  out.U8(8);   // bits per pixel
  out.U16(0);
  out.U16(0);
  out.U16(static_cast<uint16_t>(picture.width - 1));
  out.U16(static_cast<uint16_t>(picture.height - 1));
  out.U16(72);
  out.U16(72);
  out.Zeros(48);
  out.U8(0);
  out.U8(1);  // planes
  out.U16(static_cast<uint16_t>(bytesPerLine));
  out.U16(1);
  out.Zeros(58);
  std::vector<uint8_t> row(static_cast<size_t>(bytesPerLine), 0);
  for (int y = 0; y < picture.height; ++y) {
    std::copy_n(picture.indices.begin() + static_cast<long>(y) * picture.width, picture.width, row.begin());
    PcxRow(out, row.data(), bytesPerLine);
  }
  out.U8(12);
  for (const auto& colour : picture.palette) out.Bytes(colour, 3);
  return out.Data();
}

void WriteJpeg(const std::string& path, const RgbPicture& picture, int quality) {
  MakeParentDirectories(path);
  if (!platform::JpegWrite(path.c_str(), picture.rgb, picture.width, picture.height, quality))
    throw std::runtime_error("cannot write " + path);
}

RgbPicture QuadrantPicture(int width, int height) {
  RgbPicture picture(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      bool right = x >= width / 2, bottom = y >= height / 2;
      if (!right && !bottom)
        picture.Set(x, y, 255, 0, 0);
      else if (right && !bottom)
        picture.Set(x, y, 0, 255, 0);
      else if (right && bottom)
        picture.Set(x, y, 0, 0, 255);
      else
        picture.Set(x, y, 255, 255, 255);
    }
  }
  return picture;
}

IndexedPicture QuadrantIndexedPicture(int width, int height) {
  IndexedPicture picture(width, height);
  const uint8_t colours[6][3] = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}, {255, 255, 0}};
  for (int i = 0; i < 6; ++i)
    for (int c = 0; c < 3; ++c) picture.palette[i][c] = colours[i][c];
  for (int i = 6; i < 256; ++i)
    for (int c = 0; c < 3; ++c) picture.palette[i][c] = static_cast<uint8_t>(i);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      bool right = x >= width / 2, bottom = y >= height / 2;
      uint8_t index = !right && !bottom ? 1 : (right && !bottom ? 2 : (right && bottom ? 3 : 4));
      if (x == y) index = 5;
      picture.indices[static_cast<size_t>(y) * width + x] = index;
    }
  }
  return picture;
}

}  // namespace forge

namespace {

FORGE_STEP(SamplePictures) {
  ctx.WriteFile("samples\\pictures\\quadrants24.bmp", forge::MakeBmp24(forge::QuadrantPicture(64, 48)));
  ctx.WriteFile("samples\\pictures\\quadrants8.bmp", forge::MakeBmp8(forge::QuadrantIndexedPicture(62, 48)));
  // An odd width: each PCX row carries one byte of padding.
  ctx.WriteFile("samples\\pictures\\quadrants.pcx", forge::MakePcx(forge::QuadrantIndexedPicture(63, 40)));
  // Quadrants on 16-pixel boundaries keep the coding's blocks flat.
  forge::WriteJpeg(ctx.ClaimFile("samples\\pictures\\quadrants.jpg"), forge::QuadrantPicture(64, 64), 95);
  // The test card the window tests show: the four quadrants at the game's low resolution.
  ctx.WriteFile("samples\\display\\testcard.bmp", forge::MakeBmp24(forge::QuadrantPicture(640, 480)));
}

}  // namespace
