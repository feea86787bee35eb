// Feeds arbitrary text to the reader of cfg\spells.cfg: every spell's numbers stay within the
// ranges the reader holds them to, and the core data check takes or names the file.
#include <cstdint>

#include "GameDataFuzz.h"
#include "creatures/SpellDefinition.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::DataFolder("spells_file", {"cfg"});
  fuzz::WriteInputAs({"cfg/spells.cfg"}, data, size);
  fuzz::Expect(LoadSpells("cfg\\spells.cfg", g_spellDefs) == 1);
  for (const CSpellDefinition& spell : g_spellDefs) {
    fuzz::Expect(spell.Range >= 0 && spell.Range <= 100 && spell.RangeUnits == spell.Range * 32);
    fuzz::Expect(spell.ManaCost >= 0 && spell.ManaCost <= 300);
    fuzz::Expect(spell.MagicItemCount >= 0 && spell.MagicItemCount <= kMagicItemsNeededMax);
    fuzz::Expect(spell.AI_Adjustment == spell.AI_Adjustment);  // never a NaN
  }
  fuzz::Expect(g_maxSpellCost >= 0 && g_maxSpellCost <= 300);
  return 0;
}
