// Feeds arbitrary text to the effect manager's two configuration files, cfg\effects.cfg and
// cfg\effectani.cfg at once (without the effect sprites, whose absence ends the second read).
#include <cstdint>

#include "GameDataFuzz.h"
#include "magic/EffectManager.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::DataFolder("effect_files", {"cfg"});
  fuzz::WriteInputAs({"cfg/effects.cfg", "cfg/effectani.cfg"}, data, size);
  try {
    g_effectManager.ReadEffectsCfg();
    g_effectManager.ReadEffectAniCfg();
  } catch (const fuzz::ProgramEnded&) {
  }
  for (const auto& kind : g_effectManager.kindTable)
    fuzz::Expect(kind.lightSourceDiameter >= 0 && kind.lightSourceDiameter <= 33);
  return 0;
}
