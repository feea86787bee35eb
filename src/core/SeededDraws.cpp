#include "core/SeededDraws.h"

#include <array>

namespace {

constexpr uint32_t kMultiplier = CRandom::kSeedMultiplier, kIncrement = CRandom::kSeedIncrement;
constexpr int kLag = CRandom::kLag;

// The step applied k times is x -> multiplier[k] * x + increment[k] (modulo 2^32).
struct Jumps {
  std::array<uint32_t, CRandom::kStateWords + 1> multiplier{}, increment{};
};

constexpr Jumps MakeJumps() {
  Jumps jumps;
  jumps.multiplier[0] = 1;
  jumps.increment[0] = 0;
  for (int k = 1; k <= CRandom::kStateWords; ++k) {
    jumps.multiplier[k] = jumps.multiplier[k - 1] * kMultiplier;
    jumps.increment[k] = jumps.increment[k - 1] * kMultiplier + kIncrement;
  }
  return jumps;
}

constexpr Jumps kJumps = MakeJumps();

}  // namespace

CSeededDraws::CSeededDraws(uint32_t seed) : seed_(seed) {
  g_randomSeedState = kJumps.multiplier[CRandom::kStateWords] * seed + kJumps.increment[CRandom::kStateWords];
}

// Word `index` of the state as seeding leaves it: the fill runs from the top word down.
uint32_t CSeededDraws::SeededWord(int index) const {
  // The word is taken from the 64-bit product of the step that makes it, from the state the
  // steps before it leave.
  const int before = CRandom::kStateWords - index - 1;
  const uint32_t state = kJumps.multiplier[before] * seed_ + kJumps.increment[before];
  const uint32_t word = static_cast<uint32_t>((static_cast<uint64_t>(state) * kMultiplier + kIncrement) >> 16);
  return CRandom::PinLeadingBit(index, word);
}

uint32_t CSeededDraws::Next() {
  if (drawn_ < kDirectDraws) {
    const int n = drawn_++;
    return SeededWord(n) ^ SeededWord(n + kLag);
  }
  if (!full_) {
    // Seeding moves the shared state to where this object's construction left it.
    full_ = std::make_unique<CRandom>(seed_);
    for (int n = 0; n < kDirectDraws; ++n) full_->Next();
  }
  ++drawn_;
  return full_->Next();
}
