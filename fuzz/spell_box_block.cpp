// Feeds arbitrary bytes to the spell box's saved-game block reader. A block read must hold the
// limits (counts 0..7, entries -1 or 0..20) and write back the same bytes; a refused one leaves
// the choices reset.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "frontend/SpellBoxChoices.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SpellBoxChoices choices;
  choices.counts[1] = 3;
  if (ReadSpellBoxChoices(data, size, choices)) {
    for (int32_t count : choices.counts)
      if (count < 0 || count > kMaxColumnSlots) std::abort();
    std::vector<uint8_t> written(kSpellBoxBlockBytes);
    WriteSpellBoxChoices(choices, written.data());
    if (std::memcmp(written.data(), data, written.size()) != 0) std::abort();
  } else if (!(choices == SpellBoxChoices{})) {
    std::abort();
  }
  return 0;
}
