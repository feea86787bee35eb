// The JPEG reader refuses a picture that claims a size beyond what the game can show before
// it decodes or allocates anything for it.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "platform/Jpeg.h"

namespace {

std::string Fixture(const std::string& name) {
  return std::string(VRASK_SOURCE_DIR) + "/tests/fixtures/pictures/" + name;
}

// A field of /proc/self/status in kB, or -1.
long StatusKb(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(field, 0) == 0) return std::stol(line.substr(line.find(':') + 1));
  return -1;
}

// The process's peak resident size starts again from its present size (false when the
// system does not let us).
bool ResetPeakMemory() {
  std::FILE* file = std::fopen("/proc/self/clear_refs", "w");
  if (!file) return false;
  const bool ok = std::fputs("5", file) >= 0;
  return (std::fclose(file) == 0) && ok;
}

TEST(Jpeg, APictureClaimingHugeSidesIsRefusedWithinAFewMegabytes) {
  // A 16 x 16 progressive picture whose frame header claims 65000 x 65000, decoded into a
  // 40 x 30 area: it once made the decoder take gigabytes.
  std::vector<uint16_t> pixels(40 * 30, 0x1234);
  const bool measured = ResetPeakMemory();
  const long before = StatusKb("VmRSS:");
  EXPECT_FALSE(platform::JpegRead(Fixture("huge-claim.jpg").c_str(), pixels.data(), 40, 80, 30, 0));
  if (measured && before > 0) EXPECT_LT(StatusKb("VmHWM:") - before, 8 * 1024);
}

TEST(Jpeg, APictureWithinTheLimitStillDecodes) {
  std::vector<uint8_t> rgb(64 * 48 * 3, 200);
  const std::string path = ::testing::TempDir() + "/vrask-jpeg-ok.jpg";
  ASSERT_TRUE(platform::JpegWrite(path.c_str(), rgb, 64, 48, 90));
  std::vector<uint16_t> pixels(64 * 48);
  EXPECT_TRUE(platform::JpegRead(path.c_str(), pixels.data(), 64, 128, 48, 0));
  EXPECT_NE(pixels[0], 0);
  std::remove(path.c_str());
}

}  // namespace
