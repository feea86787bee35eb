// Feeds arbitrary bytes to the spells' sightings block of the saved game: a block it takes
// saves back byte for byte; one it refuses changes nothing.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "creatures/SpellDefinition.h"

namespace {

bool SameAsBefore(const int32_t (&before)[kSpellCount][kSightingArmies][kSightingArmies]) {
  for (int n = 0; n < kSpellCount; ++n)
    if (std::memcmp(before[n], g_spellDefs[n].Sightings, sizeof before[n]) != 0) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static int32_t before[kSpellCount][kSightingArmies][kSightingArmies];
  for (int n = 0; n < kSpellCount; ++n) std::memcpy(before[n], g_spellDefs[n].Sightings, sizeof before[n]);
  FILE* in = size ? fmemopen(const_cast<uint8_t*>(data), size, "rb") : std::tmpfile();
  if (!in) return 0;
  const int read = LoadSpellSightings(in);
  std::fclose(in);
  if (read == -1) {
    if (!SameAsBefore(before)) __builtin_trap();
    return 0;
  }
  if (read != kSightingsBlockBytes || size < static_cast<size_t>(kSightingsBlockBytes)) __builtin_trap();
  char* buffer = nullptr;
  size_t written = 0;
  FILE* out = open_memstream(&buffer, &written);
  if (SaveSpellSightings(out) != kSightingsBlockBytes) __builtin_trap();
  std::fclose(out);
  if (written != static_cast<size_t>(kSightingsBlockBytes) || std::memcmp(buffer, data, written) != 0) __builtin_trap();
  std::free(buffer);
  return 0;
}
