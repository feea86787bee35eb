#pragma once
// Where an input falls in its range, shared by evaluation and processing so that both place it
// alike: t = (value - low) / width x 10, truncated toward zero, in single precision.

#include <cstdint>

#include "ai/Brain.h"

inline constexpr int kBelowRange = -1;
inline constexpr int kAboveRange = kBrainBins;

// The tenth of the range, or kBelowRange / kAboveRange outside it (a value less than a tenth
// of the width below the low edge still falls in the first tenth).
inline int BinIndex(int32_t value, const CBrainBin& bin) {
  const float x = (static_cast<float>(value) - bin.low) / bin.width * 10.0f;
  if (!(x > -1.0f)) return kBelowRange;
  if (x >= 10.0f) return kAboveRange;
  return static_cast<int>(x);
}

// The input's normal score: the tenth's score, or the out-of-range score with the side's sign.
inline float InputScore(int32_t value, const CBrainBin& bin, float outOfRangeScore) {
  const int t = BinIndex(value, bin);
  if (t == kBelowRange) return -outOfRangeScore;
  if (t == kAboveRange) return outOfRangeScore;
  return bin.scores[t];
}
