#include "platform/Png.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace platform {
namespace {

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0xFFFFFFFFu) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return crc;
}

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

void Chunk(std::vector<uint8_t>& file, const char* type, const std::vector<uint8_t>& data) {
  PutU32(file, static_cast<uint32_t>(data.size()));
  std::vector<uint8_t> typed(type, type + 4);
  typed.insert(typed.end(), data.begin(), data.end());
  file.insert(file.end(), typed.begin(), typed.end());
  PutU32(file, Crc32(typed.data(), typed.size()) ^ 0xFFFFFFFFu);
}

}  // namespace

bool WritePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb) {
  if (width <= 0 || height <= 0 || rgb.size() != static_cast<size_t>(width) * height * 3) return false;
  std::vector<uint8_t> raw;  // each row: filter 0, then the row
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);
    raw.insert(raw.end(), rgb.begin() + static_cast<long>(y) * width * 3,
               rgb.begin() + static_cast<long>(y + 1) * width * 3);
  }
  std::vector<uint8_t> zlib = {0x78, 0x01};
  uint32_t a = 1, b = 0;
  for (uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  for (size_t at = 0; at < raw.size() || raw.empty(); at += 65535) {
    const size_t n = std::min<size_t>(65535, raw.size() - at);
    zlib.push_back(at + n >= raw.size() ? 1 : 0);
    zlib.push_back(static_cast<uint8_t>(n));
    zlib.push_back(static_cast<uint8_t>(n >> 8));
    zlib.push_back(static_cast<uint8_t>(~n));
    zlib.push_back(static_cast<uint8_t>(~n >> 8));
    zlib.insert(zlib.end(), raw.begin() + static_cast<long>(at), raw.begin() + static_cast<long>(at + n));
    if (raw.empty()) break;
  }
  PutU32(zlib, (b << 16) | a);
  std::vector<uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> header;
  PutU32(header, static_cast<uint32_t>(width));
  PutU32(header, static_cast<uint32_t>(height));
  header.insert(header.end(), {8, 2, 0, 0, 0});
  Chunk(file, "IHDR", header);
  Chunk(file, "IDAT", zlib);
  Chunk(file, "IEND", {});
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(file.data(), 1, file.size(), f) == file.size();
  return std::fclose(f) == 0 && ok;
}

bool WritePng565(const std::string& path, int width, int height, const std::vector<uint16_t>& pixels) {
  std::vector<uint8_t> rgb;
  rgb.reserve(pixels.size() * 3);
  for (uint16_t p : pixels) {
    rgb.push_back(static_cast<uint8_t>(((p >> 11) & 31) * 255 / 31));
    rgb.push_back(static_cast<uint8_t>(((p >> 5) & 63) * 255 / 63));
    rgb.push_back(static_cast<uint8_t>((p & 31) * 255 / 31));
  }
  return WritePng(path, width, height, rgb);
}

}  // namespace platform
