#pragma once
// The parameter block with which world objects and artifacts start effects, as plain words:
// the effects sit above the creatures, so the block goes through g_creatureEffects. Its
// layout is the effects' own (63 words: source point 0-2, target point 3-5, the creature 6,
// a second creature 7, the spell or the kind's parameter 8, speed 9, mode 10, value 11,
// kind mode 12, then the kind's words).

#include <cstdint>

#include "creatures/CreatureHooks.h"

struct ArtifactEffectBlock {
  static constexpr int kWords = 63;
  enum Word : int {
    kSourceX = 0,
    kTargetX = 3,
    kCreature = 6,
    kTarget = 7,
    kSpell = 8,
    kSpeed = 9,
    kMode = 10,
    kValue = 11,
    kKindMode = 12,
    kData1 = 13,  // words 13-16: an object's four data words
  };

  // As the effects reset a block: words 0-9 and 11 are -1, word 10 is 1, word 12 is 7.
  ArtifactEffectBlock() {
    for (int i = 0; i <= 12; ++i) words[i] = -1;
    words[kMode] = 1;
    words[kKindMode] = 7;
  }
  // Both the source and the target at one point (map units).
  void SetPoints(int x, int y, int z) {
    words[kSourceX] = words[kTargetX] = x;
    words[kSourceX + 1] = words[kTargetX + 1] = y;
    words[kSourceX + 2] = words[kTargetX + 2] = z;
  }
  int32_t& operator[](int i) { return words[i]; }
  // Allocates and starts the effect: its index, -1 when no record was free.
  int Start(int kind) const { return g_creatureEffects->StartEffect(kind, words); }

  int32_t words[kWords] = {};
};
