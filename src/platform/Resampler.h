#pragma once
// The low-pass filter through which a sound buffer plays at a rate other than its own: a
// Kaiser-windowed sinc whose cut-off lies just below the lower of the two rates' Nyquist
// frequencies, so that what the slower rate cannot hold is filtered out instead of folding
// back as a false tone (a 15 kHz tone at 44.1 kHz must not come out at 7,050 Hz at 22,050 Hz).

#include <cstdint>
#include <vector>

namespace platform {

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
  // whole vectors, the rest zero), one row per phase of kPhases across a frame, and beside
  // each row its slope towards the next phase. A fraction between two phases takes its row
  // plus the slope times its share of the way, so the output thread works no sine, Bessel
  // function or division per sample.
  static constexpr int kPhaseBits = 9;
  static constexpr int kPhases = 1 << kPhaseBits;
  int Taps() const { return taps_; }
  // Filters one channel: samples holds the Taps() input frames first - HalfWidth() + 1
  // onward (as floats, zero past the kernel's width) for an output frame the fraction past
  // frame first.
  float Filter(uint32_t fraction, const float* samples) const;

 private:
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
