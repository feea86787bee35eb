#pragma once
// CEffectParams: the 252-byte block of 63 words that starts an effect. Callers reset it,
// fill the positions and the words their kind needs, and hand it to CEffect::Activate, which
// copies it whole into the record. Thrown effects keep 32-bit floats in some words; they are
// stored as their bit patterns so that the block stays plain words.

#include <bit>
#include <cstdint>

// The words every caller knows by name; the rest belong to the kinds.
namespace effect_word {
inline constexpr int kSourceX = 0;
inline constexpr int kSourceY = 1;
inline constexpr int kSourceZ = 2;
inline constexpr int kTargetX = 3;
inline constexpr int kTargetY = 4;
inline constexpr int kTargetZ = 5;
inline constexpr int kCreature = 6;  // the creature the effect belongs to or acts on, -1 none
inline constexpr int kTarget = 7;    // a second creature (the one hit), -1 none
inline constexpr int kSpell = 8;     // spell number, or the kind's parameter
inline constexpr int kSpeed = 9;     // steps per tick while travelling
inline constexpr int kMode = 10;     // the cast mode (1 a paid cast)
inline constexpr int kValue = 11;    // per-kind value: a digit, an entry, a pitch frame
inline constexpr int kKindMode = 12;
inline constexpr int kCompanion = 13;  // first companion index; thrown effects: start x
inline constexpr int kStartX = 13, kStartY = 14, kStartZ = 15;
inline constexpr int kVelocityX = 16, kVelocityY = 17, kVelocityZ = 18;  // floats
inline constexpr int kTick = 19;
inline constexpr int kCompanionFlag = 59;
inline constexpr int kCompanionCount = 60;
}  // namespace effect_word

struct CEffectParams {
  static constexpr int kWords = 63;
  static constexpr int kBytes = 4 * kWords;

  // Starts zeroed, then reset.
  CEffectParams() { Reset(); }

  // Words 0-9 and 11 become -1, word 10 becomes 1 and word 12 becomes 7; words 13-62 stay.
  void Reset() {
    for (int i = 0; i <= 12; ++i) words[i] = -1;
    words[effect_word::kMode] = 1;
    words[effect_word::kKindMode] = 7;
  }

  int32_t& operator[](int i) { return words[i]; }
  int32_t operator[](int i) const { return words[i]; }
  float Float(int i) const { return std::bit_cast<float>(words[i]); }
  void SetFloat(int i, float value) { words[i] = std::bit_cast<int32_t>(value); }
  // A position in map units into three words.
  void SetPoint(int first, int x, int y, int z) {
    words[first] = x;
    words[first + 1] = y;
    words[first + 2] = z;
  }

  int32_t words[kWords] = {};
};
