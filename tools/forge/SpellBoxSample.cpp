// A sample of the spell box's saved-game block (364 bytes: three counts, 3 x 21 column
// entries, 25 pool entries), the seed of its reader's fuzz target: two Law slots and one Vrask
// slot with items, and items in the pool.
#include <vector>

#include "core/Bytes.h"
#include "forge/Forge.h"

namespace {

FORGE_STEP(SpellBoxSample) {
  std::vector<int32_t> words(3 + 63 + 25, -1);
  words[0] = 2;  // Law
  words[1] = 0;  // Neutral
  words[2] = 1;  // Vrask
  words[3 + 0] = 4;
  words[3 + 1] = 17;
  words[3 + 42] = 9;
  words[3 + 63] = 2;
  words[3 + 64] = 20;
  std::vector<uint8_t> block(words.size() * 4);
  for (size_t i = 0; i < words.size(); ++i) bytes::StoreI32(block.data() + 4 * i, words[i]);
  ctx.WriteFile("samples\\spellbox\\choices.bin", block);
}

}  // namespace
