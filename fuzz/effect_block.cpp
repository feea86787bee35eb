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
#include "magic/EffectManager.h"
#include "map/Map.h"
#include "map/TerrainType.h"
#include "platform/Files.h"
#include "platform/Profile.h"

namespace {

std::vector<uint8_t> Saved() {
  char* buffer = nullptr;
  size_t size = 0;
  FILE* out = open_memstream(&buffer, &size);
  if (!out) std::abort();
  const int written = g_effectManager.Save(out);
  std::fclose(out);
  std::vector<uint8_t> bytes(buffer, buffer + size);
  std::free(buffer);
  if (written != static_cast<int>(bytes.size())) __builtin_trap();
  return bytes;
}

int Load(const uint8_t* data, size_t size) {
  FILE* in = size ? fmemopen(const_cast<uint8_t*>(data), size, "rb") : std::tmpfile();
  if (!in) std::abort();
  const int result = g_effectManager.Load(in);
  const long consumed = std::ftell(in);
  std::fclose(in);
  if (result >= 0 && result != consumed) __builtin_trap();
  return result;
}

void World() {
  static bool ready = false;
  if (ready) return;
  ready = true;
  fuzz::Folder("effect_block");
  platform::ChangeDirectory(VRASK_FORGED_DATA);
  platform::FlushProfileCache();
  if (!g_effectManager.ReadEffectsCfg() || !g_effectManager.ReadEffectAniCfg()) std::abort();
  std::vector<uint8_t> terrain;
  if (!platform::ReadWholeFile("maps/moorland/terrain.ttd", terrain) || terrain.size() < 16) std::abort();
  g_terrainTypes.Assign(terrain.data() + 16, terrain.size() - 16);
  if (g_map.Create(48, 44, 8, 1, 1) != 1) std::abort();
  for (int y = 0; y < g_map.height; ++y)
    for (int x = 0; x < g_map.width; ++x) g_map.CellAt(x, y, 0).terrain = 1;
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
  for (int i = 1; i < *argc; ++i) {
    const std::string folder = (*argv)[i];
    if (folder.empty() || folder[0] == '-' || !platform::DirectoryExists(folder)) continue;
    if (!platform::ListDirectory(folder).empty()) break;
    const std::vector<uint8_t> seed = Seed();
    platform::WriteWholeFile(folder + "/effects", seed.data(), seed.size());
    break;
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  World();
  g_effectManager.Reset();
  g_effectManager.At(120)->active = 1;  // live state a refused block must keep
  g_effectManager.At(120)->kind = 4;
  const std::vector<uint8_t> before = Saved();
  if (Load(data, size) < 0) {
    if (Saved() != before) __builtin_trap();
    return 0;
  }
  const std::vector<uint8_t> once = Saved();
  if (Load(once.data(), once.size()) != static_cast<int>(once.size())) __builtin_trap();
  if (Saved() != once) __builtin_trap();
  return 0;
}
