// The PNG files the scripted runs and the tests leave behind read back as written.
#include <gtest/gtest.h>

#include <vector>

#include "platform/Png.h"
#include "support/Png.h"
#include "support/TestSupport.h"

TEST(Png, APictureReadsBackPixelForPixel) {
  testing_support::TempDir dir;
  const int width = 300, height = 250;  // more than one stored block of 65535 bytes
  std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
  for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<uint8_t>(i * 7 + i / 901);
  ASSERT_TRUE(platform::WritePng(dir.File("a.png"), width, height, rgb));
  int w = 0, h = 0;
  std::vector<uint8_t> back;
  ASSERT_TRUE(testing_support::ReadStoredPng(dir.File("a.png"), w, h, back));
  EXPECT_EQ(w, width);
  EXPECT_EQ(h, height);
  EXPECT_EQ(back, rgb);

  const std::vector<uint16_t> pixels = {0xF800, 0x07E0, 0x001F, 0xFFFF};
  ASSERT_TRUE(platform::WritePng565(dir.File("b.png"), 2, 2, pixels));
  ASSERT_TRUE(testing_support::ReadStoredPng(dir.File("b.png"), w, h, back));
  EXPECT_EQ(back, (std::vector<uint8_t>{255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255}));

  EXPECT_FALSE(platform::WritePng(dir.File("c.png"), 2, 2, rgb));  // the size does not match
  EXPECT_FALSE(platform::WritePng(dir.Path() + "/missing/d.png", 2, 2, std::vector<uint8_t>(12)));
}
