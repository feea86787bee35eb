#include "magic/EffectSpells.h"

// Until the spell table of the game data lands beside the creature types, the effect core
// reads spells through this one function.
EffectSpellFacts g_effectSpellFacts[kEffectSpellCount];

EffectSpellFacts SpellFacts(int spell) {
  if (spell < 0 || spell >= kEffectSpellCount) return EffectSpellFacts{};
  return g_effectSpellFacts[spell];
}
