#include "forge/FigurePalette.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace forge {

FigurePalette::FigurePalette(std::vector<Material> materials) : materials_(std::move(materials)) {
  if (static_cast<int>(materials_.size()) > kMaxMaterials) throw std::runtime_error("a figure has too many materials");
  for (const Material& m : materials_) {
    // Glowing materials keep their colour in the dark end; metal gets a whiter highlight.
    const double darkness = m.finish == Finish::kGlow ? 0.45 : 0.16;
    const double highlight = m.finish == Finish::kMetal || m.finish == Finish::kGloss ? 0.6 : 0.3;
    first_.push_back(builder_.AddRamp(m.r, m.g, m.b, kRampSteps, darkness, highlight));
  }
}

int FigurePalette::Index(int material, double brightness) const {
  const int step = static_cast<int>(std::lround(std::clamp(brightness, 0.0, 1.0) * (kRampSteps - 1)));
  return first_[static_cast<size_t>(material)] + step;
}

}  // namespace forge
