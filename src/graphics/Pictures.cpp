#include "graphics/Pictures.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "core/Bytes.h"
#include "core/DataFile.h"
#include "graphics/PixelFormat.h"
#include "graphics/Surface.h"
#include "platform/Files.h"
#include "platform/Pixels.h"

namespace {

constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;
// Later versions of the information header add colour masks and colour-space fields after
// the first 40 bytes; none is larger than this.
constexpr uint32_t kMaxInfoHeaderSize = 1024;
constexpr uint16_t kBitmapMagic = 0x4D42;  // "BM"
constexpr uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3;
// Larger pictures than this are refused before their pixels are read: the game shows nothing
// nearly as large, and the memory stays bounded whatever a file claims.
constexpr int kMaxPictureSide = 4096;

// The colour entries that follow the information header for a depth, at most.
int ColourEntries(int bitsPerPixel) { return bitsPerPixel <= 8 ? 1 << bitsPerPixel : 0; }

size_t RowBytes(int width, int bitsPerPixel) { return ((static_cast<size_t>(width) * bitsPerPixel + 31) / 32) * 4; }

int32_t LoadI32(const uint8_t* p) { return static_cast<int32_t>(bytes::LoadU32(p)); }

// The red, green and blue masks of a 16- or 32-bit picture without masks of its own.
void DefaultMasks(int depth, uint32_t masks[3]) {
  if (depth == 16) {
    masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;  // 5-5-5
  } else {
    masks[0] = 0xFF0000, masks[1] = 0x00FF00, masks[2] = 0x0000FF;
  }
}

// Decodes run-length pixels (RLE8, or RLE4 with two pixels a byte) into rows of one byte a
// pixel, bottom row first as the file stores them, each RowBytes(width, 8) long. Pixels the
// data skips or never reaches keep index 0; decoding stops at the end of the picture or of
// the data, whichever comes first.
void DecodeRunLength(const uint8_t* in, size_t size, bool fourBit, int width, int height, uint8_t* rows) {
  const size_t pitch = RowBytes(width, 8);
  size_t at = 0;
  int64_t x = 0, y = 0;  // runs may carry x far past the width: wide, so it never overflows
  auto put = [&](uint8_t index) {
    if (x < width && y < height) rows[static_cast<size_t>(y) * pitch + static_cast<size_t>(x)] = index;
    ++x;
  };
  while (at + 2 <= size && y < height) {
    const uint8_t count = in[at], value = in[at + 1];
    at += 2;
    if (count > 0) {  // a run: count pixels of one value (RLE4: two values taking turns)
      for (int i = 0; i < count; ++i) put(fourBit ? static_cast<uint8_t>(i % 2 ? value & 15 : value >> 4) : value);
    } else if (value == 0) {  // end of line
      x = 0;
      ++y;
    } else if (value == 1) {  // end of picture
      break;
    } else if (value == 2) {  // move right and up
      if (at + 2 > size) break;
      x += in[at];
      y += in[at + 1];
      at += 2;
    } else {  // value pixels as they stand, padded to a 16-bit boundary
      const size_t bytes = fourBit ? (value + 1u) / 2 : value;
      if (at + bytes > size) break;
      for (int i = 0; i < value; ++i)
        put(fourBit ? static_cast<uint8_t>(i % 2 ? in[at + i / 2] & 15 : in[at + i / 2] >> 4) : in[at + i]);
      at += bytes + (bytes & 1);
    }
  }
}

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
  const std::string name = path ? path : "";
  std::vector<uint8_t> file;
  const int64_t fileBytes = platform::FileSize(name);
  if (fileBytes < kFileHeaderSize + kInfoHeaderSize ||
      fileBytes > int64_t{kMaxPictureSide} * kMaxPictureSide * 4 + (1 << 20) || !platform::ReadWholeFile(name, file))
    return false;
  const size_t size = file.size();
  const uint8_t* header = file.data();
  const uint8_t* infoHeader = header + kFileHeaderSize;
  if (size < kFileHeaderSize + kInfoHeaderSize || bytes::LoadU16(header) != kBitmapMagic) return false;
  const uint32_t declaredSize = bytes::LoadU32(header + 2);
  const uint32_t dataOffset = bytes::LoadU32(header + 10);
  const uint32_t headerSize = bytes::LoadU32(infoHeader);
  const int width = LoadI32(infoHeader + 4);
  const int height = LoadI32(infoHeader + 8);
  const int depth = bytes::LoadU16(infoHeader + 14);
  const uint32_t compression = bytes::LoadU32(infoHeader + 16);
  const uint32_t coloursUsed = bytes::LoadU32(infoHeader + 32);
  // A known header, depth and layout, and a size the game can show.
  bool ok = headerSize >= kInfoHeaderSize && headerSize <= kMaxInfoHeaderSize && kFileHeaderSize + headerSize <= size &&
            width > 0 && width <= kMaxPictureSide && height != 0 && height >= -kMaxPictureSide &&
            height <= kMaxPictureSide &&
            (depth == 1 || depth == 4 || depth == 8 || depth == 16 || depth == 24 || depth == 32);
  const bool runLength = compression == kRle8 || compression == kRle4;
  ok = ok && (compression == kRgb || (compression == kRle8 && depth == 8 && height > 0) ||
              (compression == kRle4 && depth == 4 && height > 0) ||
              (compression == kBitFields && (depth == 16 || depth == 32)));
  if (!ok) return false;

  // The masks of a 40-byte header follow it; later headers hold them.
  size_t tableStart = kFileHeaderSize + headerSize;
  uint32_t masks[3];
  DefaultMasks(depth, masks);
  if (compression == kBitFields) {
    const size_t masksAt = headerSize >= kInfoHeaderSize + 12 ? kFileHeaderSize + kInfoHeaderSize : tableStart;
    if (masksAt + 12 > size) return false;
    for (int i = 0; i < 3; ++i) masks[i] = bytes::LoadU32(header + masksAt + 4 * i);
    if (headerSize == kInfoHeaderSize) tableStart += 12;
  }
  // The colour table: as many entries as the header says are used, at most one per index.
  const int maxEntries = ColourEntries(depth);
  const int entries =
      coloursUsed > 0 && coloursUsed <= static_cast<uint32_t>(maxEntries) ? static_cast<int>(coloursUsed) : maxEntries;
  const size_t tableBytes = static_cast<size_t>(entries) * 4;
  if (tableStart + tableBytes > size) return false;
  // The pixels start where the file header says, unless that points into what came before
  // them or past the file: then right after the colour table.
  const size_t tableEnd = tableStart + tableBytes;
  if (declaredSize != 0 && declaredSize < dataOffset) return false;
  const size_t pixelStart = dataOffset >= tableEnd && dataOffset < size ? dataOffset : tableEnd;

  const int rows = std::abs(height);
  const int heldDepth = runLength ? 8 : depth;
  const size_t needed = RowBytes(width, heldDepth) * static_cast<size_t>(rows);
  if (!runLength && size - pixelStart < needed) return false;  // claims more than the file has
  pixels = new (std::nothrow) uint8_t[needed]();
  if (!pixels) return false;
  if (runLength)
    DecodeRunLength(header + pixelStart, size - pixelStart, compression == kRle4, width, rows, pixels);
  else
    std::memcpy(pixels, header + pixelStart, needed);
  pixelBytes = needed;

  // The information block describes the pixels as held: run-length pictures become 8-bit
  // rows, and 16- and 32-bit pictures carry their masks where the colour table would be.
  info = new uint8_t[kInfoBlockSize]();
  std::memcpy(info, infoHeader, kInfoHeaderSize);
  bytes::StoreU32(info, kInfoHeaderSize);
  bytes::StoreU16(info + 14, static_cast<uint16_t>(heldDepth));
  if (depth == 16 || depth == 32) {
    bytes::StoreU32(info + 16, kBitFields);
    for (int i = 0; i < 3; ++i) bytes::StoreU32(info + kInfoHeaderSize + 4 * i, masks[i]);
  } else {
    bytes::StoreU32(info + 16, kRgb);
    std::memcpy(info + kInfoHeaderSize, header + tableStart, tableBytes);
  }
  return true;
}

void CDibBitmap::Draw(uint16_t* target, int pitch, int targetWidth, int targetHeight, int atX, int atY) const {
  if (!info || !pixels || !target) return;
  const int width = Width(), rows = Height(), depth = BitsPerPixel();
  const bool bottomUp = LoadI32(info + 8) > 0;
  const size_t rowBytes = RowBytes(width, depth);
  const uint8_t* table = info + kInfoHeaderSize;
  uint32_t masks[3];
  for (int i = 0; i < 3; ++i) masks[i] = bytes::LoadU32(table + 4 * i);
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
        colour = PackColour(entry[2], entry[1], entry[0]);
      } else if (depth == 16 || depth == 32) {
        const uint32_t p = depth == 16 ? bytes::LoadU16(source + column * 2) : bytes::LoadU32(source + column * 4);
        colour = PackColour(platform::MaskedChannel(p, masks[0]), platform::MaskedChannel(p, masks[1]),
                            platform::MaskedChannel(p, masks[2]));
      } else {
        const uint8_t* p = source + column * 3;
        colour = PackColour(p[2], p[1], p[0]);
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
constexpr size_t kPcxHeaderColours = 16;  // at offset 16, three bytes each

// The layouts other tools write: one plane of 8-bit indices, 24- or 32-bit colour planes,
// 2 to 16 colours as one to four planes of one bit, or 4 and 16 colours packed in one plane.
bool KnownPcxLayout(int bitsPerPixel, int planes) {
  if (bitsPerPixel == 8) return planes == 1 || planes == 3 || planes == 4;
  if (bitsPerPixel == 1) return planes >= 1 && planes <= 4;
  return (bitsPerPixel == 2 || bitsPerPixel == 4) && planes == 1;
}
}  // namespace

bool CPcxImage::Load(const char* path) {
  palette = nullptr;
  width = height = bytesPerLine = 0;
  bitsPerPixel = 8;
  planes = 1;
  if (!ReadFile(path, nullptr)) return false;
  bool ok = size >= kPcxHeaderSize + 1;
  if (ok) {
    int xMin = bytes::LoadU16(data + 4), yMin = bytes::LoadU16(data + 6);
    int xMax = bytes::LoadU16(data + 8), yMax = bytes::LoadU16(data + 10);
    // Inverted bounds would give a size of zero or less: refused.
    ok = xMax >= xMin && yMax >= yMin;
    width = xMax - xMin + 1;
    height = yMax - yMin + 1;
    bitsPerPixel = data[3];
    planes = data[65];
    // A layout read wrong would draw garbage or nothing at all: refused instead.
    ok = ok && KnownPcxLayout(bitsPerPixel, planes);
    // Rows are padded to the header's bytes per line (to an even count, as most writers do);
    // a field that cannot hold the width is taken as the width.
    const int needed = (width * bitsPerPixel + 7) / 8;
    const int declared = bytes::LoadU16(data + 66);
    bytesPerLine = declared >= needed ? declared : needed;
    // Larger pictures than the game can show are refused before anything is decoded.
    ok = ok && width <= kMaxPictureSide && height <= kMaxPictureSide;
  }
  // The palette of 8-bit indices: a marker byte 12 followed by 768 bytes at the end, after the
  // pixel data. Other layouts have no such palette, and their data may well end in a 12.
  if (ok && bitsPerPixel == 8 && planes == 1 && size >= kPcxHeaderSize + kPcxPaletteSize + 1 &&
      data[size - kPcxPaletteSize - 1] == 12)
    palette = data + size - kPcxPaletteSize;
  if (ok && bitsPerPixel * planes <= 4) TakeHeaderPalette();
  // A file of 8-bit indices without a palette loads with none: its indices can still be
  // decoded (Decode8), but it cannot be drawn in colour.
  if (!ok) {
    FreeData();
    palette = nullptr;
    width = height = bytesPerLine = 0;
    bitsPerPixel = 8;
    planes = 1;
    return false;
  }
  return true;
}

void CPcxImage::TakeHeaderPalette() {
  std::fill(std::begin(headerPalette_), std::end(headerPalette_), uint8_t{0});
  std::memcpy(headerPalette_, data + 16, kPcxHeaderColours * 3);
  // Two-colour files often leave both colours black: they mean black and white.
  if (bitsPerPixel * planes == 1 && std::memcmp(headerPalette_, headerPalette_ + 3, 3) == 0) {
    std::fill(headerPalette_, headerPalette_ + 3, uint8_t{0});
    std::fill(headerPalette_ + 3, headerPalette_ + 6, uint8_t{255});
  }
  palette = headerPalette_;
}

int CPcxImage::IndexAt(const uint8_t* line, int x) const {
  if (bitsPerPixel == 8) return line[x];
  if (planes == 1) {
    // Packed: the first pixel in the high bits of a byte.
    const int bit = x * bitsPerPixel;
    return (line[bit / 8] >> (8 - bitsPerPixel - bit % 8)) & ((1 << bitsPerPixel) - 1);
  }
  // Planar: one bit of the index in each plane, plane 0 the lowest.
  int index = 0;
  for (int plane = planes - 1; plane >= 0; --plane)
    index = (index << 1) | ((line[plane * bytesPerLine + x / 8] >> (7 - x % 8)) & 1);
  return index;
}

template <typename Sink>
bool CPcxImage::DecodeRows(Sink sink) const {
  if (!data) return false;
  // The run-length data ends where the palette marker begins, or with the file.
  const uint8_t* in = data + kPcxHeaderSize;
  const uint8_t* end = palette && palette != headerPalette_ ? palette - 1 : data + size;
  const int lineBytes = bytesPerLine * planes;
  std::vector<uint8_t> line(static_cast<size_t>(lineBytes));
  for (int y = 0; y < height; ++y) {
    int filled = 0;
    while (filled < lineBytes) {
      if (in >= end) return false;
      uint8_t byte = *in++;
      int count = 1;
      if (byte >= 192) {
        count = byte & 63;
        if (in >= end) return false;
        byte = *in++;
      }
      // A run that would carry past the scan line's end is cut there; the padding after the
      // width is decoded and dropped.
      int take = std::min(count, lineBytes - filled);
      std::fill(line.begin() + filled, line.begin() + filled + take, byte);
      filled += take;
    }
    sink(y, line.data());
  }
  return true;
}

void CPcxImage::Draw(CSurface* surface) const {
  if (!HasColours() || !surface || surface->width < width || surface->height < height) return;
  uint16_t* pixels = surface->Lock();
  if (!pixels) return;
  uint16_t colours[256] = {};
  if (palette)
    for (int i = 0; i < 256; ++i) colours[i] = PackColour(palette[i * 3], palette[i * 3 + 1], palette[i * 3 + 2]);
  const int pitch = surface->pitch;
  const bool trueColour = IsTrueColour();
  DecodeRows([&](int y, const uint8_t* line) {
    uint16_t* out = reinterpret_cast<uint16_t*>(reinterpret_cast<uint8_t*>(pixels) + static_cast<size_t>(y) * pitch);
    for (int x = 0; x < width; ++x)
      out[x] = trueColour ? PackColour(line[x], line[bytesPerLine + x], line[2 * bytesPerLine + x])
                          : colours[IndexAt(line, x)];
  });
  surface->Unlock(pixels);
}

bool CPcxImage::Decode8(uint8_t* buffer, int pitch) const {
  if (!buffer || pitch < width || IsTrueColour()) return false;
  // Data that ends early leaves the rows after it as they were.
  DecodeRows([&](int y, const uint8_t* line) {
    uint8_t* out = buffer + static_cast<size_t>(y) * pitch;
    for (int x = 0; x < width; ++x) out[x] = static_cast<uint8_t>(IndexAt(line, x));
  });
  return true;
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
