#include "support/Png.h"

#include <cstdio>
#include <filesystem>
#include <iterator>

namespace testing_support {

namespace {
uint32_t BigEndian32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 | static_cast<uint32_t>(p[2]) << 8 |
         p[3];
}
}  // namespace

bool ReadStoredPng(const std::string& path, int& width, int& height, std::vector<uint8_t>& rgb) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  std::vector<uint8_t> file;
  for (int c; (c = std::fgetc(f)) != EOF;) file.push_back(static_cast<uint8_t>(c));
  std::fclose(f);
  const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (file.size() < 8 || !std::equal(std::begin(signature), std::end(signature), file.begin())) return false;
  std::vector<uint8_t> zlib;
  for (size_t at = 8; at + 12 <= file.size();) {
    const uint32_t length = BigEndian32(&file[at]);
    if (length > file.size() - at - 12) return false;
    const std::string type(file.begin() + static_cast<long>(at + 4), file.begin() + static_cast<long>(at + 8));
    const uint8_t* data = &file[at + 8];
    if (type == "IHDR" && length >= 10) {
      width = static_cast<int>(BigEndian32(data));
      height = static_cast<int>(BigEndian32(data + 4));
      if (data[8] != 8 || data[9] != 2) return false;
    } else if (type == "IDAT") {
      zlib.insert(zlib.end(), data, data + length);
    }
    at += 12 + length;
  }
  // Stored deflate blocks after the two zlib header bytes: a final flag, a length, its complement.
  std::vector<uint8_t> raw;
  for (size_t at = 2; at + 5 <= zlib.size();) {
    const bool last = zlib[at] & 1;
    const size_t n = zlib[at + 1] | (zlib[at + 2] << 8);
    if (at + 5 + n > zlib.size()) return false;
    raw.insert(raw.end(), zlib.begin() + static_cast<long>(at + 5), zlib.begin() + static_cast<long>(at + 5 + n));
    at += 5 + n;
    if (last) break;
  }
  const size_t row = static_cast<size_t>(width) * 3 + 1;
  if (width <= 0 || height <= 0 || raw.size() != row * static_cast<size_t>(height)) return false;
  rgb.clear();
  for (int y = 0; y < height; ++y)
    rgb.insert(rgb.end(), raw.begin() + static_cast<long>(y * row + 1), raw.begin() + static_cast<long>((y + 1) * row));
  return true;
}

std::string TestOutputDir() {
  const std::string dir = std::string(VRASK_BUILD_DIR) + "/test-output";
  std::filesystem::create_directories(dir);
  return dir;
}

}  // namespace testing_support
