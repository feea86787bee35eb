#pragma once
// CRandom: the game's one random generator, a shift register of 250 words with lag 103
// combined by exclusive-or. Every user owns an instance and seeds it; the game logic of a
// network battle draws only from generators whose seeds all players share.

#include <array>
#include <cstdint>

// State of the linear congruential step used while seeding: one for the whole process, so
// seeding one instance also moves it for the next (each seeding starts it from its seed).
extern uint32_t g_randomSeedState;

namespace random_detail {
constexpr std::array<int, 250> MakeSuccessors() {
  std::array<int, 250> table{};
  for (int i = 0; i < 250; ++i) table[i] = (i + 1) % 250;
  return table;
}
}  // namespace random_detail

// (i + 1) modulo 250 for each i.
inline constexpr std::array<int, 250> g_randomSuccessor = random_detail::MakeSuccessors();

class CRandom {
 public:
  static constexpr int kStateWords = 250;
  static constexpr uint32_t kDefaultSeed = 1234567890u;
  // The word replaced next is combined with the one this many words on.
  static constexpr int kLag = 103;
  // Seeding's linear congruential step: each state word is bits 16-47 of multiplier * x +
  // increment, x the step's 32-bit state before it.
  static constexpr uint32_t kSeedMultiplier = 0x41C64E6Du, kSeedIncrement = 0x3039u;
  // A word of a fresh fill as seeding leaves it: the words 3 + 7k (k < 32) get bit 31 - k as
  // their leading bit, which makes 32 of them linearly independent.
  static constexpr uint32_t PinLeadingBit(int index, uint32_t word) {
    if (index < 3 || (index - 3) % 7 != 0 || (index - 3) / 7 >= 32) return word;
    const int k = (index - 3) / 7;
    return (word & (0xFFFFFFFFu >> k)) | (0x80000000u >> k);
  }

  CRandom() { Seed(kDefaultSeed); }
  explicit CRandom(uint32_t seed) { Seed(seed); }

  void Seed(uint32_t seed);
  uint32_t Next();

  int indexA = 0;    // the word replaced next
  int indexB = kLag;  // its partner
  uint32_t state[kStateWords] = {};
};

// The generators of the battle, of the computer players and of everything else, each seeded
// with the default seed when the global objects are built.
extern CRandom g_battleRandom;
extern CRandom g_aiRandom;
extern CRandom g_random;
// The view's generator: looks that nothing of the game reads (particles, blood and glows, the
// jitter of bolts, the ambient sounds the map view picks, the way slide panels come and go).
// It is kept apart from g_random, from which the front end and the campaign draw the seeds of
// the next battle, so that how many frames were drawn, sounds played or panels slid on this
// machine never changes a later battle.
extern CRandom g_viewRandom;
