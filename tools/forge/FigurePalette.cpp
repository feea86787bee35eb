#include "forge/FigurePalette.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace forge {

FigurePalette::FigurePalette(std::vector<Material> materials) : materials_(std::move(materials)) {
  if (static_cast<int>(materials_.size()) > kMaxMaterials) throw std::runtime_error("a figure has too many materials");
  PaletteBuilder builder;
  for (const Material& m : materials_) {
    // Glowing materials keep their colour in the dark end; metal gets a whiter highlight.
    const double darkness = m.finish == Finish::kGlow ? 0.45 : 0.16;
    const double highlight = m.finish == Finish::kMetal || m.finish == Finish::kGloss ? 0.6 : 0.3;
    first_.push_back(builder.AddRamp(m.r, m.g, m.b, kRampSteps, darkness, highlight));
    steps_.push_back(kRampSteps);
  }
  bytes_ = builder.Bytes();
}

FigurePalette::FigurePalette(const std::array<uint8_t, 768>& bytes, const std::vector<BorrowedRamp>& ramps)
    : bytes_(bytes) {
  for (const BorrowedRamp& ramp : ramps) {
    materials_.push_back({0, 0, 0, ramp.finish});
    first_.push_back(ramp.first);
    steps_.push_back(std::max(1, ramp.steps));
  }
}

int FigurePalette::Index(int material, double brightness) const {
  const size_t m = static_cast<size_t>(material);
  const int step = static_cast<int>(std::lround(std::clamp(brightness, 0.0, 1.0) * (steps_[m] - 1)));
  return first_[m] + step;
}

}  // namespace forge
