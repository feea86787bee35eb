#include <gtest/gtest.h>

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
