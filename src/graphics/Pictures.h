#pragma once
// Pictures: Windows bitmaps (.bmp), PCX images, and two small image buffers (a whole file in
// memory, raw pixels). JPEG pictures load straight into a surface (CSurface::LoadJpeg).

#include <cstddef>
#include <cstdint>

class CSurface;

// A .bmp file as the Windows bitmap drawing takes it: any version of the information header
// (40, 108 or 124 bytes, and the sizes between), 1, 4, 8, 16, 24 or 32 bits a pixel,
// uncompressed, run-length (RLE8, RLE4) or with colour masks (16 and 32 bits), the pixels
// where the file header says they start. Held as the first 40 bytes of the header with room
// for 256 colour entries (16- and 32-bit pictures keep their three masks there), and the pixel
// rows (bottom-up unless the height is negative), each padded to four bytes; run-length
// pictures are held decoded, one byte a pixel.
class CDibBitmap {
 public:
  static constexpr int kInfoBlockSize = 1064;

  CDibBitmap() = default;
  ~CDibBitmap() { Free(); }
  CDibBitmap(const CDibBitmap&) = delete;
  CDibBitmap& operator=(const CDibBitmap&) = delete;

  // Reads the file; false for a missing file, a wrong magic, a depth or layout this reader
  // does not know, a picture wider or higher than 4096, or uncompressed pixel data shorter
  // than width, height and depth need.
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

// A PCX image: the window fields and pixel layout of the 128-byte header, run-length scan
// lines, and its colours: a 256-colour palette at the end of the file for one plane of 8 bits,
// the header's 16 colours for fewer bits, or three colour planes (a fourth, alpha, is passed
// over) for true colour.
class CPcxImage : public CImageFile {
 public:
  // Reads the file; false when it cannot be read, is shorter than its header, has inverted
  // bounds, is wider or higher than 4096, or lays its pixels out in a way not read here: known
  // are 8 bits in 1, 3 or 4 planes, 1 bit in 1 to 4 planes, and 2 or 4 bits in one plane. A
  // file of one 8-bit plane without a palette loads with a null palette.
  bool Load(const char* path);
  // True when Draw has colours to draw with: a palette, or colour planes.
  bool HasColours() const { return data && (palette || IsTrueColour()); }
  bool IsTrueColour() const { return bitsPerPixel == 8 && planes >= 3; }
  // Decodes into the surface from its top-left corner; nothing when the surface is smaller
  // or the image has no colours.
  void Draw(CSurface* surface) const;
  // Decodes the palette indices into an 8-bit buffer whose rows are pitch bytes apart; false,
  // with nothing written, for a true-colour image, which has no indices.
  bool Decode8(uint8_t* buffer, int pitch) const;

  const uint8_t* palette = nullptr;  // 768 bytes, in data or the header's colours, or null
  int width = 0;
  int height = 0;
  int bytesPerLine = 0;  // decoded bytes a row of one plane, the pixels and their padding
  int bitsPerPixel = 8;  // in each plane
  int planes = 1;

 private:
  // Decodes scan line by scan line (every plane of a row, one after the other); each goes to
  // the sink; false when data ran out.
  template <typename Sink>
  bool DecodeRows(Sink sink) const;
  // The palette index of pixel x of a decoded scan line.
  int IndexAt(const uint8_t* line, int x) const;
  // The header's 16 colours as a palette, for images of at most 4 bits a pixel.
  void TakeHeaderPalette();

  uint8_t headerPalette_[768] = {};
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
