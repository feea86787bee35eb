// Feeds arbitrary bytes to the army table's block of the saved game: a block it takes saves
// back byte for byte as far as it was read; one it refuses changes nothing.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "SavedBlock.h"
#include "creatures/Armies.h"

namespace {

std::vector<uint8_t> Saved() { return fuzz::SavedBytes(g_armyTable); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  g_armyTable.InitDefault();
  const std::vector<uint8_t> before = Saved();
  const fuzz::Loaded loaded = fuzz::LoadBytes(g_armyTable, data, size);
  if (loaded.result == -1) {
    if (Saved() != before) __builtin_trap();
    return 0;
  }
  if (loaded.result != loaded.consumed) __builtin_trap();
  // Names are saved whole, so what was read comes back byte for byte.
  const std::vector<uint8_t> after = Saved();
  if (static_cast<long>(after.size()) != loaded.consumed || std::memcmp(after.data(), data, after.size()) != 0)
    __builtin_trap();
  return 0;
}
