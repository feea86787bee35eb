#pragma once
// What the tuned print-type printers share: the pixel rules of the translucent and additive
// print types written for 16-bit lanes without branches (so that a plain loop over a run
// vectorises), the display format's constants they need, and the shimmer's displacement of
// a row. Internal to the printers.

#include <algorithm>
#include <cstdint>

namespace printing {

enum class BlendKind { kTrans25, kTrans50, kTrans75, kAdditive };

// The display format's constants of the blends, read once a print.
struct BlendFormat {
  uint16_t half;        // (p >> 1) & half halves every channel
  uint16_t quarter;     // (p >> 2) & quarter quarters every channel
  uint16_t channel[3];  // the red, green and blue masks
};
BlendFormat CurrentBlendFormat();

// The sum of two pixels' channel of this mask, saturated at its largest value. A channel's
// sum is the smaller of the two pixels' channels added (saturated at 16 bits, which only
// the top channel can pass) and the mask: the sum's bits below the channel are zero.
inline uint16_t AddChannel(uint16_t s, uint16_t d, uint16_t mask) {
  const uint16_t a = s & mask, b = d & mask;
  const uint16_t sum = static_cast<uint16_t>(a + b);
  return std::min(sum < a ? uint16_t{0xFFFF} : sum, mask);
}

// new = rule(source, destination), in forms that vectorise on 16-bit lanes.
template <BlendKind kKind>
inline uint16_t BlendPixel(uint16_t s, uint16_t d, const BlendFormat& f) {
  if constexpr (kKind == BlendKind::kTrans25) std::swap(s, d);
  if constexpr (kKind == BlendKind::kTrans50) {
    return static_cast<uint16_t>(((s >> 1) & f.half) + ((d >> 1) & f.half));
  } else if constexpr (kKind == BlendKind::kAdditive) {
    return static_cast<uint16_t>(AddChannel(s, d, f.channel[0]) | AddChannel(s, d, f.channel[1]) |
                                 AddChannel(s, d, f.channel[2]));
  } else {  // three quarters of s over a quarter of d
    const uint16_t half = static_cast<uint16_t>((s >> 1) & f.half);
    return static_cast<uint16_t>(half + ((half >> 1) & f.half) + ((d >> 2) & f.quarter));
  }
}

// The shimmer's displacements repeat every this many phases (a row's phase is its target
// row plus the game tick, taken as unsigned).
constexpr unsigned kShimmerPeriod = 6;

// The shimmer's displacement (0..6 columns right) of the frame row printed on target row
// `row` at game tick `tick`; `cut` when the clip rectangle's sides cut the frame.
int ShimmerShift(int row, int tick, bool cut);

}  // namespace printing
