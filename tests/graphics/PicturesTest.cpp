#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "GraphicsFixtures.h"
#include "core/Bytes.h"
#include "forge/Pictures.h"
#include "graphics/Pictures.h"
#include "platform/Files.h"
#include "support/TestSupport.h"

using graphics_test::MakeSurface;
using graphics_test::PixelAt;
using testing_support::ForgedDataDir;
using testing_support::TempDir;

namespace {

constexpr uint16_t kRed = 0xF800, kGreen = 0x07E0, kBlue = 0x001F, kWhite = 0xFFFF, kYellow = 0xFFE0;

std::string Sample(const char* name) { return ForgedDataDir() + "/samples/pictures/" + name; }

// The four quadrants of the forged samples, looked at in the middle of each.
void ExpectQuadrants(CSurface& s, int width, int height) {
  EXPECT_EQ(PixelAt(s, width / 4, height / 4 + 5), kRed);
  EXPECT_EQ(PixelAt(s, width * 3 / 4, height / 4), kGreen);
  EXPECT_EQ(PixelAt(s, width * 3 / 4, height * 3 / 4 + 3), kBlue);
  EXPECT_EQ(PixelAt(s, width / 4, height * 3 / 4), kWhite);
}

TEST(Bitmaps, ForgedPicturesOfBothDepthsLoadToTheirPixels) {
  CSurface surface;
  MakeSurface(surface, 64, 48);
  ASSERT_TRUE(surface.LoadBitmap(Sample("quadrants24.bmp").c_str()));
  ExpectQuadrants(surface, 64, 48);

  CDibBitmap bitmap;
  ASSERT_TRUE(bitmap.Load(Sample("quadrants8.bmp").c_str()));
  EXPECT_EQ(bitmap.Width(), 62);
  EXPECT_EQ(bitmap.BitsPerPixel(), 8);
  surface.Fill(0);
  surface.DrawDibAt(bitmap, 0, 0);
  ExpectQuadrants(surface, 62, 48);
  EXPECT_EQ(PixelAt(surface, 10, 10), kYellow);  // the diagonal, so rows are not upside down
  EXPECT_EQ(PixelAt(surface, 63, 0), 0);         // beyond the picture
}

TEST(Bitmaps, DrawingIsClippedToTheSurface) {
  CDibBitmap bitmap;
  ASSERT_TRUE(bitmap.Load(Sample("quadrants24.bmp").c_str()));
  CSurface surface;
  MakeSurface(surface, 8, 8);
  surface.DrawDibAt(bitmap, -60, -44);  // only the bottom-right corner lands
  EXPECT_EQ(PixelAt(surface, 0, 0), kBlue);
  EXPECT_EQ(PixelAt(surface, 4, 4), 0);
}

// Rewrites one little-endian field of a file's bytes.
std::vector<uint8_t> With(std::vector<uint8_t> bytes, size_t at, uint32_t value, int width) {
  if (width == 2)
    bytes::StoreU16(bytes.data() + at, static_cast<uint16_t>(value));
  else
    bytes::StoreU32(bytes.data() + at, value);
  return bytes;
}

TEST(Bitmaps, MalformedFilesAreRefused) {
  std::vector<uint8_t> good = forge::MakeBmp24(forge::QuadrantPicture(8, 8));
  std::vector<uint8_t> short8 = forge::MakeBmp8(forge::QuadrantIndexedPicture(8, 8));
  short8.resize(14 + 40 + 100);  // the colour table is cut
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {"wrong magic", With(good, 0, 0x4D43, 2)},
      {"header cut", std::vector<uint8_t>(good.begin(), good.begin() + 30)},
      {"pixels cut", std::vector<uint8_t>(good.begin(), good.end() - 10)},
      {"claims more rows than its data", With(good, 22, 4000, 4)},
      {"claims a huge width", With(good, 18, 0x7FFFFFFF, 4)},
      {"file size below the offset", With(good, 2, 10, 4)},
      {"unknown depth", With(good, 28, 7, 2)},
      {"compressed", With(good, 30, 1, 4)},
      {"colour table cut", short8},
  };
  TempDir dir;
  for (const Case& c : cases) {
    dir.Write("bad.bmp", std::vector<unsigned char>(c.bytes.begin(), c.bytes.end()));
    CDibBitmap bitmap;
    EXPECT_FALSE(bitmap.Load(dir.File("bad.bmp").c_str())) << c.what;
    CSurface surface;
    MakeSurface(surface, 8, 8);
    EXPECT_FALSE(surface.LoadBitmap(dir.File("bad.bmp").c_str())) << c.what;
  }
  CDibBitmap missing;
  EXPECT_FALSE(missing.Load(dir.File("none.bmp").c_str()));
}

TEST(Pcx, TheForgedPictureOfOddWidthDecodesRowByRow) {
  CPcxImage image;
  ASSERT_TRUE(image.Load(Sample("quadrants.pcx").c_str()));
  EXPECT_EQ(image.width, 63);
  EXPECT_EQ(image.height, 40);
  // Each row's padding byte is read as the first pixel of the next row, and the image is drawn
  // as the file says; the forge's rows are padded, so look at the first row only.
  CSurface surface;
  MakeSurface(surface, 64, 40);
  image.Draw(&surface);
  EXPECT_EQ(PixelAt(surface, 0, 0), kYellow);
  EXPECT_EQ(PixelAt(surface, 10, 0), kRed);
  EXPECT_EQ(PixelAt(surface, 40, 0), kGreen);

  std::vector<uint8_t> indices(64 * 40, 0xEE);
  image.Decode8(indices.data(), 64);
  EXPECT_EQ(indices[1], 1);
  EXPECT_EQ(indices[63], 0xEE);  // beyond the width: untouched
}

// A PCX file of the given window whose run-length data is `runs`, with a palette.
std::vector<uint8_t> Pcx(int xMax, int yMax, const std::vector<uint8_t>& runs, bool palette = true) {
  std::vector<uint8_t> file(128, 0);
  file[3] = 8;   // bits per pixel
  file[65] = 1;  // planes
  bytes::StoreU16(file.data() + 8, static_cast<uint16_t>(xMax));
  bytes::StoreU16(file.data() + 10, static_cast<uint16_t>(yMax));
  file.insert(file.end(), runs.begin(), runs.end());
  if (palette) {
    file.push_back(12);
    for (int i = 0; i < 256; ++i) {
      file.push_back(static_cast<uint8_t>(i == 1 ? 255 : 0));
      file.push_back(0);
      file.push_back(static_cast<uint8_t>(i == 2 ? 255 : 0));
    }
  }
  return file;
}

TEST(Pcx, RunsAreCutAtTheRowEndAndAZeroRunGivesNothing) {
  TempDir dir;
  // 3 x 2: a zero run (its value skipped), a run of 5 ones that would cross into row 2, then
  // row 2 as 2, 2, 1.
  dir.Write("runs.pcx", Pcx(2, 1, {0xC0, 9, 0xC5, 1, 0xC2, 2, 1}));
  CPcxImage image;
  ASSERT_TRUE(image.Load(dir.File("runs.pcx").c_str()));
  CSurface surface;
  MakeSurface(surface, 4, 2);
  surface.Fill(0x1234);
  image.Draw(&surface);
  EXPECT_EQ(PixelAt(surface, 0, 0), kRed);
  EXPECT_EQ(PixelAt(surface, 2, 0), kRed);
  EXPECT_EQ(PixelAt(surface, 3, 0), 0x1234);  // nothing written past the row
  EXPECT_EQ(PixelAt(surface, 0, 1), kBlue);
  EXPECT_EQ(PixelAt(surface, 2, 1), kRed);

  CSurface small;
  MakeSurface(small, 2, 2);
  small.Fill(0x1234);
  image.Draw(&small);  // larger than the surface: nothing drawn
  EXPECT_EQ(PixelAt(small, 0, 0), 0x1234);
}

TEST(Pcx, MalformedFilesAreRefusedOrStopAtTheirEnd) {
  TempDir dir;
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
  } refused[] = {
      {"inverted bounds", With(Pcx(1, 1, {1, 1, 1, 1}), 4, 5, 2)},
      {"header cut", std::vector<uint8_t>(100, 0)},
  };
  for (const Case& c : refused) {
    dir.Write("bad.pcx", std::vector<unsigned char>(c.bytes.begin(), c.bytes.end()));
    CPcxImage image;
    EXPECT_FALSE(image.Load(dir.File("bad.pcx").c_str())) << c.what;
    EXPECT_EQ(image.data, nullptr) << c.what;
  }
  // Data that ends early (a run without its value, rows missing): the rows that were there.
  dir.Write("short.pcx", Pcx(1, 2, {1, 2, 0xC3}));
  CPcxImage image;
  ASSERT_TRUE(image.Load(dir.File("short.pcx").c_str()));
  CSurface surface;
  MakeSurface(surface, 2, 3);
  image.Draw(&surface);
  EXPECT_EQ(PixelAt(surface, 1, 0), kBlue);
  EXPECT_EQ(PixelAt(surface, 0, 1), 0);
}

TEST(Pcx, AFileWithoutAPaletteLoadsAndDecodesItsIndices) {
  TempDir dir;
  // 2 x 2: a run of two 5s, then a 5 and a 7; the data runs to the end of the file.
  dir.Write("plain.pcx", Pcx(1, 1, {0xC2, 5, 5, 7}, false));
  CPcxImage image;
  ASSERT_TRUE(image.Load(dir.File("plain.pcx").c_str()));
  EXPECT_EQ(image.palette, nullptr);
  std::vector<uint8_t> indices(3 * 2, 0xEE);
  image.Decode8(indices.data(), 3);
  EXPECT_EQ(indices, (std::vector<uint8_t>{5, 5, 0xEE, 5, 7, 0xEE}));
  // Without colours there is nothing to draw.
  CSurface surface;
  MakeSurface(surface, 2, 2);
  surface.Fill(0x1234);
  image.Draw(&surface);
  EXPECT_EQ(PixelAt(surface, 0, 0), 0x1234);
}

// A PCX file in another layout, as other tools write them: each scan line (the planes of a
// row one after the other, bytesPerLine bytes each) run-length coded, and the header's 16
// colours.
struct PcxLayout {
  int bits, planes, width, height;
  int BytesPerLine() const { return ((width * bits + 7) / 8 + 1) / 2 * 2; }
};

std::vector<uint8_t> LayoutPcx(const PcxLayout& layout, const std::vector<uint8_t>& lines,
                               const std::vector<uint8_t>& headerColours) {
  std::vector<uint8_t> file(128, 0);
  file[0] = 10;
  file[1] = 5;
  file[2] = 1;
  file[3] = static_cast<uint8_t>(layout.bits);
  bytes::StoreU16(file.data() + 8, static_cast<uint16_t>(layout.width - 1));
  bytes::StoreU16(file.data() + 10, static_cast<uint16_t>(layout.height - 1));
  std::copy(headerColours.begin(), headerColours.end(), file.begin() + 16);
  file[65] = static_cast<uint8_t>(layout.planes);
  bytes::StoreU16(file.data() + 66, static_cast<uint16_t>(layout.BytesPerLine()));
  const size_t lineBytes = static_cast<size_t>(layout.BytesPerLine()) * std::max(layout.planes, 1);
  for (size_t start = 0; start < lines.size(); start += lineBytes)
    for (size_t i = start; i < start + lineBytes;) {
      size_t run = 1;
      while (i + run < start + lineBytes && run < 63 && lines[i + run] == lines[i]) ++run;
      if (run > 1 || lines[i] >= 192) file.push_back(static_cast<uint8_t>(192 | run));
      file.push_back(lines[i]);
      i += run;
    }
  return file;
}

// Index layouts: pixel x of row y has index (x + 3y) mod the colour count; colour i of the
// header is (16i, 255 - 16i, 8i).
std::vector<uint8_t> IndexLines(const PcxLayout& layout) {
  const int perLine = layout.BytesPerLine();
  std::vector<uint8_t> lines(static_cast<size_t>(perLine) * layout.planes * layout.height, 0);
  const int colours = 1 << (layout.bits * layout.planes);
  for (int y = 0; y < layout.height; ++y)
    for (int x = 0; x < layout.width; ++x) {
      const int index = (x + 3 * y) % colours;
      uint8_t* line = lines.data() + static_cast<size_t>(y) * perLine * layout.planes;
      if (layout.planes == 1) {
        const int bit = x * layout.bits;
        line[bit / 8] |= static_cast<uint8_t>(index << (8 - layout.bits - bit % 8));
      } else {
        for (int p = 0; p < layout.planes; ++p)
          line[p * perLine + x / 8] |= static_cast<uint8_t>(((index >> p) & 1) << (7 - x % 8));
      }
    }
  return lines;
}

std::vector<uint8_t> HeaderColours() {
  std::vector<uint8_t> colours;
  for (int i = 0; i < 16; ++i)
    colours.insert(colours.end(),
                   {static_cast<uint8_t>(16 * i), static_cast<uint8_t>(255 - 16 * i), static_cast<uint8_t>(8 * i)});
  return colours;
}

TEST(Pcx, IndexPlanesAndPackedIndicesDrawInTheHeadersColours) {
  TempDir dir;
  const PcxLayout layouts[] = {{1, 2, 11, 3}, {1, 3, 11, 3}, {1, 4, 11, 3}, {2, 1, 11, 3}, {4, 1, 11, 3}};
  for (const PcxLayout& layout : layouts) {
    const std::string name = std::to_string(layout.bits) + " bits in " + std::to_string(layout.planes) + " planes";
    dir.Write("index.pcx", LayoutPcx(layout, IndexLines(layout), HeaderColours()));
    CPcxImage image;
    ASSERT_TRUE(image.Load(dir.File("index.pcx").c_str())) << name;
    ASSERT_TRUE(image.HasColours()) << name;
    CSurface surface;
    MakeSurface(surface, layout.width, layout.height);
    image.Draw(&surface);
    std::vector<uint8_t> indices(static_cast<size_t>(layout.width) * layout.height, 0xEE);
    EXPECT_TRUE(image.Decode8(indices.data(), layout.width)) << name;
    const int colours = 1 << (layout.bits * layout.planes);
    for (int y = 0; y < layout.height; ++y)
      for (int x = 0; x < layout.width; ++x) {
        const int index = (x + 3 * y) % colours;
        EXPECT_EQ(indices[static_cast<size_t>(y) * layout.width + x], index) << name << " at " << x << ", " << y;
        EXPECT_EQ(PixelAt(surface, x, y), PackColour(16 * index, 255 - 16 * index, 8 * index))
            << name << " at " << x << ", " << y;
      }
  }
}

TEST(Pcx, OneBitInOnePlaneWithoutColoursIsBlackAndWhite) {
  TempDir dir;
  const PcxLayout layout{1, 1, 11, 3};
  dir.Write("mono.pcx", LayoutPcx(layout, IndexLines(layout), {}));
  CPcxImage image;
  ASSERT_TRUE(image.Load(dir.File("mono.pcx").c_str()));
  CSurface surface;
  MakeSurface(surface, layout.width, layout.height);
  image.Draw(&surface);
  EXPECT_EQ(PixelAt(surface, 0, 0), 0x0000);
  EXPECT_EQ(PixelAt(surface, 1, 0), kWhite);
  EXPECT_EQ(PixelAt(surface, 0, 1), kWhite);  // index (0 + 3) mod 2
}

TEST(Pcx, ColourPlanesDrawTheirColoursWithoutAPalette) {
  TempDir dir;
  for (int planes : {3, 4}) {
    const PcxLayout layout{8, planes, 5, 3};
    const int perLine = layout.BytesPerLine();
    std::vector<uint8_t> lines(static_cast<size_t>(perLine) * planes * layout.height, 0);
    auto colour = [](int x, int y, int channel) {
      const int values[4] = {50 * x, 100 * y, 255 - 40 * x, 77};
      return static_cast<uint8_t>(values[channel]);
    };
    for (int y = 0; y < layout.height; ++y)
      for (int p = 0; p < planes; ++p)
        for (int x = 0; x < layout.width; ++x)
          lines[(static_cast<size_t>(y) * planes + p) * perLine + x] = colour(x, y, p);
    // The last data byte is 12, 768 bytes from the end: no palette marker for colour planes.
    std::vector<uint8_t> file = LayoutPcx(layout, lines, HeaderColours());
    file.push_back(0xC1);
    file.push_back(12);
    file.resize(file.size() + 768, 0);
    dir.Write("colour.pcx", file);
    CPcxImage image;
    ASSERT_TRUE(image.Load(dir.File("colour.pcx").c_str())) << planes;
    EXPECT_EQ(image.palette, nullptr) << planes;
    EXPECT_TRUE(image.HasColours()) << planes;
    for (bool is555 : {false, true}) {
      graphics_test::PixelFormatScope format(is555);
      CSurface surface;
      MakeSurface(surface, layout.width, layout.height);
      image.Draw(&surface);
      for (int y = 0; y < layout.height; ++y)
        for (int x = 0; x < layout.width; ++x)
          EXPECT_EQ(PixelAt(surface, x, y), PackColour(colour(x, y, 0), colour(x, y, 1), colour(x, y, 2)))
              << planes << " planes at " << x << ", " << y;
    }
    // No palette indices to hand out.
    std::vector<uint8_t> indices(static_cast<size_t>(layout.width) * layout.height, 0xEE);
    EXPECT_FALSE(image.Decode8(indices.data(), layout.width)) << planes;
    EXPECT_EQ(indices, std::vector<uint8_t>(indices.size(), 0xEE)) << planes;
  }
}

TEST(Pcx, LayoutsNotReadHereAreRefused) {
  TempDir dir;
  const PcxLayout refused[] = {{8, 2, 4, 2}, {16, 1, 4, 2}, {1, 5, 4, 2}, {4, 2, 4, 2}, {2, 2, 4, 2}, {8, 0, 4, 2}};
  for (const PcxLayout& layout : refused) {
    const std::vector<uint8_t> lines(
        static_cast<size_t>(layout.BytesPerLine()) * std::max(layout.planes, 1) * layout.height, 1);
    dir.Write("odd.pcx", LayoutPcx(layout, lines, HeaderColours()));
    CPcxImage image;
    EXPECT_FALSE(image.Load(dir.File("odd.pcx").c_str())) << layout.bits << " bits in " << layout.planes;
    EXPECT_EQ(image.data, nullptr);
    EXPECT_FALSE(image.HasColours());
  }
}

TEST(Jpeg, TheForgedPictureDecodesToItsColoursInBothFormats) {
  CSurface surface;
  MakeSurface(surface, 64, 64);
  ASSERT_TRUE(surface.LoadJpeg(Sample("quadrants.jpg").c_str()));
  ExpectQuadrants(surface, 64, 64);
  {
    graphics_test::PixelFormatScope format(true);
    ASSERT_TRUE(surface.LoadJpeg(Sample("quadrants.jpg").c_str()));
    EXPECT_EQ(PixelAt(surface, 48, 16), 0x03E0);
  }
  CSurface larger;
  MakeSurface(larger, 70, 66);
  ASSERT_TRUE(larger.LoadJpeg(Sample("quadrants.jpg").c_str()));
  EXPECT_EQ(PixelAt(larger, 68, 65), 0);

  TempDir dir;
  dir.Write("bad.jpg", std::string("\xFF\xD8\xFF\xE0 not a picture at all"));
  EXPECT_FALSE(surface.LoadJpeg(dir.File("bad.jpg").c_str()));
  EXPECT_FALSE(surface.LoadJpeg(dir.File("missing.jpg").c_str()));
}

TEST(ImageFiles, ReadFileTakesTheWholeFileOnceAndFillsWork) {
  TempDir dir;
  dir.Write("five.bin", std::string("abcde"));
  CImageFile file;
  uint8_t* data = nullptr;
  ASSERT_TRUE(file.ReadFile(dir.File("five.bin").c_str(), &data));
  EXPECT_EQ(file.size, 5u);
  EXPECT_EQ(data, file.data);
  EXPECT_FALSE(file.ReadFile(dir.File("five.bin").c_str(), &data));
  EXPECT_EQ(file.data, data);
  file.FillWords(0x0102);
  EXPECT_EQ(file.data[3], 0x01);
  EXPECT_EQ(file.data[4], 'e');  // the odd last byte is not a word
  file.FillBytes(9);
  EXPECT_EQ(file.data[4], 9);
  CImageFile missing;
  EXPECT_FALSE(missing.ReadFile(dir.File("none").c_str(), &data));
  EXPECT_EQ(missing.data, nullptr);
}

TEST(RawImages, CopiesAreClippedToTheTargetAndTheRectangle) {
  CRawImage image;
  ASSERT_TRUE(image.Create(3, 2, true));
  image.FillWords(0x1111);
  std::vector<uint16_t> target(4 * 3, 0);
  uint8_t* bytes = reinterpret_cast<uint8_t*>(target.data());
  image.BlitTo16(bytes, 8, 3, 2, 2);  // only (2,2) and (3,2) land
  EXPECT_EQ(target, (std::vector<uint16_t>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x1111, 0x1111}));
  std::fill(target.begin(), target.end(), 0);
  image.BlitTo16Clipped(bytes, 8, -1, 0, 0, 1, 4, 3);
  EXPECT_EQ(target, (std::vector<uint16_t>{0, 0, 0, 0, 0x1111, 0x1111, 0, 0, 0, 0, 0, 0}));
}

}  // namespace
