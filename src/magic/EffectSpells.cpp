#include "magic/EffectSpells.h"

const CSpellDefinition& SpellRecord(int spell) {
  static const CSpellDefinition kNone{};
  return spell >= 0 && spell < kSpellCount ? g_spellDefs[spell] : kNone;
}
