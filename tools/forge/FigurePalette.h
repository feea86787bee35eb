#pragma once
// The materials of a figure and the palette built from them: one ramp of kRampSteps
// entries per material, dark to light, so that shading a pixel is choosing a step of its
// material's ramp. A figure has at most kMaxMaterials materials (one 256-entry palette).

#include <array>
#include <cstdint>
#include <vector>

#include "forge/Canvas.h"

namespace forge {

// How a material takes the light.
enum class Finish : uint8_t {
  kMatte,    // plain diffuse
  kSkin,     // diffuse with a soft sheen
  kFur,      // diffuse with streaks along the part
  kScales,   // diffuse with a pattern of small plates
  kCloth,    // diffuse with a faint weave
  kMetal,    // dark diffuse and a bright highlight
  kGloss,    // eyes, wet noses: a small sharp highlight
  kGlow,     // lit from within: bright whatever the light
  kBone,     // pale, slightly rough
  kFeather,  // diffuse with barbs along the part
};

struct Material {
  int r = 128, g = 128, b = 128;
  Finish finish = Finish::kMatte;
};

class FigurePalette {
 public:
  static constexpr int kRampSteps = 16;
  static constexpr int kMaxMaterials = 15;

  // Throws when there are more than kMaxMaterials materials.
  explicit FigurePalette(std::vector<Material> materials);
  // A palette made elsewhere (its 768 bytes), whose ramps the materials shade along.
  struct BorrowedRamp {
    int first = 0, steps = 1;
    Finish finish = Finish::kMatte;
  };
  FigurePalette(const std::array<uint8_t, 768>& bytes, const std::vector<BorrowedRamp>& ramps);

  // The palette entry of a material at a brightness 0 (darkest) .. 1 (lightest).
  int Index(int material, double brightness) const;
  const Material& MaterialAt(int material) const { return materials_[static_cast<size_t>(material)]; }
  int MaterialCount() const { return static_cast<int>(materials_.size()); }
  const std::array<uint8_t, 768>& Bytes() const { return bytes_; }

 private:
  std::vector<Material> materials_;
  std::vector<int> first_, steps_;
  std::array<uint8_t, 768> bytes_{};
};

}  // namespace forge
