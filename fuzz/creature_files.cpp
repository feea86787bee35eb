// Feeds arbitrary text to the reader of the creature types, as cfg\creature.cfg and as
// cfg\hth.cfg at once: every offset, colour and count stays where the sums made with it fit.
#include <cstdint>

#include "GameDataFuzz.h"
#include "creatures/CreatureType.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::DataFolder("creature_files", {"cfg"});
  fuzz::WriteInputAs({"cfg/creature.cfg", "cfg/hth.cfg"}, data, size);
  fuzz::Expect(ReadCreatureConfig("cfg\\creature.cfg", "cfg\\hth.cfg", g_creatureTypes) == 1);
  for (const CCreatureType& type : g_creatureTypes) {
    for (const auto& eye : type.LRCOffsets)
      for (int32_t v : eye) fuzz::Expect(v >= -1024 && v <= 1024);
    for (int32_t v : type.BloodColour) fuzz::Expect(v >= 0 && v <= 255);
    fuzz::Expect(type.TileHeight >= 0 && type.TileHeight <= 5 && type.FlyingHeight >= 0 && type.FlyingHeight <= 1000);
    fuzz::Expect(type.LordExperienceLevel <= 1000000 && type.KingExperienceLevel <= 1000000);
    for (int t = 0; t < kCreatureTypes; ++t) fuzz::Expect(type.LRC_Matrix[t] >= 0 && type.LRC_Matrix[t] <= 2500);
  }
  return 0;
}
