#pragma once
// The low-pass filter through which a sound buffer plays at a rate other than its own: a
// Kaiser-windowed sinc whose cut-off lies just below the lower of the two rates' Nyquist
// frequencies, so that what the slower rate cannot hold is filtered out instead of folding
// back as a false tone (a 15 kHz tone at 44.1 kHz must not come out at 7,050 Hz at 22,050 Hz).

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform {

// To the nearest whole number (the even one on a half), without a call into the C library.
inline int32_t RoundToNearest(float value) {
#if defined(__SSE2__)
  return _mm_cvtss_si32(_mm_set_ss(value));
#else
  return static_cast<int32_t>(std::lrintf(value));
#endif
}

class ResamplingKernel {
 public:
  ResamplingKernel(uint32_t inputRate, uint32_t outputRate);

  // Input frames taken on each side of an output frame's position.
  int HalfWidth() const { return halfWidth_; }

  // The weights of the input frames first - HalfWidth() + 1 .. first + HalfWidth() for an
  // output frame that lies the fraction (0..65535 in 1/65536) past frame first; they add up
  // to one. weights must hold 2 * HalfWidth() values.
  // Worked from the filter itself: the reference the tabled filter below is held to.
  void Weights(uint32_t fraction, float* weights) const;

  // The weights laid out for the mixer: Taps() of them a row (2 * HalfWidth() rounded up to
  // a multiple of four, the rest zero), one row per phase of kPhases across a frame, and beside
  // each row its slope towards the next phase. A fraction between two phases takes its row
  // plus the slope times its share of the way, so the output thread works no sine, Bessel
  // function or division per sample.
  static constexpr int kPhaseBits = 9;
  // The widest filter kept: a sound at 200,000 frames a second into an output of 11,025 (the
  // filter widens as the cut-off falls) fits; a wider one is cut to this.
  static constexpr int kMaxTaps = 512;
  static constexpr int kPhases = 1 << kPhaseBits;
  int Taps() const { return taps_; }
  // Filters one channel: samples holds the Taps() input frames first - HalfWidth() + 1
  // onward (as floats) for an output frame the fraction past frame first.
  [[gnu::always_inline]] float Filter(uint32_t fraction, const float* samples) const {
    const Phase p = PhaseOf(fraction);
    // Rates in a whole ratio (11,025 into 22,050) land on the table's phases exactly.
    if (p.share == 0) return Dot(p.row, samples, taps_);
    return DotWithSlope(p, samples, taps_);
  }
  // Both channels of a stereo sound at once.
  [[gnu::always_inline]] void Filter(uint32_t fraction, const float* left, const float* right, float& outLeft,
                                     float& outRight) const {
    const Phase p = PhaseOf(fraction);
    if (p.share == 0) {
      outLeft = Dot(p.row, left, taps_);
      outRight = Dot(p.row, right, taps_);
    } else {
      outLeft = DotWithSlope(p, left, taps_);
      outRight = DotWithSlope(p, right, taps_);
    }
  }

 private:
  // The row of a fraction's phase, its slope and the fraction's share of the way to the next.
  struct Phase {
    const float* row;
    const float* slope;
    float share;
  };
  Phase PhaseOf(uint32_t fraction) const {
    constexpr int kShareBits = 16 - kPhaseBits;
    const size_t offset = (fraction >> kShareBits) * static_cast<size_t>(taps_);
    const float share = static_cast<float>(fraction & ((1u << kShareBits) - 1)) * (1.0f / (1u << kShareBits));
    return {rows_.data() + offset, slopes_.data() + offset, share};
  }
  // Eight running sums, so that the compiler keeps them in vector registers; count is a
  // multiple of four (a last four go to the first half).
  static float Dot(const float* a, const float* b, int count) {
    float lanes[8] = {};
    int k = 0;
    for (; k + 8 <= count; k += 8)
      for (int j = 0; j < 8; ++j) lanes[j] += a[k + j] * b[k + j];
    if (k < count)
      for (int j = 0; j < 4; ++j) lanes[j] += a[k + j] * b[k + j];
    return Sum(lanes);
  }
  // The samples through the row plus the share of the slope, in one pass.
  static float DotWithSlope(const Phase& p, const float* b, int count) {
    float lanes[8] = {}, slopes[8] = {};
    int k = 0;
    for (; k + 8 <= count; k += 8)
      for (int j = 0; j < 8; ++j) {
        lanes[j] += p.row[k + j] * b[k + j];
        slopes[j] += p.slope[k + j] * b[k + j];
      }
    if (k < count)
      for (int j = 0; j < 4; ++j) {
        lanes[j] += p.row[k + j] * b[k + j];
        slopes[j] += p.slope[k + j] * b[k + j];
      }
    return Sum(lanes) + p.share * Sum(slopes);
  }
  static float Sum(const float (&lanes)[8]) {
    return ((lanes[0] + lanes[4]) + (lanes[1] + lanes[5])) + ((lanes[2] + lanes[6]) + (lanes[3] + lanes[7]));
  }

  float At(double distance) const;  // the filter at a distance in input frames
  void BuildPhaseTable();

  int halfWidth_ = 1;
  double stepsPerFrame_ = 1;  // table entries per input frame
  std::vector<float> table_;  // the filter from distance 0 outward
  int taps_ = 8;
  std::vector<float> rows_;    // kPhases rows of taps_ weights
  std::vector<float> slopes_;  // each row's step to the next phase's
};

}  // namespace platform
