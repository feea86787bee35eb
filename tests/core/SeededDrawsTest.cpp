#include <gtest/gtest.h>

#include <vector>

#include "core/Random.h"
#include "core/SeededDraws.h"

// The draws after seeding, word for word as a seeded CRandom gives them, for seeds spread
// over the whole range (the small ones a map's cell numbers give, the top bits, the default
// seed) and runs short of, at and past the words computed directly.
TEST(SeededDraws, DrawLikeAFreshlySeededGenerator) {
  std::vector<uint32_t> seeds = {0u,          1u,         2u, 103u, 4095u, 65535u, 65536u, CRandom::kDefaultSeed,
                                 0x80000000u, 0xFFFFFFFFu};
  uint32_t spread = 12345u;
  for (int i = 0; i < 200; ++i) seeds.push_back(spread = spread * 2654435761u + 97u);
  for (const int length : {1, 2, CSeededDraws::kDirectDraws, CSeededDraws::kDirectDraws + 1, 700}) {
    for (const uint32_t seed : seeds) {
      CSeededDraws draws(seed);
      CRandom reference(seed);
      for (int n = 0; n < length; ++n) ASSERT_EQ(draws.Next(), reference.Next()) << "seed " << seed << ", draw " << n;
    }
  }
}

// Seeding moves the process's shared seeding state; the draws leave it where seeding would.
TEST(SeededDraws, LeaveTheSharedSeedingStateAsSeedingDoes) {
  for (const uint32_t seed : {7u, 0xDEADBEEFu}) {
    CRandom reference(seed);
    const uint32_t seeded = g_randomSeedState;
    g_randomSeedState = 0;
    CSeededDraws draws(seed);
    EXPECT_EQ(g_randomSeedState, seeded);
    for (int n = 0; n < 300; ++n) draws.Next();  // the full generator past the direct words
    EXPECT_EQ(g_randomSeedState, seeded);
  }
}
