#pragma once
// The fields of a spell record that the effect core reads. A spell number outside the table
// reads as a record of zeros, so that a parameter block naming no spell cannot index past it.

inline constexpr int kEffectSpellCount = 104;

struct EffectSpellFacts {
  int alignment = 0;  // 0 Law, 1 Neutral, 2 Vrask
  int doMRCheck = 0, doITCheck = 0, doBRCheck = 0;
  int manaCost = 0;    // whole mana
  int rangeUnits = 0;  // map units
  int damage = 0;
  int duration = 0;
  int spellStrength = 0;
};

EffectSpellFacts SpellFacts(int spell);

// The table SpellFacts reads (tests fill it).
extern EffectSpellFacts g_effectSpellFacts[kEffectSpellCount];
