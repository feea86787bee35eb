// The spells' sightings block of the saved game.
#include <cstring>
#include <vector>

#include "core/Bytes.h"
#include "creatures/SpellDefinition.h"

void ResetSpellSightings() {
  for (CSpellDefinition& spell : g_spellDefs) std::memset(spell.Sightings, 0, sizeof spell.Sightings);
}

int SaveSpellSightings(FILE* file) {
  int written = 0;
  for (const CSpellDefinition& spell : g_spellDefs) {
    bytes::Writer block;
    for (const auto& seeing : spell.Sightings)
      for (int32_t seen : seeing) block.I32(seen);
    if (!bytes::WriteBlock(file, block.Data().data(), block.Size())) return -1;
    written += static_cast<int>(block.Size());
  }
  return written;
}

int LoadSpellSightings(FILE* file) {
  // Read and checked whole before anything changes, so that a bad block leaves the
  // sightings as they were.
  std::vector<uint8_t> data(kSightingsBlockBytes);
  if (!bytes::ReadBlock(file, data.data(), data.size())) return -1;
  int32_t sightings[kSpellCount][kSightingArmies][kSightingArmies];
  bytes::Reader in(data);
  for (auto& spell : sightings) {
    for (auto& seeing : spell) {
      for (int32_t& seen : seeing) {
        seen = in.I32();
        if (seen != 0 && seen != 1) return -1;
      }
    }
  }
  for (int n = 0; n < kSpellCount; ++n) std::memcpy(g_spellDefs[n].Sightings, sightings[n], sizeof sightings[n]);
  return kSightingsBlockBytes;
}
