#include "core/Random.h"

uint32_t g_randomSeedState = 0;
CRandom g_battleRandom;
CRandom g_aiRandom;
CRandom g_random;
CRandom g_viewRandom;

void CRandom::Seed(uint32_t seed) {
  g_randomSeedState = seed;
  indexA = 0;
  indexB = kLag;
  for (int i = kStateWords - 1; i >= 0; --i) {
    uint64_t v = static_cast<uint64_t>(g_randomSeedState) * kSeedMultiplier + kSeedIncrement;
    state[i] = static_cast<uint32_t>(v >> 16);
    g_randomSeedState = static_cast<uint32_t>(v);
  }
  for (int k = 0; k < 32; ++k) state[3 + 7 * k] = PinLeadingBit(3 + 7 * k, state[3 + 7 * k]);
}

uint32_t CRandom::Next() {
  int a = indexA;
  int b = indexB;
  indexA = g_randomSuccessor[a];
  indexB = g_randomSuccessor[b];
  state[a] ^= state[b];
  return state[a];
}
