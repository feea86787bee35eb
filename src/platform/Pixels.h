#pragma once
// 16-bit pixels, 5-5-5 or 5-6-5, from colour channels of any width. Every reader that turns
// a picture's or a movie's colours into display pixels goes through these, so that one
// colour comes out as one pixel whichever file it came from: a channel narrower than 8 bits
// is widened by repeating its top bits (5-bit 31 becomes 255, so white stays white), and 8-bit
// channels are packed by dropping their low bits.

#include <bit>
#include <cstdint>

namespace platform {

// The 8-bit channel for a value of the given width (1 to 32 bits).
constexpr uint8_t WidenChannel(uint32_t value, int bits) {
  if (bits <= 0) return 0;
  if (bits >= 8) return static_cast<uint8_t>(value >> (bits - 8));
  const uint32_t own = value & ((1u << bits) - 1);
  uint32_t repeated = 0;
  int filled = 0;
  for (; filled < 8; filled += bits) repeated = repeated << bits | own;
  return static_cast<uint8_t>(repeated >> (filled - 8));
}

constexpr uint16_t PackRgb(int red, int green, int blue, bool is555) {
  if (is555) return static_cast<uint16_t>(((red & 0xF8) << 7) | ((green & 0xF8) << 2) | ((blue & 0xFF) >> 3));
  return static_cast<uint16_t>(((red & 0xF8) << 8) | ((green & 0xFC) << 3) | ((blue & 0xFF) >> 3));
}

// The channel that a bit mask picks out of a pixel, widened to 8 bits; 0 for an empty mask.
constexpr uint8_t MaskedChannel(uint32_t pixel, uint32_t mask) {
  if (mask == 0) return 0;
  const int shift = std::countr_zero(mask);
  const int bits = std::popcount(mask);
  return WidenChannel(static_cast<uint32_t>((pixel & mask) >> shift), bits);
}

// A 5-5-5 pixel (the top bit ignored) in the display's format.
constexpr uint16_t From555(uint16_t pixel, bool is555) {
  return PackRgb(WidenChannel(pixel >> 10 & 31, 5), WidenChannel(pixel >> 5 & 31, 5), WidenChannel(pixel & 31, 5),
                 is555);
}

}  // namespace platform
