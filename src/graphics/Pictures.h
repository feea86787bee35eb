#pragma once
// Pictures: Windows bitmaps (.bmp), PCX images, and two small image buffers (a whole file in
// memory, raw pixels). JPEG pictures load straight into a surface (CSurface::LoadJpeg).

#include <cstddef>
#include <cstdint>

class CSurface;

// A .bmp file: the 40-byte information header with room for 256 colour entries, and the
// pixel rows (bottom-up unless the height is negative), each padded to four bytes.
class CDibBitmap {
 public:
  static constexpr int kInfoBlockSize = 1064;

  CDibBitmap() = default;
  ~CDibBitmap() { Free(); }
  CDibBitmap(const CDibBitmap&) = delete;
  CDibBitmap& operator=(const CDibBitmap&) = delete;

  // Reads the file; false for a missing file, a wrong magic, a depth or layout this reader
  // does not know, or pixel data shorter than width, height and depth need.
  bool Load(const char* path);
  // Draws the picture one to one with its top-left corner at x, y into 16-bit pixels (rows
  // pitch bytes apart), clipped to width x height.
  void Draw(uint16_t* pixels, int pitch, int width, int height, int x, int y) const;
  void Free();

  int Width() const;
  int Height() const;  // rows, whatever their order
  int BitsPerPixel() const;

  uint8_t* info = nullptr;    // kInfoBlockSize bytes
  uint8_t* pixels = nullptr;  // the rows
  size_t pixelBytes = 0;
};

// A whole file in memory.
class CImageFile {
 public:
  CImageFile() = default;
  virtual ~CImageFile() { FreeData(); }
  CImageFile(const CImageFile&) = delete;
  CImageFile& operator=(const CImageFile&) = delete;

  // Reads the whole file; refused when data is already held. On failure nothing is kept.
  bool ReadFile(const char* path, uint8_t** out);
  void FillBytes(uint8_t value);
  void FillWords(uint16_t value);
  void FreeData();

  uint8_t* data = nullptr;
  size_t size = 0;
};

// A PCX image: the window fields of the 128-byte header, run-length rows, and a 256-colour
// palette at the end of the file.
class CPcxImage : public CImageFile {
 public:
  // Reads the file; false when it cannot be read, is shorter than its header, has inverted
  // bounds or has no palette.
  bool Load(const char* path);
  // Decodes into the surface from its top-left corner; nothing when the surface is smaller.
  void Draw(CSurface* surface) const;
  // Decodes the palette indices into an 8-bit buffer whose rows are pitch bytes apart.
  void Decode8(uint8_t* buffer, int pitch) const;

  const uint8_t* palette = nullptr;  // 768 bytes in data, or null
  int width = 0;
  int height = 0;

 private:
  // Decodes row by row: each row's width indices go to the sink; false when data ran out.
  template <typename Sink>
  bool DecodeRows(Sink sink) const;
};

// Raw pixels: one or two bytes each.
class CRawImage : public CImageFile {
 public:
  // Allocates width x height pixels (cleared); false when that fails.
  bool Create(int width, int height, bool twoBytePixels);
  // Copies the rows into the target at x, y (in pixels), clipped to (0, 0, pitch, height).
  void BlitTo16(uint8_t* target, int targetPitch, int targetHeight, int x, int y) const;
  // The same, clipped to the rectangle (in pixels) as well.
  void BlitTo16Clipped(uint8_t* target, int targetPitch, int x, int y, int clipLeft, int clipTop, int clipRight,
                       int clipBottom) const;

  int width = 0;
  int height = 0;
  int twoBytePixels = 0;
};
