// Pictures written by other tools (ImageMagick, FFmpeg, a hand-made RLE4 file; see
// tests/fixtures/pictures/make.sh) decode pixel for pixel as the tools themselves decode
// them: every fixture has beside it the tool's own decode as a PPM file.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "GraphicsFixtures.h"
#include "graphics/Pictures.h"
#include "graphics/PixelFormat.h"
#include "graphics/Surface.h"
#include "platform/Files.h"
#include "platform/Pixels.h"

using graphics_test::MakeSurface;
using graphics_test::PixelAt;

namespace {

std::string Fixture(const std::string& name) {
  return std::string(VRASK_SOURCE_DIR) + "/tests/fixtures/pictures/" + name;
}

struct Reference {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;
};

// A binary PPM as ImageMagick writes it: "P6", width, height, the largest value, then the
// pixels, one byte a channel.
Reference ReadPpm(const std::string& path) {
  Reference picture;
  std::vector<uint8_t> bytes;
  if (!platform::ReadWholeFile(path, bytes)) return picture;
  std::string text(bytes.begin(), bytes.end());
  int maxValue = 0, consumed = 0;
  if (std::sscanf(text.c_str(), "P6 %d %d %d%n", &picture.width, &picture.height, &maxValue, &consumed) != 3)
    return picture;
  picture.rgb.assign(bytes.begin() + consumed + 1, bytes.end());
  // Pictures of 4-bit colours come with a largest value of 15.
  for (uint8_t& value : picture.rgb) value = static_cast<uint8_t>(value * 255 / maxValue);
  return picture;
}

// Every pixel of the surface against the reference packed into the display's format.
void ExpectPixels(CSurface& surface, const Reference& reference, const std::string& name) {
  ASSERT_EQ(reference.rgb.size(), static_cast<size_t>(reference.width) * reference.height * 3) << name;
  int wrong = 0;
  for (int y = 0; y < reference.height; ++y)
    for (int x = 0; x < reference.width; ++x) {
      const uint8_t* rgb = reference.rgb.data() + (static_cast<size_t>(y) * reference.width + x) * 3;
      if (PixelAt(surface, x, y) != PackColour(rgb[0], rgb[1], rgb[2]) && wrong++ < 3)
        ADD_FAILURE() << name << " differs at " << x << ", " << y;
    }
  EXPECT_EQ(wrong, 0) << name;
}

TEST(PicturesFromTools, BitmapsOfEveryHeaderDepthAndCompressionDecodeAsTheToolsDo) {
  const char* names[] = {"b4-h40",   "b4-h108",  "b4-h124", "b8-h40", "b8-h108",     "b8-h124",     "b24-h40",
                         "b24-h108", "b24-h124", "rle8",    "rle4",   "bitfields16", "bitfields32", "plain16"};
  for (int is555 : {0, 1}) {
    g_is555 = is555;
    for (const char* name : names) {
      const Reference reference = ReadPpm(Fixture(std::string(name) + ".ppm"));
      CDibBitmap bitmap;
      ASSERT_TRUE(bitmap.Load(Fixture(std::string(name) + ".bmp").c_str())) << name;
      EXPECT_EQ(bitmap.Width(), reference.width) << name;
      EXPECT_EQ(bitmap.Height(), reference.height) << name;
      CSurface surface;
      MakeSurface(surface, reference.width, reference.height);
      surface.DrawDibAt(bitmap, 0, 0);
      ExpectPixels(surface, reference, name);
    }
  }
  g_is555 = 0;
}

// One rule turns 5-5-5 into the display's pixels wherever it comes from: white stays white.
TEST(PicturesFromTools, FiveFiveFiveWhiteStaysWhite) {
  EXPECT_EQ(platform::From555(0x7FFF, false), 0xFFFF);
  EXPECT_EQ(platform::From555(0x7FFF, true), 0x7FFF);
  EXPECT_EQ(platform::From555(0x4210, false), 0x8430);  // green 16 of 31 becomes 33 of 63
  // The bitmap path: FFmpeg's 16-bit picture with its bottom-left pixel made white.
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(platform::ReadWholeFile(Fixture("plain16.bmp"), bytes));
  bytes[54] = 0xFF;
  bytes[55] = 0x7F;
  const std::string path = ::testing::TempDir() + "/vrask-white555.bmp";
  ASSERT_TRUE(platform::WriteWholeFile(path, bytes.data(), bytes.size()));
  CDibBitmap bitmap;
  ASSERT_TRUE(bitmap.Load(path.c_str()));
  CSurface surface;
  MakeSurface(surface, bitmap.Width(), bitmap.Height());
  surface.DrawDibAt(bitmap, 0, 0);
  EXPECT_EQ(PixelAt(surface, 0, bitmap.Height() - 1), 0xFFFF);
  platform::RemoveFile(path);
}

TEST(PicturesFromTools, PcxRowsPaddedOrNotDecodeAsTheToolsDo) {
  for (const char* name : {"padded", "unpadded"}) {
    const Reference reference = ReadPpm(Fixture(std::string(name) + ".ppm"));
    CPcxImage image;
    ASSERT_TRUE(image.Load(Fixture(std::string(name) + ".pcx").c_str())) << name;
    EXPECT_EQ(image.width, 13) << name;
    CSurface surface;
    MakeSurface(surface, reference.width, reference.height);
    image.Draw(&surface);
    ExpectPixels(surface, reference, name);
  }
}

}  // namespace
