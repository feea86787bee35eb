// Feeds arbitrary text to the reader of cfg\MItems.cfg: every item's spells are a spell the
// table may hold, or none.
#include <cstdint>

#include "GameDataFuzz.h"
#include "magic/MagicItems.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::DataFolder("magic_items_file", {"cfg"});
  fuzz::WriteInputAs({"cfg/MItems.cfg"}, data, size);
  CMagicItems table;
  fuzz::Expect(CMagicItems::ReadSpellLists("cfg\\MItems.cfg", table) == 1);
  for (const auto& item : table.spells)
    for (int32_t spell : item)
      fuzz::Expect(spell == kMagicItemNoSpell || (spell >= 0 && spell <= kMagicItemSpellLimit));
  return 0;
}
