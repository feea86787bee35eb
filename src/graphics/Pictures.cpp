#include "graphics/Pictures.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "core/Bytes.h"
#include "core/DataFile.h"
#include "graphics/PixelFormat.h"
#include "graphics/Surface.h"
#include "platform/Files.h"

namespace {

constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;
constexpr uint16_t kBitmapMagic = 0x4D42;  // "BM"
// Larger pictures than this are refused rather than allocated.
constexpr int kMaxPictureSide = 16384;

// The colour entries that follow the information header for a depth.
int ColourEntries(int bitsPerPixel) {
  switch (bitsPerPixel) {
    case 1:
      return 2;
    case 4:
      return 16;
    case 8:
      return 256;
    default:
      return 0;
  }
}

size_t RowBytes(int width, int bitsPerPixel) { return ((static_cast<size_t>(width) * bitsPerPixel + 31) / 32) * 4; }

uint16_t Pack8(int red, int green, int blue) { return PackColour(red, green, blue); }

int32_t LoadI32(const uint8_t* p) { return static_cast<int32_t>(bytes::LoadU32(p)); }

}  // namespace

// ---------------------------------------------------------------------------------------------
// CDibBitmap

int CDibBitmap::Width() const { return info ? LoadI32(info + 4) : 0; }
int CDibBitmap::Height() const { return info ? std::abs(LoadI32(info + 8)) : 0; }
int CDibBitmap::BitsPerPixel() const { return info ? bytes::LoadU16(info + 14) : 0; }

void CDibBitmap::Free() {
  delete[] info;
  delete[] pixels;
  info = nullptr;
  pixels = nullptr;
  pixelBytes = 0;
}

bool CDibBitmap::Load(const char* path) {
  Free();
  FILE* file = platform::OpenFile(path ? path : "", "rb");
  if (!file) return false;
  uint8_t header[kFileHeaderSize];
  uint8_t infoHeader[kInfoHeaderSize];
  bool ok = std::fread(header, 1, sizeof header, file) == sizeof header && bytes::LoadU16(header) == kBitmapMagic &&
            std::fread(infoHeader, 1, sizeof infoHeader, file) == sizeof infoHeader;
  const uint32_t fileSize = ok ? bytes::LoadU32(header + 2) : 0;
  const uint32_t dataOffset = ok ? bytes::LoadU32(header + 10) : 0;
  const int width = LoadI32(infoHeader + 4);
  const int height = LoadI32(infoHeader + 8);
  const int depth = bytes::LoadU16(infoHeader + 14);
  const uint32_t compression = bytes::LoadU32(infoHeader + 16);
  // Only uncompressed pictures of a known depth and a sane size are taken, and their pixel
  // data must hold every row: a picture that claims more than its file has is refused.
  ok = ok && bytes::LoadU32(infoHeader) >= static_cast<uint32_t>(kInfoHeaderSize) && width > 0 &&
       width <= kMaxPictureSide && height != 0 && height >= -kMaxPictureSide && height <= kMaxPictureSide &&
       (depth == 1 || depth == 4 || depth == 8 || depth == 16 || depth == 24 || depth == 32) && compression == 0;
  const size_t needed = ok ? RowBytes(width, depth) * static_cast<size_t>(std::abs(height)) : 0;
  ok = ok && fileSize > dataOffset && fileSize - dataOffset >= needed;
  if (!ok) {
    std::fclose(file);
    return false;
  }
  info = new uint8_t[kInfoBlockSize]();
  std::memcpy(info, infoHeader, kInfoHeaderSize);
  const size_t tableBytes = static_cast<size_t>(ColourEntries(depth)) * 4;
  if (tableBytes > 0 && std::fread(info + kInfoHeaderSize, 1, tableBytes, file) != tableBytes) {
    std::fclose(file);
    return false;
  }
  pixels = new (std::nothrow) uint8_t[needed];
  ok = pixels && std::fread(pixels, 1, needed, file) == needed;
  std::fclose(file);
  if (!ok) {
    delete[] pixels;
    pixels = nullptr;
    return false;
  }
  pixelBytes = needed;
  return true;
}

void CDibBitmap::Draw(uint16_t* target, int pitch, int targetWidth, int targetHeight, int atX, int atY) const {
  if (!info || !pixels || !target) return;
  const int width = Width(), rows = Height(), depth = BitsPerPixel();
  const bool bottomUp = LoadI32(info + 8) > 0;
  const size_t rowBytes = RowBytes(width, depth);
  const uint8_t* table = info + kInfoHeaderSize;
  for (int row = 0; row < rows; ++row) {
    const int ty = atY + row;
    if (ty < 0 || ty >= targetHeight) continue;
    const uint8_t* source = pixels + rowBytes * static_cast<size_t>(bottomUp ? rows - 1 - row : row);
    uint16_t* out = reinterpret_cast<uint16_t*>(reinterpret_cast<uint8_t*>(target) + static_cast<size_t>(ty) * pitch);
    for (int column = 0; column < width; ++column) {
      const int tx = atX + column;
      if (tx < 0 || tx >= targetWidth) continue;
      uint16_t colour = 0;
      if (depth <= 8) {
        int bitOffset = column * depth;
        int index = (source[bitOffset / 8] >> (8 - depth - bitOffset % 8)) & ((1 << depth) - 1);
        const uint8_t* entry = table + index * 4;  // blue, green, red, unused
        colour = Pack8(entry[2], entry[1], entry[0]);
      } else if (depth == 16) {
        uint16_t p = bytes::LoadU16(source + column * 2);  // 5-5-5
        colour = Pack8(((p >> 10) & 31) << 3, ((p >> 5) & 31) << 3, (p & 31) << 3);
      } else {
        const uint8_t* p = source + column * (depth / 8);
        colour = Pack8(p[2], p[1], p[0]);
      }
      out[tx] = colour;
    }
  }
}

// ---------------------------------------------------------------------------------------------
// CImageFile

void CImageFile::FreeData() {
  delete[] data;
  data = nullptr;
  size = 0;
}

bool CImageFile::ReadFile(const char* path, uint8_t** out) {
  if (data) return false;
  CDataFile file;
  if (!file.Open(path, "rb")) return false;
  int length = file.GetSize(0);
  if (length <= 0) return false;
  data = new (std::nothrow) uint8_t[static_cast<size_t>(length)];
  if (!data || !file.ReadAll(data)) {
    FreeData();
    return false;
  }
  size = static_cast<size_t>(length);
  if (out) *out = data;
  return true;
}

void CImageFile::FillBytes(uint8_t value) {
  if (data) std::memset(data, value, size);
}

void CImageFile::FillWords(uint16_t value) {
  if (!data || size < 2) return;
  for (size_t i = 0; i + 1 < size; i += 2) bytes::StoreU16(data + i, value);
}

// ---------------------------------------------------------------------------------------------
// CPcxImage

namespace {
constexpr size_t kPcxHeaderSize = 128;
constexpr size_t kPcxPaletteSize = 768;
}  // namespace

bool CPcxImage::Load(const char* path) {
  palette = nullptr;
  width = height = 0;
  if (!ReadFile(path, nullptr)) return false;
  bool ok = size >= kPcxHeaderSize + 1;
  if (ok) {
    int xMin = bytes::LoadU16(data + 4), yMin = bytes::LoadU16(data + 6);
    int xMax = bytes::LoadU16(data + 8), yMax = bytes::LoadU16(data + 10);
    // Inverted bounds would give a size of zero or less: refused.
    ok = xMax >= xMin && yMax >= yMin;
    width = xMax - xMin + 1;
    height = yMax - yMin + 1;
  }
  // The palette: a marker byte 12 followed by 768 bytes at the end, after the pixel data.
  if (ok && size >= kPcxHeaderSize + kPcxPaletteSize + 1 && data[size - kPcxPaletteSize - 1] == 12)
    palette = data + size - kPcxPaletteSize;
  if (!ok || !palette) {
    // Without a palette the colours are unknown: the picture is refused.
    FreeData();
    palette = nullptr;
    width = height = 0;
    return false;
  }
  return true;
}

template <typename Sink>
bool CPcxImage::DecodeRows(Sink sink) const {
  if (!data || !palette) return false;
  // The run-length data ends where the palette marker begins.
  const uint8_t* in = data + kPcxHeaderSize;
  const uint8_t* end = palette - 1;
  std::vector<uint8_t> row(static_cast<size_t>(width));
  for (int y = 0; y < height; ++y) {
    int filled = 0;
    while (filled < width) {
      if (in >= end) return false;
      uint8_t byte = *in++;
      int count = 1;
      if (byte >= 192) {
        count = byte & 63;
        if (in >= end) return false;
        byte = *in++;
      }
      // A run that would carry past the row's end is cut there: each row keeps its width.
      int take = std::min(count, width - filled);
      std::fill(row.begin() + filled, row.begin() + filled + take, byte);
      filled += take;
    }
    sink(y, row.data());
  }
  return true;
}

void CPcxImage::Draw(CSurface* surface) const {
  if (!data || !palette || !surface || surface->width < width || surface->height < height) return;
  uint16_t* pixels = surface->Lock();
  if (!pixels) return;
  uint16_t colours[256];
  for (int i = 0; i < 256; ++i) {
    const uint8_t* rgb = palette + i * 3;
    colours[i] = g_is555 ? static_cast<uint16_t>(((rgb[0] / 8) << 10) | ((rgb[1] >> 3) << 5) | (rgb[2] / 8))
                         : static_cast<uint16_t>(((rgb[0] / 8) << 11) | ((rgb[1] >> 2) << 5) | (rgb[2] / 8));
  }
  const int pitch = surface->pitch;
  DecodeRows([&](int y, const uint8_t* indices) {
    uint16_t* out = reinterpret_cast<uint16_t*>(reinterpret_cast<uint8_t*>(pixels) + static_cast<size_t>(y) * pitch);
    for (int x = 0; x < width; ++x) out[x] = colours[indices[x]];
  });
  surface->Unlock(pixels);
}

void CPcxImage::Decode8(uint8_t* buffer, int pitch) const {
  if (!buffer || pitch < width) return;
  DecodeRows([&](int y, const uint8_t* indices) {
    std::memcpy(buffer + static_cast<size_t>(y) * pitch, indices, static_cast<size_t>(width));
  });
}

// ---------------------------------------------------------------------------------------------
// CRawImage

bool CRawImage::Create(int newWidth, int newHeight, bool twoBytes) {
  FreeData();
  width = height = 0;
  if (newWidth <= 0 || newHeight <= 0 || newWidth > kMaxPictureSide || newHeight > kMaxPictureSide) return false;
  size_t bytes = static_cast<size_t>(newWidth) * newHeight * (twoBytes ? 2 : 1);
  data = new (std::nothrow) uint8_t[bytes]();
  if (!data) return false;
  size = bytes;
  width = newWidth;
  height = newHeight;
  twoBytePixels = twoBytes ? 1 : 0;
  return true;
}

void CRawImage::BlitTo16Clipped(uint8_t* target, int targetPitch, int atX, int atY, int clipLeft, int clipTop,
                                int clipRight, int clipBottom) const {
  if (!data || !target) return;
  const int scale = twoBytePixels ? 2 : 1;
  // In bytes across, rows down.
  const int rowBytes = width * scale;
  const int left = std::max(clipLeft * scale, 0), right = std::min(clipRight * scale, targetPitch);
  const int fromX = atX * scale;
  const int startX = std::max(fromX, left), endX = std::min(fromX + rowBytes, right);
  if (endX <= startX) return;
  for (int row = 0; row < height; ++row) {
    const int ty = atY + row;
    if (ty < clipTop || ty >= clipBottom || ty < 0) continue;
    std::memcpy(target + static_cast<size_t>(ty) * targetPitch + startX,
                data + static_cast<size_t>(row) * rowBytes + (startX - fromX), static_cast<size_t>(endX - startX));
  }
}

void CRawImage::BlitTo16(uint8_t* target, int targetPitch, int targetHeight, int atX, int atY) const {
  const int scale = twoBytePixels ? 2 : 1;
  BlitTo16Clipped(target, targetPitch, atX, atY, 0, 0, targetPitch / scale, targetHeight);
}
