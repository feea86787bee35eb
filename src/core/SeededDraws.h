#pragma once
// CSeededDraws: the words a CRandom draws right after it is seeded, for users that seed a
// generator for every query and draw only a few words (a search whose order must depend on
// its start alone). Seeding fills 250 words by a linear congruential step; the first 147
// draws read only words of that fill, each computed on its own by a jump of the step. Past
// them the draws come from a fully seeded generator, brought up to the same point.

#include <cstdint>
#include <memory>

#include "core/Random.h"

class CSeededDraws {
 public:
  // Draws from the first of a CRandom seeded with `seed`; moves the shared seeding state as
  // seeding a CRandom does.
  explicit CSeededDraws(uint32_t seed);

  uint32_t Next();

  // The draws before the full generator is needed.
  static constexpr int kDirectDraws = CRandom::kStateWords - CRandom::kLag;

 private:
  uint32_t SeededWord(int index) const;

  uint32_t seed_;
  int drawn_ = 0;
  std::unique_ptr<CRandom> full_;
};
