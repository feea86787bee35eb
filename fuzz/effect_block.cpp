// Feeds arbitrary bytes to the effect pool's block of the saved game, on the forged effect
// tables and a flat map: a block the pool takes saves, loads and saves again to the same
// bytes; one it refuses changes nothing. The seed, a pool with effects in flight, is written
// by the pool's own writer.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "FuzzFiles.h"
#include "SavedBlock.h"
#include "magic/EffectManager.h"
#include "platform/Files.h"
#include "platform/Profile.h"

namespace {

std::vector<uint8_t> Saved() { return fuzz::SavedBytes(g_effectManager); }

void World() {
  static bool ready = false;
  if (ready) return;
  ready = true;
  fuzz::Folder("effect_block");
  platform::ChangeDirectory(VRASK_FORGED_DATA);
  platform::FlushProfileCache();
  if (!g_effectManager.ReadEffectsCfg() || !g_effectManager.ReadEffectAniCfg()) std::abort();
  fuzz::FlatMoorland();
}

std::vector<uint8_t> Seed() {
  g_effectManager.Reset();
  for (int i = 0; i < 3; ++i) {
    CEffect* e = g_effectManager.AllocateEffect();
    CEffectParams block;
    block.SetPoint(effect_word::kSourceX, 100 + 40 * i, 200, 20);
    block.SetPoint(effect_word::kTargetX, 900, 1000, 40);
    block[effect_word::kSpeed] = 2;
    e->Activate(1, block);
    e->StartTrajectory(100 + 40 * i, 200, 20, 900, 1000, 40);
    e->Travel(1);
    if (i == 1) e->StartEntry(3, 0);
  }
  g_effectManager.PushFront(kListSpell34, 101);
  std::vector<uint8_t> seed = Saved();
  g_effectManager.Reset();
  return seed;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  World();
  fuzz::SeedEmptyCorpus(*argc, *argv, [](const std::string& folder) { fuzz::WriteSeed(folder + "/effects", Seed()); });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  World();
  g_effectManager.Reset();
  g_effectManager.At(120)->active = 1;  // live state a refused block must keep
  g_effectManager.At(120)->kind = 4;
  fuzz::CheckLoadOf(g_effectManager, data, size);
  return 0;
}
