#include "support/Png.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>

namespace testing_support {
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

// Writes bits least significant first, as deflate packs them.
class BitWriter {
 public:
  explicit BitWriter(std::vector<uint8_t>& out) : out_(out) {}
  void Bits(uint32_t value, int count) {
    for (int i = 0; i < count; ++i) Bit((value >> i) & 1);
  }
  // A Huffman code, sent most significant bit first.
  void Code(uint32_t code, int length) {
    for (int i = length - 1; i >= 0; --i) Bit((code >> i) & 1);
  }
  void Flush() {
    if (used_) out_.push_back(static_cast<uint8_t>(current_));
    current_ = used_ = 0;
  }

 private:
  void Bit(uint32_t bit) {
    current_ |= bit << used_;
    if (++used_ == 8) Flush();
  }
  std::vector<uint8_t>& out_;
  uint32_t current_ = 0;
  int used_ = 0;
};

// Deflate's fixed literal/length code.
void Symbol(BitWriter& bits, int symbol) {
  if (symbol < 144)
    bits.Code(0x30 + symbol, 8);
  else if (symbol < 256)
    bits.Code(0x190 + symbol - 144, 9);
  else if (symbol < 280)
    bits.Code(symbol - 256, 7);
  else
    bits.Code(0xC0 + symbol - 280, 8);
}

void Match(BitWriter& bits, int length, int distance) {
  static const int kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                      31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
  static const int kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                       2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
  static const int kDistanceBase[30] = {1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                                        33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                                        1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
  static const int kDistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                         6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
  int l = 28;
  while (kLengthBase[l] > length) --l;
  Symbol(bits, 257 + l);
  bits.Bits(static_cast<uint32_t>(length - kLengthBase[l]), kLengthExtra[l]);
  int d = 29;
  while (kDistanceBase[d] > distance) --d;
  bits.Code(static_cast<uint32_t>(d), 5);
  bits.Bits(static_cast<uint32_t>(distance - kDistanceBase[d]), kDistanceExtra[d]);
}

// One deflate block with the fixed codes: runs that repeat the pixel before (three bytes
// back) or the row above become matches, the rest stays literal. Sheets of pictures on a
// plain ground shrink a great deal.
std::vector<uint8_t> Deflate(const std::vector<uint8_t>& raw, size_t rowBytes) {
  std::vector<uint8_t> out;
  BitWriter bits(out);
  bits.Bits(1, 1);  // the last block
  bits.Bits(1, 2);  // fixed codes
  const size_t distances[2] = {3, rowBytes};
  for (size_t at = 0; at < raw.size();) {
    size_t best = 0, bestDistance = 0;
    for (size_t distance : distances) {
      if (distance > at || distance > 32768) continue;
      size_t n = 0;
      while (n < 258 && at + n < raw.size() && raw[at + n] == raw[at + n - distance]) ++n;
      if (n > best) {
        best = n;
        bestDistance = distance;
      }
    }
    if (best >= 3) {
      Match(bits, static_cast<int>(best), static_cast<int>(bestDistance));
      at += best;
    } else {
      Symbol(bits, raw[at++]);
    }
  }
  Symbol(bits, 256);
  bits.Flush();
  return out;
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
  const std::vector<uint8_t> compressed = Deflate(raw, static_cast<size_t>(width) * 3 + 1);
  zlib.insert(zlib.end(), compressed.begin(), compressed.end());
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

std::string TestOutputDir() {
  const std::string dir = std::string(VRASK_BUILD_DIR) + "/test-output";
  std::filesystem::create_directories(dir);
  return dir;
}

}  // namespace testing_support
