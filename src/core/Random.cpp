#include "core/Random.h"

uint32_t g_randomSeedState = 0;
CRandom g_battleRandom;
CRandom g_aiRandom;
CRandom g_random;
CRandom g_viewRandom;

void CRandom::Seed(uint32_t seed) {
  g_randomSeedState = seed;
  indexA = 0;
  indexB = 103;
  for (int i = kStateWords - 1; i >= 0; --i) {
    uint64_t v = static_cast<uint64_t>(g_randomSeedState) * 0x41C64E6Du + 0x3039u;
    state[i] = static_cast<uint32_t>(v >> 16);
    g_randomSeedState = static_cast<uint32_t>(v);
  }
  // Make 32 words linearly independent: word 3 + 7k gets bit 31 - k as its top bit.
  for (int k = 0; k < 32; ++k) {
    int j = 3 + 7 * k;
    state[j] = (state[j] & (0xFFFFFFFFu >> k)) | (0x80000000u >> k);
  }
}

uint32_t CRandom::Next() {
  int a = indexA;
  int b = indexB;
  indexA = g_randomSuccessor[a];
  indexB = g_randomSuccessor[b];
  state[a] ^= state[b];
  return state[a];
}
