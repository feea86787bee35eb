#include "platform/Resampler.h"

#include <algorithm>
#include <cmath>

namespace platform {
namespace {

constexpr double kPi = 3.14159265358979323846;
// Zero crossings of the sinc on each side, the window's shape and the share of the Nyquist
// frequency kept: about 60 dB of stop band from roughly 1.1 times the cut-off.
constexpr int kZeroCrossings = 8;
constexpr double kBeta = 6.0;
constexpr double kPassShare = 0.9;
constexpr int kTableSteps = 512;  // table entries per zero crossing

// The modified Bessel function of the first kind, order 0, by its series.
double BesselI0(double x) {
  double sum = 1, term = 1;
  for (int k = 1; k < 50 && term > sum * 1e-12; ++k) {
    term *= (x / (2 * k)) * (x / (2 * k));
    sum += term;
  }
  return sum;
}

}  // namespace

ResamplingKernel::ResamplingKernel(uint32_t inputRate, uint32_t outputRate) {
  // The cut-off in cycles per input frame: below the Nyquist frequency of the slower rate.
  const double scale = inputRate > outputRate ? static_cast<double>(outputRate) / inputRate : 1.0;
  const double cutoff = 0.5 * scale * kPassShare;
  const double reach = kZeroCrossings / (2 * cutoff);  // in input frames
  halfWidth_ = std::min(static_cast<int>(std::ceil(reach)), kMaxTaps / 2);
  stepsPerFrame_ = kTableSteps * 2 * cutoff;
  const size_t entries = static_cast<size_t>(std::ceil(reach * stepsPerFrame_)) + 2;
  table_.resize(entries);
  const double windowNorm = BesselI0(kBeta);
  for (size_t i = 0; i < entries; ++i) {
    const double distance = i / stepsPerFrame_;
    if (distance >= reach) {
      table_[i] = 0;
      continue;
    }
    const double x = 2 * cutoff * distance;
    const double sinc = x == 0 ? 1 : std::sin(kPi * x) / (kPi * x);
    const double ratio = distance / reach;
    const double window = BesselI0(kBeta * std::sqrt(1 - ratio * ratio)) / windowNorm;
    table_[i] = static_cast<float>(sinc * window);
  }
  BuildPhaseTable();
}

void ResamplingKernel::BuildPhaseTable() {
  constexpr int kLanes = 4;
  taps_ = (2 * halfWidth_ + kLanes - 1) / kLanes * kLanes;
  rows_.assign(static_cast<size_t>(kPhases) * taps_, 0.0f);
  slopes_.assign(rows_.size(), 0.0f);
  constexpr uint32_t kFractionPerPhase = 65536u >> kPhaseBits;
  std::vector<float> here(2 * halfWidth_), next(2 * halfWidth_);
  Weights(0, here.data());
  for (int phase = 0; phase < kPhases; ++phase) {
    // The last row leans towards the weights a whole frame on (fraction 65536).
    Weights((phase + 1) * kFractionPerPhase, next.data());
    float* row = rows_.data() + static_cast<size_t>(phase) * taps_;
    float* slope = slopes_.data() + static_cast<size_t>(phase) * taps_;
    for (int k = 0; k < 2 * halfWidth_; ++k) {
      row[k] = here[k];
      slope[k] = next[k] - here[k];
    }
    here.swap(next);
  }
}

float ResamplingKernel::At(double distance) const {
  const double position = std::abs(distance) * stepsPerFrame_;
  const size_t index = static_cast<size_t>(position);
  if (index + 1 >= table_.size()) return 0;
  const float share = static_cast<float>(position - index);
  return table_[index] + (table_[index + 1] - table_[index]) * share;
}

void ResamplingKernel::Weights(uint32_t fraction, float* weights) const {
  const double offset = fraction / 65536.0;
  float sum = 0;
  for (int k = 0; k < 2 * halfWidth_; ++k) {
    weights[k] = At(k - halfWidth_ + 1 - offset);
    sum += weights[k];
  }
  // Unity gain at every phase, so that a steady level stays steady.
  if (sum != 0)
    for (int k = 0; k < 2 * halfWidth_; ++k) weights[k] /= sum;
}

}  // namespace platform
